#include "KVSerialNumbers/SerialNumbers.h"

#include "KVSerialNumbers/SerialTables.h"

namespace kv {

using namespace serialtables;

std::string GetCameraModelName(ICamera::Model model)
{
    const auto& table = CameraModelNames();
    const auto it = table.find(model);
    return it == table.end() ? "??" : it->second;
}

ICamera::Model CameraModelFromString(const std::string& code, const std::string& sensor)
{
    if (code == "BC") {
        const auto& bc = BCModels();
        const auto it = bc.find(sensor);
        return it == bc.end() ? ICamera::BrisaCMOS : it->second;
    }
    const auto& table = CameraModelFromStr();
    const auto it = table.find(code);
    return it == table.end() ? ICamera::Brisa : it->second;
}

ISensor::Model SensorModelFromString(const std::string& sensor)
{
    const auto& table = sensorModelMap();
    const auto it = table.find(sensor);
    return it == table.end() ? ISensor::InvalidSensorModel : it->second;
}

std::string GetSensorName(ICamera::Model camera, ISensor::Model sensor)
{
    const auto& table = names();
    const auto it = table.find({camera, sensor});
    return it == table.end() ? "???" : it->second;
}

ISensor::Model GetSensorModel(ICamera::Model camera, unsigned char id)
{
    const auto& table = ids();
    const auto it = table.find({camera, id});
    return it == table.end() ? ISensor::InvalidSensorModel : it->second;
}

std::string GetColorCode(ColorCodes color)
{
    switch (color) {
    case ColorCodes::Mono:
        return "M";
    case ColorCodes::Color:
        return "C";
    case ColorCodes::SparseColor:
        return "S";
    default:
        return "?";
    }
}

ColorCodes ColorCodeFromString(const std::string& color)
{
    if (color == "M") {
        return ColorCodes::Mono;
    }
    if (color == "C") {
        return ColorCodes::Color;
    }
    if (color == "S") {
        return ColorCodes::SparseColor;
    }
    return ColorCodes::InvalidColorCode;
}

std::pair<ICamera::Model, ISensor::Model> GetCameraDescriptor(const std::string& modelCode)
{
    const auto& table = DescriptorMap();
    const auto it = table.find(modelCode);
    if (it == table.end()) {
        return {ICamera::InvalidCameraModel, ISensor::InvalidSensorModel};
    }
    return it->second;
}

std::uint32_t MakeV1SerialNumber(std::uint32_t color, std::uint32_t date, std::uint32_t index)
{
    const std::uint32_t year = (date / 10000) % 100;
    const std::uint32_t month = (date / 100) % 100;
    const std::uint32_t day = date % 100;
    return (year << 25) | ((month << 21) & 0x1E00000u) | ((day << 16) & 0x1F0000u)
        | ((color << 14) & 0xFFFFu) | (index & 0xFFFu);
}

} // namespace kv
