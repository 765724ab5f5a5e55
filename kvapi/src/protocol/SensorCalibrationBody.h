#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <array>
#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// The legacy calibration of a sensor: the layout shared by the GetSensorCalibration
// answer and the SetSensorCalibration request (which adds one byte).
class SensorCalibrationBody : public BaseBody {
public:
    static constexpr size_t c_channelCount = 4;
    static constexpr size_t c_calibrationLength = 18;
    using GainArray_t = std::array<uint8_t, c_channelCount>;
    using OffsetArray_t = std::array<uint16_t, c_channelCount>;

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint8_t getSubstrateVoltage() const { return m_substrateVoltage; }
    uint8_t getChannelsInUse() const { return m_channelsInUse; }
    const GainArray_t& getAdcGains() const { return m_adcGains; }
    // The sign-magnitude words as they travel (see WireConversions::adcOffsetToWire).
    const OffsetArray_t& getAdcOffsets() const { return m_adcOffsets; }
    float getEGain() const { return m_eGain; }

    void setSubstrateVoltage(uint8_t voltage) { m_substrateVoltage = voltage; }
    void setChannelsInUse(uint8_t channels) { m_channelsInUse = channels; }
    void setAdcGains(const GainArray_t& gains) { m_adcGains = gains; }
    void setAdcOffsets(const OffsetArray_t& offsets) { m_adcOffsets = offsets; }
    void setEGain(float eGain) { m_eGain = eGain; }

    // The public record: voltage, channel count and gains keep their low 8 bits, offsets
    // become sign-magnitude words.
    ISensor::Calibration getCalibration() const;
    void setCalibration(const ISensor::Calibration& calibration);

protected:
    // dataLabel is "Request Data" or "Response Data"; it must outlive the body.
    SensorCalibrationBody(BodyType bodyType, const char* dataLabel);

    void writeCalibration(char* p) const;
    void readCalibration(const char* p);

private:
    const char* m_dataLabel;
    uint8_t m_substrateVoltage = 0;
    uint8_t m_channelsInUse = 0;
    GainArray_t m_adcGains = {};
    OffsetArray_t m_adcOffsets = {};
    float m_eGain = 0.0f;
};

} // namespace V1
} // namespace kv
