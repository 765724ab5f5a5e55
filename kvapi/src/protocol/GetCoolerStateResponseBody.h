#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to GetCoolerState: whether the cooler runs and its set-point in degrees Celsius.
class GetCoolerStateResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 5;

    GetCoolerStateResponseBody();
    explicit GetCoolerStateResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    bool getEnabled() const { return m_enabled; }
    float getSetpoint() const { return m_setpoint; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    void setSetpoint(float celsius) { m_setpoint = celsius; }

private:
    bool m_enabled = false;
    float m_setpoint = 0.0f;
};

} // namespace V1
} // namespace kv
