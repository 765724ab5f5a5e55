#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Setting and value: the common layout of the GetSensorSettings answer and of both
// directions of SetSensorSettings.
class SensorSettingBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 3;

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ISensor::Setting getSetting() const { return static_cast<ISensor::Setting>(m_setting); }
    uint16_t getValue() const { return m_value; }
    // Only camera settings (codes below 256) travel; the byte keeps the low 8 bits.
    void setSetting(ISensor::Setting setting) { m_setting = static_cast<uint8_t>(setting); }
    void setValue(uint16_t value) { m_value = value; }

protected:
    // The labels are literals: "Request Data" / "Response Data" and " | Value: " /
    // " | Setting Value: ".
    SensorSettingBody(BodyType bodyType, const char* dataLabel, const char* valueLabel);

private:
    const char* m_dataLabel;
    const char* m_valueLabel;
    uint8_t m_setting = 255;
    uint16_t m_value = 0;
};

} // namespace V1
} // namespace kv
