#pragma once

#include "KVSerialNumbers/ColorCodes.h"
#include "KVSerialNumbers/ISerialDecoder.h"

#include <cstdint>

namespace kv {

// Number-based serial number, text BC4040C-000123-07 (camera line, sensor,
// colour, production number, index). Numeric form, from bit 0: index (12 bits),
// format 01 (2), colour (2), production number (16).
class V2SerialDecoder : public ISerialDecoder {
public:
    // Only the low 32 bits of the number are read.
    V2SerialDecoder(ICamera::Model camera, ISensor::Model sensor, size_t number);
    explicit V2SerialDecoder(const std::string& text);

    std::string to_string() const override;
    operator size_t() const override;
    bool isFormat(size_t number) const override;
    bool isFormat(const std::string& text) const override;

    // A 32-bit number whose format bits are 01.
    static bool hasFormat(size_t number);
    static bool hasFormat(const std::string& text);

    // True when each field fits its bits of the numeric form, so that the text
    // and the number name the same serial.
    bool fitsNumericForm() const;

    ICamera::Model getCameraModel() const { return m_cameraModel; }
    ISensor::Model getSensorModel() const { return m_sensorModel; }
    ColorCodes getColor() const { return m_color; }
    std::int32_t getProductionNumber() const { return m_productionNumber; }
    std::int32_t getIndex() const { return m_index; }

private:
    ICamera::Model m_cameraModel = ICamera::Brisa;
    ISensor::Model m_sensorModel = ISensor::RESERVED1;
    ColorCodes m_color = ColorCodes::InvalidColorCode;
    std::int32_t m_productionNumber = 0;
    std::int32_t m_index = 0;
};

} // namespace kv
