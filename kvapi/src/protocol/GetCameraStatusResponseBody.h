#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to GetCameraStatus. Holds engineering units; the wire carries scaled integers.
class GetCameraStatusResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 12;

    GetCameraStatusResponseBody();
    explicit GetCameraStatusResponseBody(IOBufferPtr buffer, bool convertCoolerPower = true);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;
    void adoptReadSettings(const BaseBody& previous) override;

    ISensor::Status getMainSensorState() const { return static_cast<ISensor::Status>(m_mainSensorState); }
    ISensor::Status getExtSensorState() const { return static_cast<ISensor::Status>(m_extSensorState); }
    float getSensorTemperature() const { return m_sensorTemperature; }
    float getCoolerPower() const { return m_coolerPower; }
    float getHeatSinkTemperature() const { return m_heatSinkTemperature; }
    float getInputVoltage() const { return m_inputVoltage; }
    uint8_t getPulseGuideStatus() const { return m_pulseGuideStatus; }
    uint8_t getFlag() const { return m_flag; }
    EShutterStatus getShutterStatus() const { return static_cast<EShutterStatus>(m_shutterStatus); }
    bool getConvertCoolerPower() const { return m_convertCoolerPower; }

    void setMainSensorState(ISensor::Status state) { m_mainSensorState = static_cast<uint8_t>(state); }
    void setExtSensorState(ISensor::Status state) { m_extSensorState = static_cast<uint8_t>(state); }
    void setSensorTemperature(float celsius) { m_sensorTemperature = celsius; }
    void setCoolerPower(float percent) { m_coolerPower = percent; }
    void setHeatSinkTemperature(float celsius) { m_heatSinkTemperature = celsius; }
    void setInputVoltage(float volts) { m_inputVoltage = volts; }
    void setPulseGuideStatus(uint8_t status) { m_pulseGuideStatus = status; }
    void setFlag(uint8_t flag) { m_flag = flag; }
    void setShutterStatus(EShutterStatus status) { m_shutterStatus = static_cast<uint8_t>(status); }
    // Cleared by cameras that report the cooler power itself rather than a code.
    void setConvertCoolerPower(bool convert) { m_convertCoolerPower = convert; }

private:
    uint8_t m_mainSensorState = ISensor::InvalidSensorState;
    uint8_t m_extSensorState = ISensor::InvalidSensorState;
    float m_sensorTemperature = 0.0f;
    float m_coolerPower = 0.0f;
    float m_heatSinkTemperature = 0.0f;
    float m_inputVoltage = 0.0f;
    uint8_t m_pulseGuideStatus = 0;
    uint8_t m_flag = 0;
    uint8_t m_shutterStatus = ShutterUninitialized;
    bool m_convertCoolerPower = true;
};

} // namespace V1
} // namespace kv
