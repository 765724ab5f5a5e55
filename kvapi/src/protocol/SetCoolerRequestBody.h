#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Switches the cooler on or off and sets its target temperature.
class SetCoolerRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 3;

    SetCoolerRequestBody();
    explicit SetCoolerRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    bool getIsEnabled() const { return m_isEnabled; }
    void setIsEnabled(bool enabled) { m_isEnabled = enabled; }
    // Degrees Celsius; stored in hundredths, rounded half away from zero and saturated
    // to the 16-bit field (-327.68 to 327.67).
    float getSetpoint() const;
    void setSetpoint(float celsius);
    int16_t getRawSetpoint() const { return m_setpoint; }

private:
    bool m_isEnabled = false;
    int16_t m_setpoint = 0;
};

} // namespace V1
} // namespace kv
