#pragma once

#include "protocol/GetPacketsResponseBody.h"

namespace kv {
namespace V1 {

// A whole frame in one answer (USB3): the body is nothing but pixels, without an id.
class GetFrameResponseBody : public GetPacketsResponseBody {
public:
    GetFrameResponseBody();
    explicit GetFrameResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    // 2 * maxPacketLength.
    size_t getBufferLength() const override;
};

} // namespace V1
} // namespace kv
