#include "image/ImageMetadata.h"
#include "unit/protocol/HexBytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kv;
using hexbytes::fromHex;
using hexbytes::toHex;

namespace {

using Layer = TImageMetadataV2::TLayerMetadata;

Layer layer(uint32_t width, uint32_t height, uint32_t window, uint32_t delay = 0)
{
    return Layer(kv::TLayerMetadata{width, height, 1, 1, 0.5f, width, 1.0f, delay, window});
}

std::string printed(const IImageMetadata& record)
{
    std::ostringstream out;
    record.print(out);
    return out.str();
}

} // namespace

TEST(ImageMetadata, VersionFromLength)
{
    struct Case {
        size_t length;
        IImageMetadata::Version version;
    };
    const Case cases[] = {
        {16, IImageMetadata::V1}, {17, IImageMetadata::V2}, {15, IImageMetadata::V2},
        {0, IImageMetadata::V2},  {2, IImageMetadata::V2},  {38, IImageMetadata::V2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IImageMetadata::getVersionFromLength(c.length), c.version) << c.length;
    EXPECT_EQ(TImageMetadataV1::size(), 16u);
    EXPECT_EQ(Layer::getSize(), 36u);
}

TEST(ImageMetadata, V1RecordBothWaysAndConversions)
{
    const std::string hex = "00 10 00 08 00 00 a0 3f 80 0c 00 00 00 00 20 41";
    TImageMetadataV1 record;
    record.setBuffer(fromHex(hex));
    EXPECT_EQ(record.getVersion(), IImageMetadata::V1);
    EXPECT_EQ(record.getFrameXSize(), 4096);
    EXPECT_EQ(record.getFrameYSize(), 2048);
    EXPECT_FLOAT_EQ(record.getEGain(), 1.25f);
    EXPECT_EQ(record.getMaxPacketSize(), 3200u);
    EXPECT_FLOAT_EQ(record.getExposureDuration(), 10.0f);
    EXPECT_EQ(toHex(record.getBuffer()), hex);
    EXPECT_EQ(record.getSize(), 16u);
    EXPECT_EQ(printed(record), " | Frame Size (X): 4096 | Frame Size (Y): 2048 | EGainL: 1.25 | Max Packet Size: 3200 | "
                               "Exposure Duration: 10");

    const TImageMetadata summary = record;
    EXPECT_EQ(summary.width, 4096u);
    EXPECT_EQ(summary.height, 2048u);
    EXPECT_EQ(summary.offsetX, 0u);
    EXPECT_EQ(summary.offsetY, 0u);
    EXPECT_EQ(summary.binX, 1u);
    EXPECT_EQ(summary.binY, 1u);
    EXPECT_FLOAT_EQ(summary.eGain, 1.25f);
    EXPECT_FLOAT_EQ(summary.exposureDuration, 10.0f);

    const DownloadMetadata_t download = record;
    EXPECT_EQ(download.width, 4096);
    EXPECT_EQ(download.height, 2048);
    EXPECT_EQ(download.maxPacketSize, 3200);
    EXPECT_FLOAT_EQ(download.eGain, 1.25f);
    EXPECT_FLOAT_EQ(download.exposureDuration, 10.0f);

    // Too short: nothing is parsed.
    record.setBuffer(fromHex("01 00 01 00"));
    EXPECT_EQ(toHex(record.getBuffer()), hex);

    // References reach the fields.
    record.getFrameXSize_r() = 7;
    EXPECT_EQ(record.getFrameXSize(), 7);
}

TEST(ImageMetadata, V1RecordFromASummary)
{
    TImageMetadata summary;
    summary.width = 70000; // above 16 bits
    summary.height = 3;
    summary.eGain = 0.75f;
    summary.exposureDuration = 2.0f;
    const TImageMetadataV1 record(summary);
    EXPECT_EQ(record.getFrameXSize(), 70000 % 65536);
    EXPECT_EQ(record.getFrameYSize(), 3);
    EXPECT_EQ(record.getMaxPacketSize(), 210000u) << "the whole image as one packet";
    EXPECT_FLOAT_EQ(record.getEGain(), 0.75f);
    EXPECT_FLOAT_EQ(record.getExposureDuration(), 2.0f);

    // A packet size beyond int does not turn negative in the download summary.
    TImageMetadataV1 huge;
    huge.setMaxPacketSize(0xFFFFFFFF);
    EXPECT_EQ(huge.toDownloadMetadata().maxPacketSize, INT_MAX);
}

TEST(ImageMetadata, V2RecordBothWays)
{
    const std::string layerHex = "00 08 00 00 00 04 00 00 01 00 00 00 02 00 00 00 00 00 00 3f 10 00 00 00 "
                                 "00 00 c0 3f 64 00 00 00 e9 03 00 00";
    TImageMetadataV2 record;
    record.setBuffer(fromHex("02 00 " + layerHex + " " + layerHex));
    EXPECT_EQ(record.getVersion(), IImageMetadata::V2);
    ASSERT_EQ(record.getLayerCount(), 2u);
    const Layer& first = record.getLayer(0);
    EXPECT_EQ(first.getWidth(), 2048u);
    EXPECT_EQ(first.getHeight(), 1024u);
    EXPECT_EQ(first.getBinX(), 1u);
    EXPECT_EQ(first.getBinY(), 2u);
    EXPECT_FLOAT_EQ(first.getEGain(), 0.5f);
    EXPECT_EQ(first.getDarkCol(), 16u);
    EXPECT_FLOAT_EQ(first.getExposureDuration(), 1.5f);
    EXPECT_EQ(first.getExposureDelay(), 100u);
    EXPECT_EQ(first.getExposureWindow(), 1001u);
    // Byte 1 is written as 9 whatever was received.
    EXPECT_EQ(toHex(record.getBuffer()), "02 09 " + layerHex + " " + layerHex);
    EXPECT_EQ(record.getSize(), 74u);

    const std::string layerText = " Width: 2048 | Height: 1024 | BinX: 1 | BinY: 2 | EGain: 0.5 | DarkCol: 16 | "
                                  "Exposure Duration: 1.5 | Exposure Start Delay: 100 | Exposure Window: 1001";
    EXPECT_EQ(printed(record),
              " LayerCount: 2 | Layer 0 {{ " + layerText + " }} | Layer 1 {{ " + layerText + " }}");

    // Fewer bytes than the count promises: the complete layers present.
    record.setBuffer(fromHex("03 09 " + layerHex + " 00 00"));
    EXPECT_EQ(record.getLayerCount(), 1u);
    record.setBuffer(fromHex("02"));
    EXPECT_EQ(record.getLayerCount(), 1u) << "without the header nothing is parsed";
    record.setBuffer(fromHex("00 09 " + layerHex));
    EXPECT_EQ(record.getLayerCount(), 0u);
    EXPECT_EQ(toHex(record.getBuffer()), "00 09");
}

TEST(ImageMetadata, V2Conversions)
{
    TImageMetadataV2 record;
    record.setLayers({layer(2048, 2048, 1000), layer(2048, 2048, 250)});
    const TImageMetadata summary = record.toTImageMetadata();
    EXPECT_EQ(summary.width, 2048u);
    EXPECT_EQ(summary.height, 4096u);
    EXPECT_EQ(summary.offsetX, 0u);
    EXPECT_EQ(summary.binX, 1u);
    EXPECT_FLOAT_EQ(summary.eGain, 0.5f);
    EXPECT_FLOAT_EQ(summary.exposureDuration, 1250.0f) << "the sum of the exposure windows";

    const DownloadMetadata_t download = record.toDownloadMetadata();
    EXPECT_EQ(download.width, 2048);
    EXPECT_EQ(download.height, 4096);
    EXPECT_EQ(download.maxPacketSize, 2048 * 4096);
    EXPECT_FLOAT_EQ(download.eGain, 0.0f);
    EXPECT_FLOAT_EQ(download.exposureDuration, 0.0f);

    // The last layer's width and binning remain.
    record.setLayers({layer(100, 10, 0), layer(50, 20, 0)});
    EXPECT_EQ(record.toTImageMetadata().width, 50u);
    EXPECT_EQ(record.toDownloadMetadata().maxPacketSize, 50 * 30);

    // No layers: all zero.
    record.setLayers({});
    EXPECT_EQ(record.toTImageMetadata().height, 0u);
    EXPECT_EQ(record.toDownloadMetadata().maxPacketSize, 0);

    // Sizes from a hostile record saturate instead of overflowing.
    record.setLayers({layer(0xFFFFFFFF, 0xFFFFFFFF, 0), layer(0xFFFFFFFF, 0xFFFFFFFF, 0)});
    const DownloadMetadata_t saturated = record.toDownloadMetadata();
    EXPECT_EQ(saturated.width, INT_MAX);
    EXPECT_EQ(saturated.height, INT_MAX);
    EXPECT_EQ(saturated.maxPacketSize, INT_MAX);
}

TEST(ImageMetadata, V2LayersAndIndexChecks)
{
    const kv::TLayerMetadata source{1, 2, 3, 4, 5.5f, 6, 7.5f, 8, 9};
    const Layer converted(source);
    const kv::TLayerMetadata back = converted;
    EXPECT_EQ(back.width, 1u);
    EXPECT_EQ(back.height, 2u);
    EXPECT_EQ(back.binX, 3u);
    EXPECT_EQ(back.binY, 4u);
    EXPECT_FLOAT_EQ(back.eGain, 5.5f);
    EXPECT_EQ(back.darkCol, 6u);
    EXPECT_FLOAT_EQ(back.exposureDuration, 7.5f);
    EXPECT_EQ(back.exposureDelay, 8u);
    EXPECT_EQ(back.exposureWindow, 9u);

    const Layer zero;
    EXPECT_EQ(zero.getWidth(), 0u);
    EXPECT_EQ(zero.getExposureWindow(), 0u);

    TImageMetadataV2 record;
    record.setLayers({layer(10, 10, 0)});
    record.setLayer(0, converted);
    EXPECT_EQ(record.getLayer(0).getDarkCol(), 6u);
    for (size_t index : {size_t(1), size_t(1000)}) {
        try {
            record.setLayer(index, converted);
            FAIL() << "no exception";
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "Layer index out of bounds");
        }
        EXPECT_THROW(record.getLayer(index), std::invalid_argument);
    }
    record.getLayers_r().push_back(zero);
    EXPECT_EQ(record.getLayers().size(), 2u);
}

TEST(ImageMetadata, V2SerialisesAtMost255Layers)
{
    TImageMetadataV2 record;
    record.setLayers(TImageMetadataV2::TLayerMetadataList(300, layer(1, 1, 1)));
    EXPECT_EQ(record.getSize(), 2u + 36u * 255u);
    const IOBufferPtr bytes = record.getBuffer();
    ASSERT_EQ(bytes->length, record.getSize());
    EXPECT_EQ(static_cast<uint8_t>(bytes->data[0]), 255);

    TImageMetadataV2 parsed;
    parsed.setBuffer(bytes);
    EXPECT_EQ(parsed.getLayerCount(), 255u);
}
