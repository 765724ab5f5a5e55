#pragma once

#include "KVSerialNumbers/ColorCodes.h"
#include "KVSerialNumbers/ISerialDecoder.h"

#include <cstdint>

namespace kv {

// Date-based serial number, text BR694M-24011542 (camera line, sensor, colour,
// year, month, day, index). Numeric form, from bit 0: index (12 bits), format 00
// (2), colour (2), day (5), month (4), two-digit year (7).
class V1SerialDecoder : public ISerialDecoder {
public:
    // Only the low 32 bits of the number are read.
    V1SerialDecoder(ICamera::Model camera, ISensor::Model sensor, size_t number);
    explicit V1SerialDecoder(const std::string& text);

    std::string to_string() const override;
    operator size_t() const override;
    bool isFormat(size_t number) const override;
    bool isFormat(const std::string& text) const override;

    // A 32-bit number whose format bits are 00.
    static bool hasFormat(size_t number);
    static bool hasFormat(const std::string& text);

    // True when each field fits its bits of the numeric form, so that the text
    // and the number name the same serial.
    bool fitsNumericForm() const;

    ICamera::Model getCameraModel() const { return m_cameraModel; }
    ISensor::Model getSensorModel() const { return m_sensorModel; }
    ColorCodes getColor() const { return m_color; }
    std::int32_t getYear() const { return m_year; }
    std::int32_t getMonth() const { return m_month; }
    std::int32_t getDay() const { return m_day; }
    std::int32_t getIndex() const { return m_index; }

private:
    ICamera::Model m_cameraModel = ICamera::Brisa;
    ISensor::Model m_sensorModel = ISensor::RESERVED1;
    ColorCodes m_color = ColorCodes::InvalidColorCode;
    std::int32_t m_year = 0;
    std::int32_t m_month = 0;
    std::int32_t m_day = 0;
    std::int32_t m_index = 0;
};

} // namespace kv
