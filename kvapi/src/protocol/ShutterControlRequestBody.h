#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi_factory.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Drives the mechanical shutter: initialise, open, close or exercise.
class ShutterControlRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    ShutterControlRequestBody();
    explicit ShutterControlRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ShutterActions getAction() const { return static_cast<ShutterActions>(m_action); }
    void setAction(ShutterActions value) { m_action = static_cast<uint8_t>(value); }

private:
    uint8_t m_action = 0;
};

} // namespace V1
} // namespace kv
