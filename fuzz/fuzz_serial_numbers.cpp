// Feeds arbitrary bytes to the serial-number module, as a serial text and as a
// serial number with camera and sensor models, and checks that whatever decodes
// converts back to itself. Short texts are also checked against the regular
// expressions that define the formats.

#include "KVSerialNumbers/SerialNumbers.h"
#include "KVSerialNumbers/SerialText.h"

#include <cstdint>
#include <cstring>
#include <regex>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

bool modelsOf(const kv::ISerialDecoder& decoder, kv::ICamera::Model& camera,
              kv::ISensor::Model& sensor)
{
    if (const auto* v1 = dynamic_cast<const kv::V1SerialDecoder*>(&decoder)) {
        camera = v1->getCameraModel();
        sensor = v1->getSensorModel();
        return true;
    }
    if (const auto* v2 = dynamic_cast<const kv::V2SerialDecoder*>(&decoder)) {
        camera = v2->getCameraModel();
        sensor = v2->getSensorModel();
        return false;
    }
    __builtin_trap();
}

void fuzzText(const std::string& text)
{
    using namespace kv;
    const auto decoder = SerialDecoderFactory::create(text);
    if (decoder) {
        const size_t number = *decoder;
        check(number <= 0xFFFFFFFFu);
        check(decoder->isFormat(text));
        check(decoder->isFormat(number));
        const std::string normalised = decoder->to_string();
        check(static_cast<std::string>(*decoder) == normalised);
        ICamera::Model camera;
        ISensor::Model sensor;
        modelsOf(*decoder, camera, sensor);
        const auto fromNumber = SerialDecoderFactory::create(camera, sensor, number);
        check(fromNumber != nullptr);
        check(static_cast<size_t>(*fromNumber) == number);
        check(fromNumber->to_string() == normalised);
    }

    std::string code, sensorText, colour;
    size_t position = 0;
    if (ParseModelInfo(text, code, sensorText, colour, position)) {
        check(position <= text.size());
        check(colour.size() == 1);
    }
    ICamera::Model camera;
    ISensor::Model sensor;
    ISerialDecoder::getCameraDescriptor(text, camera, sensor);
    (void)CameraModelFromString(text, text);
    (void)SensorModelFromString(text);
    (void)ColorCodeFromString(text);
    (void)GetCameraDescriptor(text);
}

void fuzzNumber(const uint8_t* data)
{
    using namespace kv;
    uint64_t number = 0;
    std::memcpy(&number, data, sizeof number);
    const auto camera = static_cast<ICamera::Model>(data[8]);
    uint16_t sensorBits = 0;
    std::memcpy(&sensorBits, data + 9, sizeof sensorBits);
    const auto sensor = static_cast<ISensor::Model>(sensorBits);
    (void)GetSensorModel(camera, data[11]);
    (void)GetSensorName(camera, sensor);
    (void)GetCameraModelName(camera);
    (void)GetColorCode(static_cast<ColorCodes>(static_cast<int8_t>(data[12])));
    (void)MakeV1SerialNumber(static_cast<uint32_t>(number), static_cast<uint32_t>(number >> 32),
                             data[12]);

    // Both the full 64-bit value and its low 32 bits, which the cameras report.
    for (const size_t n : {static_cast<size_t>(number), static_cast<size_t>(number & 0xFFFFFFFFu)}) {
        const auto decoder = SerialDecoderFactory::create(camera, sensor, n);
        const uint32_t format = (n >> 12) & 3u;
        check((decoder != nullptr) == (n <= 0xFFFFFFFFu && format < 2));
        if (!decoder) {
            continue;
        }
        check(static_cast<size_t>(*decoder) == n);
        // The text of a serial reads back as the same serial whenever it can be
        // read at all (unknown models and colour 3 print "?"; a year of 100 or
        // more prints its last two digits).
        const auto fromText = SerialDecoderFactory::create(decoder->to_string());
        if (fromText) {
            ICamera::Model textCamera;
            ISensor::Model textSensor;
            const bool isV1 = modelsOf(*fromText, textCamera, textSensor);
            check(textCamera == camera && textSensor == sensor);
            if (!isV1 || (n >> 25) < 100) {
                check(static_cast<size_t>(*fromText) == n);
            }
        }
    }
}

void compareWithRegex(const std::string& text)
{
    using namespace kv;
    static const std::regex v1(R"(^(\w+)(\d+)(\w?)(\w)-(\d{2})(\d{2})(\d{2})(\d+)$)");
    static const std::regex v2(R"(^(\w+)(\d+)(\w?)(\w)-(\d{6})-(\d+)$)");
    static const std::regex model(R"(([a-zA-Z]{2,3})(\d+\w?)(\w)-)");
    check(serialtext::matchesV1Pattern(text) == std::regex_match(text, v1));
    check(serialtext::matchesV2Pattern(text) == std::regex_match(text, v2));
    std::smatch m;
    std::string code, sensor, colour;
    size_t position = 0;
    const bool found = std::regex_search(text, m, model);
    check(ParseModelInfo(text, code, sensor, colour, position) == found);
    if (found) {
        check(code == m[1].str() && sensor == m[2].str() && colour == m[3].str());
        check(position == static_cast<size_t>(m.position(0) + m.length(0)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzzText(text);
    if (size >= 13) {
        fuzzNumber(data);
    }
    // std::regex recurses per character; keep the reference check to short texts.
    if (size <= 48) {
        compareWithRegex(text);
    }
    return 0;
}
