#pragma once

#include "protocol/BaseBody.h"

namespace kv {
namespace V1 {

// The body of every body type without payload.
template <SohType S, BodyType B>
class EmptyBody : public BaseBody {
public:
    EmptyBody() : BaseBody(S, B) {}

    IOBufferPtr getBuffer() const override { return {}; }
    void setBuffer(const IOBufferPtr&) override {}
    size_t getBufferLength() const override { return 0; }
};

} // namespace V1
} // namespace kv
