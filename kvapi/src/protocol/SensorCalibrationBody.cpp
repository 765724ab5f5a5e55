#include "protocol/SensorCalibrationBody.h"

#include "gateway/utilities.h"
#include "protocol/WireConversions.h"

#include <sstream>

namespace kv {
namespace V1 {

SensorCalibrationBody::SensorCalibrationBody(BodyType bodyType, const char* dataLabel)
    : BaseBody(SohType::Cmd, bodyType)
    , m_dataLabel(dataLabel)
{
}

void SensorCalibrationBody::writeCalibration(char* p) const
{
    utl::copy::to(p + 0, m_substrateVoltage);
    utl::copy::to(p + 1, m_channelsInUse);
    utl::copy::to(p + 2, m_adcGains.data(), c_channelCount);
    utl::copy::to(p + 6, m_adcOffsets.data(), c_channelCount);
    utl::copy::to(p + 14, m_eGain);
}

void SensorCalibrationBody::readCalibration(const char* p)
{
    utl::copy::from(&m_substrateVoltage, p + 0);
    utl::copy::from(&m_channelsInUse, p + 1);
    utl::copy::from(m_adcGains.data(), p + 2, c_channelCount);
    utl::copy::from(m_adcOffsets.data(), p + 6, c_channelCount);
    utl::copy::from(&m_eGain, p + 14);
}

IOBufferPtr SensorCalibrationBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_calibrationLength);
    writeCalibration(buffer->data);
    return buffer;
}

void SensorCalibrationBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_calibrationLength)
        return;
    readCalibration(buffer->data);
}

size_t SensorCalibrationBody::getBufferLength() const
{
    return c_calibrationLength;
}

ISensor::Calibration SensorCalibrationBody::getCalibration() const
{
    ISensor::Calibration calibration;
    calibration.substrateVoltage = m_substrateVoltage;
    calibration.channelsInUse = m_channelsInUse;
    for (size_t i = 0; i < c_channelCount; ++i) {
        calibration.adcGains[i] = m_adcGains[i];
        calibration.adcOffsets[i] = WireConversions::adcOffsetFromWire(m_adcOffsets[i]);
    }
    calibration.eGain = m_eGain;
    return calibration;
}

void SensorCalibrationBody::setCalibration(const ISensor::Calibration& calibration)
{
    m_substrateVoltage = static_cast<uint8_t>(calibration.substrateVoltage);
    m_channelsInUse = static_cast<uint8_t>(calibration.channelsInUse);
    for (size_t i = 0; i < c_channelCount; ++i) {
        m_adcGains[i] = static_cast<uint8_t>(calibration.adcGains[i]);
        m_adcOffsets[i] = WireConversions::adcOffsetToWire(calibration.adcOffsets[i]);
    }
    m_eGain = calibration.eGain;
}

std::string SensorCalibrationBody::getMessageDataString() const
{
    std::ostringstream out;
    out << m_dataLabel
        << " | Substrate Voltage: " << static_cast<unsigned>(m_substrateVoltage)
        << " | Channels In Use: " << static_cast<unsigned>(m_channelsInUse) << " | ADC Gains: ";
    for (size_t i = 0; i < c_channelCount; ++i)
        out << (i ? ", " : "") << static_cast<unsigned>(m_adcGains[i]);
    out << " | ADC Offsets: ";
    for (size_t i = 0; i < c_channelCount; ++i)
        out << (i ? ", " : "") << m_adcOffsets[i];
    out << " | EGain: " << WireConversions::truncateToInteger<int>(m_eGain);
    return out.str();
}

} // namespace V1
} // namespace kv
