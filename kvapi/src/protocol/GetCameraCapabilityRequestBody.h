#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Asks the camera whether it has one hardware capability.
class GetCameraCapabilityRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    GetCameraCapabilityRequestBody();
    explicit GetCameraCapabilityRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ICamera::Capability getKey() const { return static_cast<ICamera::Capability>(m_key); }
    // Only hardware capabilities (codes below 256) travel; the byte keeps the low 8 bits.
    void setKey(ICamera::Capability key) { m_key = static_cast<uint8_t>(key); }

private:
    uint8_t m_key = 255;
};

} // namespace V1
} // namespace kv
