#include "KVSerialNumbers/V1SerialDecoder.h"

#include "KVSerialNumbers/SerialNumbers.h"
#include "KVSerialNumbers/SerialText.h"

namespace kv {

V1SerialDecoder::V1SerialDecoder(ICamera::Model camera, ISensor::Model sensor, size_t number)
    : m_cameraModel(camera)
    , m_sensorModel(sensor)
{
    const auto n = static_cast<std::uint32_t>(number);
    m_color = static_cast<ColorCodes>((n >> 14) & 3u);
    m_year = static_cast<std::int32_t>(n >> 25);
    m_month = static_cast<std::int32_t>((n >> 21) & 15u);
    m_day = static_cast<std::int32_t>((n >> 16) & 31u);
    m_index = static_cast<std::int32_t>(n & 0xFFFu);
}

V1SerialDecoder::V1SerialDecoder(const std::string& text)
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
    if (!serialtext::findV1Numbers(text, position, m_year, m_month, m_day, m_index)) {
        m_year = m_month = m_day = m_index = 0;
    }
}

std::string V1SerialDecoder::to_string() const
{
    return GetCameraModelName(m_cameraModel) + GetSensorName(m_cameraModel, m_sensorModel)
        + GetColorCode(m_color) + "-" + serialtext::padded(m_year % 100, 2)
        + serialtext::padded(m_month, 2) + serialtext::padded(m_day, 2)
        + serialtext::padded(m_index, 2);
}

V1SerialDecoder::operator size_t() const
{
    // Each field is cut to its width so that a field out of range cannot change
    // its neighbours; for the values a valid text or number gives this is exact.
    const auto field = [](std::int32_t value, std::uint32_t mask) {
        return static_cast<std::uint32_t>(value) & mask;
    };
    const std::uint32_t n = (field(static_cast<std::int32_t>(m_color), 3u) << 14)
        | field(m_index, 0xFFFu) | (field(m_day, 31u) << 16) | (field(m_month, 15u) << 21)
        | (field(m_year, 127u) << 25);
    return n;
}

bool V1SerialDecoder::isFormat(size_t number) const
{
    return hasFormat(number);
}

bool V1SerialDecoder::isFormat(const std::string& text) const
{
    return hasFormat(text);
}

bool V1SerialDecoder::hasFormat(size_t number)
{
    return serialtext::formatBits(number) == serialtext::c_formatV1;
}

bool V1SerialDecoder::hasFormat(const std::string& text)
{
    return serialtext::matchesV1Pattern(text);
}

bool V1SerialDecoder::fitsNumericForm() const
{
    const auto color = static_cast<std::int32_t>(m_color);
    return color >= 0 && color <= 2 && m_year >= 0 && m_year <= 99 && m_month >= 0
        && m_month <= 15 && m_day >= 0 && m_day <= 31 && m_index >= 0 && m_index <= 0xFFF;
}

} // namespace kv
