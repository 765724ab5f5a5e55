#include "KVSerialNumbers/ISerialDecoder.h"

#include "KVSerialNumbers/SerialNumbers.h"
#include "KVSerialNumbers/SerialText.h"

namespace kv {

ISerialDecoder::operator std::string() const
{
    return to_string();
}

bool ISerialDecoder::getCameraDescriptor(const std::string& text, ICamera::Model& camera,
                                         ISensor::Model& sensor)
{
    camera = ICamera::InvalidCameraModel;
    sensor = ISensor::InvalidSensorModel;
    std::string modelCode;
    if (!serialtext::findLeadingModelCode(text, modelCode)) {
        return false;
    }
    const auto descriptor = GetCameraDescriptor(modelCode);
    if (descriptor.first == ICamera::InvalidCameraModel) {
        return false;
    }
    camera = descriptor.first;
    sensor = descriptor.second;
    return true;
}

} // namespace kv
