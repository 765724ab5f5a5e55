#include "KVSerialNumbers/SerialDecoderFactory.h"

#include "KVSerialNumbers/V1SerialDecoder.h"
#include "KVSerialNumbers/V2SerialDecoder.h"

namespace kv {

std::unique_ptr<ISerialDecoder> SerialDecoderFactory::create(ICamera::Model camera,
                                                            ISensor::Model sensor, size_t number)
{
    if (V1SerialDecoder::hasFormat(number)) {
        return std::make_unique<V1SerialDecoder>(camera, sensor, number);
    }
    if (V2SerialDecoder::hasFormat(number)) {
        return std::make_unique<V2SerialDecoder>(camera, sensor, number);
    }
    return nullptr;
}

std::unique_ptr<ISerialDecoder> SerialDecoderFactory::create(const std::string& text)
{
    if (V1SerialDecoder::hasFormat(text)) {
        auto decoder = std::make_unique<V1SerialDecoder>(text);
        if (decoder->fitsNumericForm()) {
            return decoder;
        }
        return nullptr;
    }
    if (V2SerialDecoder::hasFormat(text)) {
        auto decoder = std::make_unique<V2SerialDecoder>(text);
        if (decoder->fitsNumericForm()) {
            return decoder;
        }
    }
    return nullptr;
}

} // namespace kv
