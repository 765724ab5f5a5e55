#pragma once

#include "protocol/SensorCalibrationBody.h"

#include <cstdint>

namespace kv {
namespace V1 {

// Writes the legacy calibration values, optionally into the camera's EEPROM.
class SetSensorCalibrationRequestBody : public SensorCalibrationBody {
public:
    static constexpr size_t c_bodyLength = c_calibrationLength + 1;

    SetSensorCalibrationRequestBody();
    explicit SetSensorCalibrationRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;

    bool getSaveToEeprom() const { return m_saveToEeprom; }
    void setSaveToEeprom(bool save) { m_saveToEeprom = save; }
    // Not on the wire: the sensor addressed travels in the header.
    uint32_t getSensorId() const { return m_sensorId; }
    void setSensorId(uint32_t sensorId) { m_sensorId = sensorId; }

private:
    bool m_saveToEeprom = false;
    uint32_t m_sensorId = 0;
};

} // namespace V1
} // namespace kv
