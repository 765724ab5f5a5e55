// Image-metadata records and key/value metadata texts as a camera sends them. The first
// byte picks what reads the rest: a V1 record, a V2 record, a StartDownload answer
// (version by length), a key/value text given to an image, or a GetImageMetadata
// answer. Whatever is parsed must serialise to its own length and parse back to the
// same bytes; an image holding it must answer every query without reading or writing
// outside its buffers.

#include "image/ImageExt.h"
#include "image/ImageMetadata.h"
#include "image/MetadataKey.h"
#include "protocol/GetImageMetadataResponseBody.h"
#include "protocol/StartDownloadResponseBody.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

using namespace kv;

namespace {

bool sameBytes(const IOBufferPtr& a, const IOBufferPtr& b)
{
    const size_t lengthA = a ? a->length : 0;
    const size_t lengthB = b ? b->length : 0;
    return lengthA == lengthB && (lengthA == 0 || std::memcmp(a->data, b->data, lengthA) == 0);
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Every query of an image that holds the record.
void exerciseImage(const IImageMetadataPtr& record)
{
    ImageExt image(ImageBuffer::newBuffer(4));
    image.setImageMetadata(record);
    image.setStartTimestamp(ImageExt::TimePoint(std::chrono::seconds(1709672829)), true);
    const size_t layers = image.getLayerCount();
    for (uint32_t layer = 0; layer <= layers && layer < 300; ++layer)
        (void)image.getLayerMetadata(layer);
    (void)image.getMetadata();
    (void)Image(image).getMetadata();

    // The text is short; the room after it must stay untouched.
    char text[64];
    std::memset(text, 0x5A, sizeof text);
    size_t length = 0;
    image.getExpMidpoint(text, length);
    check(length <= 32);
    for (size_t i = length; i < sizeof text; ++i)
        check(text[i] == 0x5A);
}

void roundTrip(IImageMetadata& record, const IImageMetadataPtr& again, const IOBufferPtr& payload)
{
    record.setBuffer(payload);
    const IOBufferPtr first = record.getBuffer();
    check(first && first->length == record.getSize());
    again->setBuffer(first);
    check(sameBytes(first, again->getBuffer()));
    std::ostringstream out;
    record.print(out);
    (void)record.toDownloadMetadata();
    (void)record.toTImageMetadata();
}

void exerciseKeys(const std::string& text)
{
    ImageExt image;
    image.setMetadataKeys(text);
    const size_t count = image.getMetadataKeyCount();
    size_t terminators = 0;
    for (char c : text)
        terminators += c == '\x02';
    check(count <= terminators);
    check(image.hasMetadataKeys() == (count > 0));
    for (size_t i = 0; i < count; ++i) {
        IMetadataKey* key = image.getMetadataKey(i);
        check(key != nullptr);
        (void)std::strlen(key->value());
        (void)key->type();
        (void)key->asInt();
        (void)key->asFloat();
        (void)key->asDouble();
        (void)key->asBool();
        (void)MetadataKey::typeToString(key->type());
    }
    check(image.getMetadataKey(count) == nullptr);

    // Keys without a zero byte are found by their text.
    const MetadataKVMapPtr keys = MetadataKey::parseKeys(text);
    check(keys->size() == count);
    for (const auto& entry : *keys) {
        if (entry.first.find('\0') == std::string::npos)
            check(image.getMetadataKey(entry.first.c_str()) != nullptr);
    }
    (void)MetadataKey::splitPairs(text, '\x02');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0] % 5;
    // An exact-size copy, so that the sanitizer sees any read past the payload.
    const IOBufferPtr payload = IOBuffer::newBuffer(reinterpret_cast<const char*>(data + 1), size - 1);

    switch (mode) {
    case 0: {
        auto record = std::make_shared<TImageMetadataV1>();
        roundTrip(*record, std::make_shared<TImageMetadataV1>(), payload);
        exerciseImage(record);
        break;
    }
    case 1: {
        auto record = std::make_shared<TImageMetadataV2>();
        roundTrip(*record, std::make_shared<TImageMetadataV2>(), payload);
        exerciseImage(record);
        break;
    }
    case 2: {
        V1::StartDownloadResponseBody body;
        try {
            body.setBuffer(payload);
        } catch (const std::invalid_argument&) {
            check(payload->length == 0);
            break;
        }
        const IOBufferPtr first = body.getBuffer();
        check(first && first->length == body.getBufferLength());
        (void)body.getMessageDataString();
        V1::StartDownloadResponseBody again;
        again.setBuffer(first);
        check(sameBytes(first, again.getBuffer()));
        check(again.getImageMetadata()->getVersion() == body.getImageMetadata()->getVersion());
        exerciseImage(body.getImageMetadata());
        break;
    }
    case 3:
        exerciseKeys(std::string(payload->data ? payload->data : "", payload->length));
        break;
    default: {
        V1::GetImageMetadataResponseBody body(payload);
        const std::string& text = body.getMetadata();
        check(text.size() <= payload->length);
        check(text.find('\0') == std::string::npos);
        const IOBufferPtr first = body.getBuffer();
        check(first && first->length == body.getBufferLength());
        const V1::GetImageMetadataResponseBody again(first);
        check(again.getMetadata() == text);
        (void)body.getMessageDataString();
        exerciseKeys(text);
        break;
    }
    }
    return 0;
}
