#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// The camera's answer for one capability: the key asked about and whether it is present.
class GetCameraCapabilityResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 3;

    GetCameraCapabilityResponseBody();
    explicit GetCameraCapabilityResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ICamera::Capability getKey() const { return static_cast<ICamera::Capability>(m_key); }
    bool getValue() const { return m_value; }
    void setKey(ICamera::Capability key) { m_key = static_cast<uint8_t>(key); }
    void setValue(bool value) { m_value = value; }

private:
    uint8_t m_key = 255;
    bool m_value = false;
};

} // namespace V1
} // namespace kv
