#include "KVSerialNumbers/V2SerialDecoder.h"

#include "KVSerialNumbers/SerialNumbers.h"
#include "KVSerialNumbers/SerialText.h"

namespace kv {

V2SerialDecoder::V2SerialDecoder(ICamera::Model camera, ISensor::Model sensor, size_t number)
    : m_cameraModel(camera)
    , m_sensorModel(sensor)
{
    const auto n = static_cast<std::uint32_t>(number);
    m_color = static_cast<ColorCodes>((n >> 14) & 3u);
    m_productionNumber = static_cast<std::int32_t>(n >> 16);
    m_index = static_cast<std::int32_t>(n & 0xFFFu);
}

V2SerialDecoder::V2SerialDecoder(const std::string& text)
{
    std::string code;
    std::string sensor;
    std::string colour;
    size_t position = 0;
    if (!ParseModelInfo(text, code, sensor, colour, position)) {
        return;
    }
    m_cameraModel = CameraModelFromString(code, sensor);
    m_sensorModel = SensorModelFromString(sensor);
    m_color = ColorCodeFromString(colour);
    if (!serialtext::findV2Numbers(text, position, m_productionNumber, m_index)) {
        m_productionNumber = m_index = 0;
    }
}

std::string V2SerialDecoder::to_string() const
{
    return GetCameraModelName(m_cameraModel) + GetSensorName(m_cameraModel, m_sensorModel)
        + GetColorCode(m_color) + "-" + serialtext::padded(m_productionNumber, 6) + "-"
        + serialtext::padded(m_index, 2);
}

V2SerialDecoder::operator size_t() const
{
    // Each field is cut to its width so that a field out of range cannot change
    // its neighbours or the format bits.
    const auto field = [](std::int32_t value, std::uint32_t mask) {
        return static_cast<std::uint32_t>(value) & mask;
    };
    const std::uint32_t n = (field(static_cast<std::int32_t>(m_color), 3u) << 14)
        | (field(m_productionNumber, 0xFFFFu) << 16) | field(m_index, 0xFFFu)
        | (serialtext::c_formatV2 << 12);
    return n;
}

bool V2SerialDecoder::isFormat(size_t number) const
{
    return hasFormat(number);
}

bool V2SerialDecoder::isFormat(const std::string& text) const
{
    return hasFormat(text);
}

bool V2SerialDecoder::hasFormat(size_t number)
{
    return serialtext::formatBits(number) == serialtext::c_formatV2;
}

bool V2SerialDecoder::hasFormat(const std::string& text)
{
    return serialtext::matchesV2Pattern(text);
}

bool V2SerialDecoder::fitsNumericForm() const
{
    const auto color = static_cast<std::int32_t>(m_color);
    return color >= 0 && color <= 2 && m_productionNumber >= 0 && m_productionNumber <= 0xFFFF
        && m_index >= 0 && m_index <= 0xFFF;
}

} // namespace kv
