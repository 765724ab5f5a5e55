#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Asks for the value of one sensor setting. Also the request body of
// GetSensorCalibration, which is sent with the default setting 255.
class GetSensorSettingsRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    explicit GetSensorSettingsRequestBody(BodyType bodyType = BodyType::GetSensorSettings);
    explicit GetSensorSettingsRequestBody(IOBufferPtr buffer, BodyType bodyType = BodyType::GetSensorSettings);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ISensor::Setting getSetting() const { return static_cast<ISensor::Setting>(m_setting); }
    // Only camera settings (codes below 256) travel; the byte keeps the low 8 bits.
    void setSetting(ISensor::Setting setting) { m_setting = static_cast<uint8_t>(setting); }

private:
    uint8_t m_setting = 255;
};

} // namespace V1
} // namespace kv
