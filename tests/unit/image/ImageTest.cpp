#include "image/Image.h"
#include "image/ImageExt.h"
#include "image/ImageMetadata.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>
#include <thread>
#include <utility>

using namespace kv;
using namespace std::chrono;

namespace {

ImageBufferPtr pixels(std::initializer_list<uint16_t> values)
{
    auto buffer = ImageBuffer::newBuffer(values.size());
    std::copy(values.begin(), values.end(), buffer->data);
    return buffer;
}

TImageMetadata summary(uint32_t width, uint32_t height)
{
    TImageMetadata metadata;
    metadata.width = width;
    metadata.height = height;
    metadata.binX = 2;
    metadata.binY = 2;
    metadata.eGain = 1.5f;
    metadata.exposureDuration = 3.0f;
    return metadata;
}

std::shared_ptr<TImageMetadataV1> v1Record(uint16_t width, uint16_t height, float exposure)
{
    auto record = std::make_shared<TImageMetadataV1>();
    record->setFrameXSize(width);
    record->setFrameYSize(height);
    record->setEGain(0.8f);
    record->setMaxPacketSize(width);
    record->setExposureDuration(exposure);
    return record;
}

std::shared_ptr<TImageMetadataV2> v2Record(std::initializer_list<kv::TLayerMetadata> layers)
{
    auto record = std::make_shared<TImageMetadataV2>();
    TImageMetadataV2::TLayerMetadataList list;
    for (const kv::TLayerMetadata& layer : layers)
        list.emplace_back(layer);
    record->setLayers(list);
    return record;
}

// 2024-03-05 21:07:09 UTC.
const ImageExt::TimePoint c_start = ImageExt::TimePoint(seconds(1709672829));

std::string midpoint(ImageExt& image)
{
    char text[64];
    size_t length = 12345;
    image.getExpMidpoint(text, length);
    return std::string(text, length);
}

} // namespace

TEST(Image, CopiesAreDeepAndMovesEmptyTheSource)
{
    Image image;
    EXPECT_EQ(image.getBufferData(), nullptr);
    EXPECT_EQ(image.getBufferLength(), 0u);
    EXPECT_EQ(image.getMetadata().width, 0u);

    // More pixels than width x height: all of them are copied.
    image.setBuffer(pixels({1, 2, 3, 4, 5}));
    image.setMetadata(summary(2, 2));
    const Image copy(image);
    ASSERT_EQ(copy.getBuffer()->length, 5u);
    EXPECT_NE(copy.getBuffer(), image.getBuffer());
    EXPECT_EQ(copy.getBuffer()->data[4], 5);
    image.getBuffer()->data[4] = 50;
    EXPECT_EQ(copy.getBuffer()->data[4], 5);

    Image assigned;
    assigned = image;
    EXPECT_EQ(assigned.getBufferLength(), 5u);
    EXPECT_NE(assigned.getBuffer(), image.getBuffer());
    EXPECT_EQ(assigned.getMetadata().binX, 2u);
    assigned = assigned;
    EXPECT_EQ(assigned.getBufferLength(), 5u);

    const ImageBufferPtr shared = image.getBuffer();
    Image moved(std::move(image));
    EXPECT_EQ(moved.getBuffer(), shared);
    EXPECT_EQ(moved.getMetadata().width, 2u);
    EXPECT_EQ(image.getBuffer(), nullptr);
    EXPECT_EQ(image.getMetadata().width, 0u);

    Image target;
    target = std::move(moved);
    EXPECT_EQ(target.getBuffer(), shared);
    EXPECT_EQ(moved.getBuffer(), nullptr);
    Image& self = target;
    target = std::move(self);
    EXPECT_EQ(target.getBuffer(), shared) << "self-move keeps the image";

    // An image without a buffer copies to one without a buffer.
    const Image none{Image()};
    EXPECT_EQ(Image(none).getBuffer(), nullptr);
}

TEST(Image, ConversionsBetweenImageAndImageExt)
{
    Image plain;
    plain.setBuffer(pixels({7, 8, 9}));
    plain.setMetadata(summary(3, 1));

    // ImageExt(Image): a deep copy with a V1 record from the metadata.
    ImageExt ext(plain);
    EXPECT_NE(ext.getBuffer(), plain.getBuffer());
    EXPECT_EQ(ext.getBufferLength(), 3u);
    const auto record = std::dynamic_pointer_cast<TImageMetadataV1>(ext.getImageMetadata());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->getFrameXSize(), 3);
    EXPECT_EQ(record->getMaxPacketSize(), 3u);
    EXPECT_FLOAT_EQ(record->getExposureDuration(), 3.0f);
    // Seen as an image, the metadata comes from the record: binning 1.
    kv::IImage& asImage = ext;
    EXPECT_EQ(asImage.getMetadata().binX, 1u);
    EXPECT_EQ(asImage.getMetadata().width, 3u);

    // Image(ImageExt): shares the buffer, metadata from the record.
    ext.setImageMetadata(v2Record({{4, 5, 3, 3, 2.0f, 0, 0.0f, 0, 10}}));
    const Image back = ext;
    EXPECT_EQ(back.getBuffer(), ext.getBuffer());
    Image copyOfBack(back);
    EXPECT_EQ(copyOfBack.getMetadata().width, 4u);
    EXPECT_EQ(copyOfBack.getMetadata().binX, 3u);

    ImageExt noRecord(pixels({1}));
    EXPECT_EQ(Image(noRecord).getMetadata().width, 0u);
    EXPECT_EQ(Image(noRecord).getBufferLength(), 1u);
}

TEST(ImageExt, WithoutRecordEverythingIsNeutral)
{
    ImageExt image;
    EXPECT_EQ(image.getLayerCount(), 0u);
    const TImageMetadata metadata = image.getMetadata();
    EXPECT_EQ(metadata.width, 0u);
    EXPECT_EQ(metadata.binX, 0u);
    EXPECT_EQ(metadata.exposureDuration, 0.0f);
    EXPECT_EQ(image.getLayerMetadata(0).width, 0u);
    EXPECT_FALSE(image.hasMetadataKeys());
    EXPECT_EQ(image.getMetadataKeyCount(), 0u);
    EXPECT_EQ(image.getMetadataKey(size_t(0)), nullptr);
    EXPECT_EQ(image.getMetadataKey("Gain"), nullptr);
    EXPECT_EQ(midpoint(image), "");
    EXPECT_TRUE(image.getUseExpStartOffset());
    image.setLayerMetadata(0, kv::TLayerMetadata{1, 1, 1, 1, 1.0f, 1, 1.0f, 1, 1});
    EXPECT_EQ(image.getLayerCount(), 0u);
}

TEST(ImageExt, LayersFromV1AndV2Records)
{
    ImageExt image;
    image.setImageMetadata(v1Record(640, 480, 2.75f));
    EXPECT_EQ(image.getLayerCount(), 1u);
    for (uint32_t index : {0u, 5u}) {
        const TLayerMetadata layer = image.getLayerMetadata(index);
        EXPECT_EQ(layer.width, 640u);
        EXPECT_EQ(layer.height, 480u);
        EXPECT_EQ(layer.binX, 1u);
        EXPECT_EQ(layer.binY, 1u);
        EXPECT_FLOAT_EQ(layer.eGain, 0.8f);
        EXPECT_EQ(layer.darkCol, 640u) << "the width";
        EXPECT_FLOAT_EQ(layer.exposureDuration, 2.75f);
        EXPECT_EQ(layer.exposureDelay, 0u);
        EXPECT_EQ(layer.exposureWindow, 2u);
    }
    // Set only for V2 records.
    image.setLayerMetadata(0, kv::TLayerMetadata{1, 1, 1, 1, 1.0f, 1, 1.0f, 1, 1});
    EXPECT_EQ(image.getLayerMetadata(0).width, 640u);

    // Durations a window cannot hold saturate instead of being undefined.
    struct Case {
        float exposure;
        uint32_t window;
    };
    const Case cases[] = {{-1.0f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}, {1e20f, 0xFFFFFFFF}};
    for (const Case& c : cases) {
        image.setImageMetadata(v1Record(1, 1, c.exposure));
        EXPECT_EQ(image.getLayerMetadata(0).exposureWindow, c.window) << c.exposure;
    }

    image.setImageMetadata(v2Record({{2048, 2048, 1, 1, 0.5f, 7, 1.0f, 100, 1000},
                                     {2048, 2048, 2, 2, 0.25f, 8, 0.5f, 0, 500}}));
    EXPECT_EQ(image.getLayerCount(), 2u);
    EXPECT_EQ(image.getLayerMetadata(1).darkCol, 8u);
    EXPECT_EQ(image.getLayerMetadata(2).width, 0u) << "beyond the layers: a zeroed layer";
    EXPECT_EQ(image.getMetadata().height, 4096u);
    EXPECT_FLOAT_EQ(image.getMetadata().exposureDuration, 1500.0f);

    image.setLayerMetadata(1, kv::TLayerMetadata{9, 9, 9, 9, 9.0f, 9, 9.0f, 9, 9});
    EXPECT_EQ(image.getLayerMetadata(1).width, 9u);
    image.setLayerMetadata(2, kv::TLayerMetadata{9, 9, 9, 9, 9.0f, 9, 9.0f, 9, 9});
    EXPECT_EQ(image.getLayerCount(), 2u);
}

TEST(ImageExt, MetadataKeys)
{
    ImageExt image;
    image.setMetadataKeys(std::string("Temp\x01" "F-10.5\x02" "Gain\x01" "I12\x02" "Tail\x01" "I3"));
    EXPECT_TRUE(image.hasMetadataKeys());
    ASSERT_EQ(image.getMetadataKeyCount(), 2u);
    EXPECT_STREQ(image.getMetadataKey(size_t(0))->key(), "Gain");
    EXPECT_STREQ(image.getMetadataKey(size_t(1))->key(), "Temp");
    EXPECT_EQ(image.getMetadataKey(size_t(2)), nullptr);
    EXPECT_EQ(image.getMetadataKey("Gain")->asInt(), 12);
    EXPECT_EQ(image.getMetadataKey("Tail"), nullptr);
    EXPECT_EQ(image.getMetadataKey(static_cast<const char*>(nullptr)), nullptr);

    // A new text replaces the map; an empty one leaves no keys.
    image.setMetadataKeys(std::string(""));
    EXPECT_FALSE(image.hasMetadataKeys());
    EXPECT_EQ(image.getMetadataKeyCount(), 0u);

    auto map = std::make_shared<MetadataKVMap>();
    (*map)["X"] = std::make_shared<MetadataKey>(3, "X", IMetadataKey::BOOL, "1");
    image.setMetadataKeys(map);
    EXPECT_TRUE(image.getMetadataKey("X")->asBool());
    EXPECT_EQ(image.getMetadataKey("X")->id(), 3u);
}

TEST(ImageExt, ExposureMidpoint)
{
    struct Case {
        const char* name;
        IImageMetadataPtr record;
        nanoseconds sinceStart;  // start time stamp relative to c_start
        std::string text;
    };
    const std::vector<Case> cases = {
        {"V1 zero exposure, hundredths rounded down", v1Record(1, 1, 0.0f), milliseconds(437),
         "2024-03-05T21:07:09.43"},
        {"V1 half the exposure", v1Record(1, 1, 1.0f), milliseconds(0), "2024-03-05T21:07:09.50"},
        {"V1 0.0015 s is the start itself", v1Record(1, 1, 0.0015f), milliseconds(0), "2024-03-05T21:07:09.00"},
        {"V1 across midnight and the year", v1Record(1, 1, 2.0f),
         seconds(1735689599 - 1709672829) + milliseconds(500), "2025-01-01T00:00:00.50"},
        {"V2 delay and half the window", v2Record({{1, 1, 1, 1, 1.0f, 0, 1.0f, 100, 1001}}), milliseconds(0),
         "2024-03-05T21:07:09.60"},
        {"V2 uses layer 0", v2Record({{1, 1, 1, 1, 1.0f, 0, 1.0f, 0, 0}, {1, 1, 1, 1, 1.0f, 0, 1.0f, 900, 0}}),
         milliseconds(0), "2024-03-05T21:07:09.00"},
        {"whole second", v2Record({{1, 1, 1, 1, 1.0f, 0, 1.0f, 1000, 0}}), milliseconds(0),
         "2024-03-05T21:07:10.00"},
        {"nanoseconds below a millisecond", v1Record(1, 1, 0.0f), nanoseconds(999999999), "2024-03-05T21:07:09.99"},
        {"V2 without layers", v2Record({}), milliseconds(0), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImageExt image;
        image.setImageMetadata(c.record);
        image.setStartTimestamp(c_start + c.sinceStart, true);
        EXPECT_EQ(midpoint(image), c.text);
    }

    // The flag is stored; the mid-point adds the delay either way.
    ImageExt image;
    image.setImageMetadata(v2Record({{1, 1, 1, 1, 1.0f, 0, 1.0f, 100, 1001}}));
    image.setStartTimestamp(c_start, false);
    EXPECT_FALSE(image.getUseExpStartOffset());
    EXPECT_EQ(image.getStartTimestamp(), c_start);
    EXPECT_EQ(midpoint(image), "2024-03-05T21:07:09.60");
    EXPECT_EQ(image.getExposureMidpointV2(), "2024-03-05T21:07:09.60");
    EXPECT_EQ(image.getExposureMidpointV1(), "") << "not a V1 record";

    // A null buffer writes nothing.
    size_t length = 99;
    image.getExpMidpoint(nullptr, length);
    EXPECT_EQ(length, 0u);

    // Exposures no clock can hold stay well-defined.
    for (float exposure : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(), -3.0f}) {
        ImageExt odd;
        odd.setImageMetadata(v1Record(1, 1, exposure));
        odd.setStartTimestamp(c_start, true);
        const std::string text = midpoint(odd);
        EXPECT_GE(text.size(), 22u) << exposure;
    }
    ImageExt early;
    early.setImageMetadata(v1Record(1, 1, -3.0f));
    early.setStartTimestamp(c_start, true);
    EXPECT_EQ(midpoint(early), "2024-03-05T21:07:07.50");
}

TEST(ImageExt, SwapHandsOverBuffers)
{
    ImageExt image(pixels({1, 2, 3}));
    uint16_t* mine = new uint16_t[2]{8, 9};
    uint16_t* data = mine;
    size_t length = 2;
    image.swap(data, length);
    EXPECT_EQ(image.getBufferData(), mine);
    EXPECT_EQ(image.getBufferLength(), 2u);
    ASSERT_EQ(length, 3u);
    EXPECT_EQ(data[2], 3);
    delete[] data;  // the previous array is the caller's now

    ImageBufferPtr other = pixels({4});
    const ImageBufferPtr before = image.getBuffer();
    image.swap(other);
    EXPECT_EQ(other, before);
    EXPECT_EQ(image.getBufferLength(), 1u);

    // Without a buffer object, one is made to take the array.
    ImageExt empty;
    uint16_t* array = new uint16_t[1]{5};
    size_t count = 1;
    empty.swap(array, count);
    EXPECT_EQ(array, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(empty.getBufferData()[0], 5);
}

// The sensor replaces an image's buffer and metadata while the application reads them.
TEST(Image, AccessorsAreSerialised)
{
    Image image;
    image.setBuffer(pixels({1, 2}));
    std::thread writer([&image] {
        for (uint32_t i = 0; i < 2000; ++i) {
            image.setBuffer(ImageBuffer::newBuffer(1 + i % 4));
            image.setMetadata(summary(i, i));
        }
    });
    uint64_t seen = 0;
    for (int i = 0; i < 2000; ++i) {
        const Image copy(image);
        seen += copy.getBuffer() ? copy.getBuffer()->length : 0;
        const TImageMetadata metadata = image.getMetadata();
        EXPECT_EQ(metadata.width, metadata.height);
        seen += image.getBufferLength();
    }
    writer.join();
    EXPECT_GT(seen, 0u);
    EXPECT_EQ(image.getMetadata().width, 1999u);
}
