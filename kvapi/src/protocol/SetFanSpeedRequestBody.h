#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Sets the fan speed. Nothing in the library sends it; the virtual camera answers it.
class SetFanSpeedRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    SetFanSpeedRequestBody();
    explicit SetFanSpeedRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint8_t getFanSpeed() const { return m_fanSpeed; }
    void setFanSpeed(uint8_t value) { m_fanSpeed = value; }

private:
    uint8_t m_fanSpeed = 0;
};

} // namespace V1
} // namespace kv
