#include "image/ImageMetadata.h"
#include "protocol/AccessSensorCalibrationByKeyBody.h"
#include "protocol/BodyFactory.h"
#include "protocol/GetFrameResponseBody.h"
#include "protocol/GetImageMetadataResponseBody.h"
#include "protocol/GetPacketsRequestBody.h"
#include "protocol/GetPacketsResponseBody.h"
#include "protocol/GetSensorCalibrationByKeyRequestBody.h"
#include "protocol/GetSensorCalibrationResponseBody.h"
#include "protocol/GetSensorInfoResponseBody.h"
#include "protocol/GetSensorSettingsRequestBody.h"
#include "protocol/GetSensorSettingsResponseBody.h"
#include "protocol/GetSubframeResponseBody.h"
#include "protocol/Message.h"
#include "protocol/PacketRequestExtRequestBody.h"
#include "protocol/PacketRequestExtResponseBody.h"
#include "protocol/SetImageChannelsBody.h"
#include "protocol/SetSensorCalibrationRequestBody.h"
#include "protocol/SetSensorSettingsRequestBody.h"
#include "protocol/SetSensorSettingsResponseBody.h"
#include "protocol/SetSubframeRequestBody.h"
#include "protocol/StartDownloadResponseBody.h"
#include "protocol/StartExposureRequestBody.h"
#include "protocol/TGetPacketResponseExt.h"
#include "protocol/V2SetSubframeRequestBody.h"
#include "protocol/V2SetSubframeResponseBody.h"
#include "protocol/WireConversions.h"
#include "unit/protocol/GoldenBodies.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

using namespace kv;
using namespace kv::V1;
using hexbytes::fromHex;
using hexbytes::toHex;
using namespace goldenbodies;

namespace {

// n zero bytes as hex.
std::string zeros(size_t n)
{
    std::string hex;
    for (size_t i = 0; i < n; ++i)
        hex += i ? " 00" : "00";
    return hex;
}


const std::string c_v2Layer = "00 08 00 00 00 04 00 00 01 00 00 00 02 00 00 00 00 00 00 3f 10 00 00 00 00 00 c0 3f "
                              "64 00 00 00 e9 03 00 00";
const std::string c_v2LayerLog = " Width: 2048 | Height: 1024 | BinX: 1 | BinY: 2 | EGain: 0.5 | DarkCol: 16 | "
                                 "Exposure Duration: 1.5 | Exposure Start Delay: 100 | Exposure Window: 1001";

std::vector<GoldenCase> goldenCases()
{
    ISensor::Calibration calibration;
    calibration.substrateVoltage = 120;
    calibration.channelsInUse = 2;
    const uint32_t gains[4] = {10, 20, 30, 40};
    const int32_t offsets[4] = {5, -5, 255, -255};
    for (int i = 0; i < 4; ++i) {
        calibration.adcGains[i] = gains[i];
        calibration.adcOffsets[i] = offsets[i];
    }
    const std::string calibrationHex = "78 02 0a 14 1e 28 05 00 05 01 ff 00 ff 01";
    const std::string calibrationLog =
        " | Substrate Voltage: 120 | Channels In Use: 2 | ADC Gains: 10, 20, 30, 40 | ADC Offsets: 5, 261, 255, 511";

    return {
        {"GetSensorInfoResponse", GetSensorInfo,
         filledBody<GetSensorInfoResponseBody>([](auto& b) {
             b.setSensorModel(ISensor::ICX814);
             b.setPixelsX(3388);
             b.setPixelsY(2712);
             b.setReadoutChannelCount(2);
             b.setFilterType(Color);
             b.setFrameType(Interline);
             b.setPixelSizeX(5.5f);
             b.setPixelSizeY(4.25f);
             b.setHasRbiPreflash(true);
             b.setReserved(7);
             b.setCoolerSetpointMin(-40);
             b.setCoolerSetpointMax(20);
             b.setMaxBinX(4);
             b.setMaxBinY(3);
             b.setExposurePrecision(0.5f);
             b.setMinExposureDuration(0.25f);
         }),
         defaultBody<GetSensorInfoResponseBody>(), parsedBody<GetSensorInfoResponseBody>(),
         "03 3c 0d 98 0a 02 01 01 00 00 b0 40 00 00 88 40 01 07 d8 14 04 03 00 00 00 3f 00 00 80 3e",
         "Response Data | SensorModel: ICX814 | Dimensions(X): 3388 | Dimensions(Y): 2712 | Readout Modes: 2 | "
         "Filter type: Color | FrameType: Interline | Pixel Size(X): 5.5 | Pixel Size(Y): 4.25 | Has Rbi: yes | "
         "Cooler Min: -40 | Cooler Max: 20 | Max Bin(X): 4 | Max Bin(Y): 3 | Min Exp (sec): 0.25",
         true},
        {"GetSensorSettingsRequest", GetSensorSettings,
         filledBody<GetSensorSettingsRequestBody>([](auto& b) { b.setSetting(ISensor::UseOnChipBinning); }),
         defaultBody<GetSensorSettingsRequestBody>(), parsedBody<GetSensorSettingsRequestBody>(), "06",
         "Request Data: | Setting: UseOnChipBinning", true},
        {"GetSensorCalibrationRequest", GetSensorCalibration,
         [] { return std::make_shared<GetSensorSettingsRequestBody>(GetSensorCalibration); },
         [] { return std::make_shared<GetSensorSettingsRequestBody>(GetSensorCalibration); },
         [](const IOBufferPtr& buffer) {
             return std::make_shared<GetSensorSettingsRequestBody>(buffer, GetSensorCalibration);
         },
         "ff", "Request Data: | Setting: ", true},
        {"GetSensorSettingsResponse", GetSensorSettings,
         filledBody<GetSensorSettingsResponseBody>([](auto& b) {
             b.setSetting(ISensor::FanSpeed);
             b.setValue(200);
         }),
         defaultBody<GetSensorSettingsResponseBody>(), parsedBody<GetSensorSettingsResponseBody>(), "04 c8 00",
         "Response Data | Sensor Setting: FanSpeed | Setting Value: 200", true},
        {"SetSensorSettingsRequest", SetSensorSettings,
         filledBody<SetSensorSettingsRequestBody>([](auto& b) {
             b.setSetting(ISensor::AnalogGain1);
             b.setValue(0x1234);
         }),
         defaultBody<SetSensorSettingsRequestBody>(), parsedBody<SetSensorSettingsRequestBody>(), "0e 34 12",
         "Request Data | Sensor Setting: AnalogGain1 | Value: 4660", true},
        {"SetSensorSettingsResponse", SetSensorSettings,
         filledBody<SetSensorSettingsResponseBody>([](auto& b) {
             b.setSetting(ISensor::UseOverscan);
             b.setValue(1);
         }),
         defaultBody<SetSensorSettingsResponseBody>(), parsedBody<SetSensorSettingsResponseBody>(), "00 01 00",
         "Response Data | Sensor Setting: UseOverscan | Setting Value: 1", true},
        {"SetSensorCalibrationRequest", SetSensorCalibration,
         filledBody<SetSensorCalibrationRequestBody>([calibration](auto& b) {
             ISensor::Calibration c = calibration;
             c.eGain = 1.5f;
             b.setCalibration(c);
             b.setSaveToEeprom(true);
         }),
         defaultBody<SetSensorCalibrationRequestBody>(), parsedBody<SetSensorCalibrationRequestBody>(),
         calibrationHex + " 00 00 c0 3f 01", "Request Data" + calibrationLog + " | EGain: 1", true},
        {"GetSensorCalibrationResponse", GetSensorCalibration,
         filledBody<GetSensorCalibrationResponseBody>([calibration](auto& b) {
             ISensor::Calibration c = calibration;
             c.eGain = -2.75f;
             b.setCalibration(c);
         }),
         defaultBody<GetSensorCalibrationResponseBody>(), parsedBody<GetSensorCalibrationResponseBody>(),
         calibrationHex + " 00 00 30 c0", "Response Data" + calibrationLog + " | EGain: -2", true},
        {"GetSensorCalibrationByKeyRequest", GetHiddenSensorSetting,
         filledBody<GetSensorCalibrationByKeyRequestBody>([](auto& b) {
             b.setKey(ISensor::DriftStabilization);
             b.setSubKey(3);
         }),
         defaultBody<GetSensorCalibrationByKeyRequestBody>(), parsedBody<GetSensorCalibrationByKeyRequestBody>(),
         "01 03", "GetSensorCaibrationByKey | Key: 1 | SubKey: 3", true},
        {"GetSensorCalibrationByKeyResponse", GetHiddenSensorSetting,
         filledBody<GetSensorCalibrationByKeyResponseBody>([](auto& b) {
             b.setKey(ISensor::EGain);
             b.setSubKey(1);
             b.setValue(0x01020304);
         }),
         defaultBody<GetSensorCalibrationByKeyResponseBody>(), parsedBody<GetSensorCalibrationByKeyResponseBody>(),
         "00 01 04 03 02 01", "GetSensorCalibrationResponseBody | Key: 0 | SubKey: 1 | Value: 16909060", true},
        {"SetSensorCalibrationByKeyRequest", SetHiddenSensorSetting,
         filledBody<SetSensorCalibrationByKeyRequestBody>([](auto& b) {
             b.setKey(ISensor::TestPatternMode);
             b.setValue(7);
         }),
         defaultBody<SetSensorCalibrationByKeyRequestBody>(), parsedBody<SetSensorCalibrationByKeyRequestBody>(),
         "02 00 07 00 00 00", "SetSensorCalibrationRequestBody | Key: 2 | SubKey: 0 | Value: 7", true},
        {"SetSensorCalibrationByKeyResponse", SetHiddenSensorSetting,
         filledBody<SetSensorCalibrationByKeyResponseBody>([](auto& b) {
             b.setKey(ISensor::TestPatternMode);
             b.setSubKey(255);
             b.setValue(0xFFFFFFFF);
         }),
         defaultBody<SetSensorCalibrationByKeyResponseBody>(), parsedBody<SetSensorCalibrationByKeyResponseBody>(),
         "02 ff ff ff ff ff", "SetSensorCalibrationResponseBody | Key: 2 | SubKey: 255 | Value: 4294967295", true},
        {"SetSubframeRequest", SetSubframe,
         filledBody<SetSubframeRequestBody>([](auto& b) {
             b.setXOffset(100);
             b.setYOffset(200);
             b.setXSize(1024);
             b.setYSize(768);
             b.setBinX(2);
             b.setBinY(3);
         }),
         defaultBody<SetSubframeRequestBody>(), parsedBody<SetSubframeRequestBody>(), "64 00 c8 00 00 04 00 03 02 03",
         "Request Data | X Offset: 100 | Y Offset: 200 | Width: 1024 | Height: 768 | X Binning: 2 | Y Binning: 3", true},
        {"GetSubframeResponse", GetSubframe,
         filledBody<GetSubframeResponseBody>([](auto& b) {
             b.setXOffset(0xFFFF);
             b.setXSize(16);
             b.setYSize(8);
             b.setBinX(1);
             b.setBinY(1);
         }),
         defaultBody<GetSubframeResponseBody>(), parsedBody<GetSubframeResponseBody>(), "ff ff 00 00 10 00 08 00 01 01",
         "Response Data | X Offset: 65535 | Y Offset: 0 | Width: 16 | Height: 8 | X Binning: 1 | Y Binning: 1 | "
         "On Chip Binning: No",
         true},
        {"SetSubframeExtRequest", SetSubframeExt,
         filledBody<V2::SetSubframeRequestBody>([](auto& b) {
             b.setXOffset(8);
             b.setYOffset(16);
             b.setXSize(9576);
             b.setYSize(6388);
             b.setMTU(9014);
         }),
         defaultBody<V2::SetSubframeRequestBody>(), parsedBody<V2::SetSubframeRequestBody>(),
         "08 00 10 00 68 25 f4 18 01 01 36 23 00 00 34 12",
         "Request Data | X Offset : 8 | Y Offset : 16 | X Size   : 9576 | Y Size   : 6388 | X Binning: 1 | "
         "Y Binning: 1 | MTU      : 9014 | Endian   : 0x1234",
         false},
        {"SetSubframeExtResponse", SetSubframeExt,
         filledBody<V2::SetSubframeResponseBody>([](auto& b) {
             b.setPacketCount(2000);
             b.setPacketSize(8192);
         }),
         defaultBody<V2::SetSubframeResponseBody>(), parsedBody<V2::SetSubframeResponseBody>(), "d0 07 00 20",
         "Request Data | Packet Count: 2000 | Packet Size : 8192", true},
        // 2.5 s light frame with RBI pre-flash, readout mode 1, no trigger.
        {"StartExposureRequest", StartExposure,
         filledBody<StartExposureRequestBody>([](auto& b) {
             b.setDuration(2.5f);
             b.setIsLightFrame(true);
             b.setIsRbiEnabled(true);
             b.setIsTriggerMode(false);
             b.setReadoutChannels(1);
         }),
         defaultBody<StartExposureRequestBody>(), parsedBody<StartExposureRequestBody>(), "00 00 20 40 05 01",
         "Request Data | Exposure Duration: 2.5 | Readout Mode: 1 | Light Frame: Yes | Rbi Enabled: Yes", true},
        {"StartDownloadResponseV1", StartDownload,
         filledBody<StartDownloadResponseBody>([](auto& b) {
             auto record = std::make_shared<TImageMetadataV1>();
             record->setFrameXSize(4096);
             record->setFrameYSize(2048);
             record->setEGain(1.25f);
             record->setMaxPacketSize(3200);
             record->setExposureDuration(10.0f);
             b.setImageMetadata(record);
         }),
         defaultBody<StartDownloadResponseBody>(), parsedBody<StartDownloadResponseBody>(),
         "00 10 00 08 00 00 a0 3f 80 0c 00 00 00 00 20 41",
         "Response Data | Frame Size (X): 4096 | Frame Size (Y): 2048 | EGainL: 1.25 | Max Packet Size: 3200 | "
         "Exposure Duration: 10",
         false},
        {"StartDownloadResponseV2", StartDownload,
         filledBody<StartDownloadResponseBody>([](auto& b) {
             auto record = std::make_shared<TImageMetadataV2>();
             record->setLayers({TImageMetadataV2::TLayerMetadata(
                 kv::TLayerMetadata{2048, 1024, 1, 2, 0.5f, 16, 1.5f, 100, 1001})});
             b.setImageMetadata(record);
         }),
         defaultBody<StartDownloadResponseBody>(), parsedBody<StartDownloadResponseBody>(), "01 09 " + c_v2Layer,
         "Response Data LayerCount: 1 | Layer 0 {{ " + c_v2LayerLog + " }}", false},
        {"PacketRequest", PacketRequest,
         filledBody<GetPacketsRequestBody>([](auto& b) {
             b.pushPacket(1);
             b.pushPacket(2);
             b.pushPacket(0xABCD);
         }),
         defaultBody<GetPacketsRequestBody>(), parsedBody<GetPacketsRequestBody>(),
         "03 00 01 00 02 00 cd ab " + zeros(994), "", false},
        {"PacketRequestExtRequest", PacketRequestExt,
         filledBody<V2::PacketRequestExtRequestBody>([](auto& b) {
             b.setPacketList({{0x01020304, 5}, {10, 0xFFFF}});
         }),
         defaultBody<V2::PacketRequestExtRequestBody>(), parsedBody<V2::PacketRequestExtRequestBody>(),
         "04 03 02 01 05 00 0a 00 00 00 ff ff",
         "Request Data | Packet : 0 , Offset : 16909060 , Count  : 5 | Packet : 1 , Offset : 10 , Count  : 65535",
         false},
        // Pairs (A, 1) and (B, 2).
        {"GetImageMetadataResponse", GetImageMetadata,
         filledBody<GetImageMetadataResponseBody>([](auto& b) { b.setMetadata("A\x01" "1\x02" "B\x01" "2"); }),
         defaultBody<GetImageMetadataResponseBody>(), parsedBody<GetImageMetadataResponseBody>(),
         "41 01 31 02 42 01 32 00", "A=1;B=2", false},
    };
}

} // namespace

// Every body: setters to golden bytes, golden bytes back through the parsing
// constructor and through setBuffer of a fresh body, and the log text both ways.
TEST(SensorBodies, GoldenBytesBothWays)
{
    goldenbodies::expectGoldenBothWays(goldenCases());
}

// A fixed layout given fewer bytes parses nothing; a null or empty buffer changes
// nothing; bytes after the layout are ignored.
TEST(SensorBodies, FixedLayoutBadLengths)
{
    goldenbodies::expectFixedLayoutBadLengths(goldenCases());
}

TEST(SensorBodies, Defaults)
{
    expectDefaults({
        {"GetSensorInfoResponse", defaultBody<GetSensorInfoResponseBody>(), zeros(30)},
        {"GetSensorSettingsRequest", defaultBody<GetSensorSettingsRequestBody>(), "ff"},
        {"GetSensorSettingsResponse", defaultBody<GetSensorSettingsResponseBody>(), "ff 00 00"},
        {"SetSensorSettingsRequest", defaultBody<SetSensorSettingsRequestBody>(), "ff 00 00"},
        {"SetSensorSettingsResponse", defaultBody<SetSensorSettingsResponseBody>(), "ff 00 00"},
        {"SetSensorCalibrationRequest", defaultBody<SetSensorCalibrationRequestBody>(), zeros(19)},
        {"GetSensorCalibrationResponse", defaultBody<GetSensorCalibrationResponseBody>(), zeros(18)},
        {"GetSensorCalibrationByKeyRequest", defaultBody<GetSensorCalibrationByKeyRequestBody>(), "00 00"},
        {"SetSensorCalibrationByKeyRequest", defaultBody<SetSensorCalibrationByKeyRequestBody>(), zeros(6)},
        {"SetSubframeRequest", defaultBody<SetSubframeRequestBody>(), zeros(10)},
        {"GetSubframeResponse", defaultBody<GetSubframeResponseBody>(), zeros(10)},
        {"SetSubframeExtRequest", defaultBody<V2::SetSubframeRequestBody>(),
         "00 00 00 00 00 00 00 00 01 01 dc 05 00 00 34 12"},
        {"SetSubframeExtResponse", defaultBody<V2::SetSubframeResponseBody>(), "00 00 00 00"},
        {"StartExposureRequest", defaultBody<StartExposureRequestBody>(), zeros(6)},
        {"StartDownloadResponse", defaultBody<StartDownloadResponseBody>(), zeros(16)},
        {"PacketRequest", defaultBody<GetPacketsRequestBody>(), zeros(1002)},
        {"PacketResponse", defaultBody<GetPacketsResponseBody>(), "00 00"},
        {"FrameResponse", defaultBody<GetFrameResponseBody>(), ""},
        {"PacketRequestExtResponse", defaultBody<V2::PacketRequestExtResponseBody>(), ""},
        {"GetImageMetadataResponse", defaultBody<GetImageMetadataResponseBody>(), "00"},
    });
    const V2::SetSubframeRequestBody subframe;
    EXPECT_EQ(subframe.getEndianness(), 0x1234);
    EXPECT_EQ(subframe.getMTU(), 1500u);
    EXPECT_EQ(std::make_shared<StartDownloadResponseBody>()->getImageMetadata()->getVersion(), IImageMetadata::V1);
    EXPECT_EQ(GetPacketsRequestBody::getMaxPackets(), 500u);
    EXPECT_EQ(GetPacketsResponseBody().getMessageDataString(), "");
    EXPECT_EQ(V2::PacketRequestExtResponseBody().getMessageDataString(), "");
}

// Codes are stored as received and render with empty names.
TEST(SensorBodies, UnknownCodesKeepTheirValueAndRenderEmpty)
{
    struct Case {
        const char* name;
        BodyParser parse;
        std::string hex;
        std::string log;
    };
    const std::string infoTail = " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
    const std::string infoLogTail = " | Pixel Size(X): 0 | Pixel Size(Y): 0 | Has Rbi: no | Cooler Min: 0 | "
                                    "Cooler Max: 0 | Max Bin(X): 0 | Max Bin(Y): 0 | Min Exp (sec): 0";
    const std::vector<Case> cases = {
        {"model 12, filter 3, frame 5", parsedBody<GetSensorInfoResponseBody>(),
         "0c 00 00 00 00 00 03 05" + infoTail,
         "Response Data | SensorModel:  | Dimensions(X): 0 | Dimensions(Y): 0 | Readout Modes: 0 | Filter type:  | "
         "FrameType: " + infoLogTail},
        {"model 16, frame 4", parsedBody<GetSensorInfoResponseBody>(), "10 00 00 00 00 00 02 04" + infoTail,
         "Response Data | SensorModel: RESERVED7 | Dimensions(X): 0 | Dimensions(Y): 0 | Readout Modes: 0 | "
         "Filter type: SparseColor | FrameType: GlobalShutter" + infoLogTail},
        {"model 8 and 9 swap their names", parsedBody<GetSensorInfoResponseBody>(),
         "08 00 00 00 00 00 00 00" + infoTail,
         "Response Data | SensorModel: RESERVED6 | Dimensions(X): 0 | Dimensions(Y): 0 | Readout Modes: 0 | "
         "Filter type: Monochrome | FrameType: Progressive" + infoLogTail},
        {"setting 15", parsedBody<GetSensorSettingsRequestBody>(), "0f", "Request Data: | Setting: "},
        {"setting 255", parsedBody<SetSensorSettingsResponseBody>(), "ff 02 00",
         "Response Data | Sensor Setting:  | Setting Value: 2"},
        {"key 9", parsedBody<GetSensorCalibrationByKeyResponseBody>(), "09 00 00 00 00 00",
         "GetSensorCalibrationResponseBody | Key: 9 | SubKey: 0 | Value: 0"},
        {"exposure flag bits 3 to 7", parsedBody<StartExposureRequestBody>(), "00 00 00 00 fa 02",
         "Request Data | Exposure Duration: 0 | Readout Mode: 2 | Light Frame: No | Rbi Enabled: No"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BaseBodyPtr body = c.parse(fromHex(c.hex));
        EXPECT_EQ(body->getMessageDataString(), c.log);
        EXPECT_EQ(toHex(body->getBuffer()), c.hex);
    }
    EXPECT_EQ(GetSensorInfoResponseBody(fromHex("0c 00 00 00 00 00 03 05" + infoTail)).getFilterType(), 3u);
}

TEST(SensorBodies, GetterValuesOfTheInfoAnswer)
{
    const GetSensorInfoResponseBody body(
        fromHex("03 3c 0d 98 0a 02 01 01 00 00 b0 40 00 00 88 40 01 07 d8 14 04 03 00 00 00 3f 00 00 80 3e"));
    EXPECT_EQ(body.getSensorModel(), ISensor::ICX814);
    EXPECT_EQ(body.getPixelsX(), 3388);
    EXPECT_EQ(body.getPixelsY(), 2712);
    EXPECT_EQ(body.getFilterType(), Color);
    EXPECT_EQ(body.getFrameType(), Interline);
    EXPECT_TRUE(body.getHasRbiPreflash());
    EXPECT_EQ(body.getReserved(), 7);
    EXPECT_EQ(body.getCoolerSetpointMin(), -40);
    EXPECT_EQ(body.getCoolerSetpointMax(), 20);
    // Precision first on the wire, then the minimum duration.
    EXPECT_FLOAT_EQ(body.getExposurePrecision(), 0.5f);
    EXPECT_FLOAT_EQ(body.getMinExposureDuration(), 0.25f);
}

// Sign-magnitude words: bit 8 the sign, bits 0-7 the magnitude.
TEST(SensorBodies, AdcOffsetsTravelAsSignMagnitude)
{
    struct Case {
        int32_t offset;
        uint16_t word;
        int32_t decoded;
    };
    const Case cases[] = {
        {0, 0x000, 0},        {5, 0x005, 5},         {-5, 0x105, -5},        {255, 0x0FF, 255},
        {-255, 0x1FF, -255},  {300, 0x0FF, 255},     {-300, 0x1FF, -255},    {INT_MIN, 0x1FF, -255},
        {INT_MAX, 0x0FF, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(WireConversions::adcOffsetToWire(c.offset), c.word);
        EXPECT_EQ(WireConversions::adcOffsetFromWire(c.word), c.decoded);
    }
    // Bits above the sign are not part of the value.
    EXPECT_EQ(WireConversions::adcOffsetFromWire(0x0205), 5);
    EXPECT_EQ(WireConversions::adcOffsetFromWire(0xFF05), -5);

    GetSensorCalibrationResponseBody body(fromHex("78 02 0a 14 1e 28 05 00 05 01 ff 00 ff 01 00 00 c0 3f"));
    const ISensor::Calibration calibration = body.getCalibration();
    EXPECT_EQ(calibration.substrateVoltage, 120u);
    EXPECT_EQ(calibration.channelsInUse, 2u);
    EXPECT_EQ(calibration.adcGains[3], 40u);
    EXPECT_EQ(calibration.adcOffsets[0], 5);
    EXPECT_EQ(calibration.adcOffsets[1], -5);
    EXPECT_EQ(calibration.adcOffsets[3], -255);
    EXPECT_FLOAT_EQ(calibration.eGain, 1.5f);

    // A calibration write with offset -5 sends the word 0x105.
    SetSensorCalibrationRequestBody request;
    ISensor::Calibration write;
    write.adcOffsets[2] = -5;
    write.adcGains[0] = 0x1FF; // low 8 bits
    request.setCalibration(write);
    EXPECT_EQ(toHex(request.getBuffer()), "00 00 ff 00 00 00 00 00 00 00 05 01 00 00 00 00 00 00 00");
}

TEST(SensorBodies, LogsRenderOnChipBinningAndEGainSafely)
{
    GetSubframeResponseBody subframe;
    subframe.setOnChipBinning(true);
    EXPECT_EQ(subframe.getMessageDataString(),
              "Response Data | X Offset: 0 | Y Offset: 0 | Width: 0 | Height: 0 | X Binning: 0 | Y Binning: 0 | "
              "On Chip Binning: Yes");

    // The e-gain is rendered as an integer, even where the float has none.
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"00 00 c0 7f", " | EGain: 0"},           // NaN
        {"00 00 80 7f", " | EGain: 2147483647"},  // +inf
        {"ff ff 7f ff", " | EGain: -2147483648"}, // lowest float
        {"00 00 80 bf", " | EGain: -1"},
    };
    for (const Case& c : cases) {
        const GetSensorCalibrationResponseBody body(fromHex(zeros(14) + " " + c.bytes));
        const std::string log = body.getMessageDataString();
        EXPECT_EQ(log.substr(log.find(" | EGain")), c.text) << c.bytes;
    }
}

// Each flag setter changes only its own bit.
TEST(SensorBodies, ExposureFlagBits)
{
    struct Case {
        std::function<void(StartExposureRequestBody&)> change;
        uint8_t flags;
    };
    const Case cases[] = {
        {[](auto& b) { b.setIsLightFrame(true); }, 0xF9},
        {[](auto& b) { b.setIsTriggerMode(true); }, 0xFA},
        {[](auto& b) { b.setIsRbiEnabled(true); }, 0xFC},
        {[](auto& b) { b.setIsRbiEnabled(false); }, 0xF8},
    };
    for (const Case& c : cases) {
        StartExposureRequestBody body(fromHex("00 00 00 00 f8 00"));
        c.change(body);
        EXPECT_EQ(body.getExposureFlags(), c.flags);
    }
    StartExposureRequestBody all(fromHex("00 00 00 00 07 00"));
    EXPECT_TRUE(all.getIsLightFrame());
    EXPECT_TRUE(all.getIsTriggerMode());
    EXPECT_TRUE(all.getIsRbiEnabled());
    all.setIsTriggerMode(false);
    EXPECT_EQ(all.getExposureFlags(), 0x05);
}

TEST(SensorBodies, SetSubframeExtRejectsShortBuffers)
{
    V2::SetSubframeRequestBody body(fromHex("08 00 10 00 68 25 f4 18 01 01 36 23 00 00 34 12"));
    for (const IOBufferPtr& bad : {fromHex("08 00 10 00 68 25 f4 18 01 01 36 23 00 00 34"), IOBufferPtr()}) {
        try {
            body.setBuffer(bad);
            FAIL() << "no exception";
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "Buffer was not too short for TSetSubframeRequest");
        }
    }
    EXPECT_EQ(body.getXSize(), 9576);

    // The record constructor copies all 16 bytes, the marker included.
    const uint8_t record[16] = {1, 0, 2, 0, 3, 0, 4, 0, 5, 6, 0x28, 0x23, 0, 0, 0x21, 0x43};
    const V2::SetSubframeRequestBody copied(record);
    EXPECT_EQ(toHex(copied.getBuffer()), "01 00 02 00 03 00 04 00 05 06 28 23 00 00 21 43");
    EXPECT_EQ(copied.getEndianness(), 0x4321);

}

TEST(SensorBodies, FixedRecordsArePacked)
{
    static_assert(sizeof(V2::TSetSubframeRequest) == 16, "packed");
    static_assert(sizeof(V2::TSetSubframeResponse) == 4, "packed");
    static_assert(sizeof(V2::TPacketRequest) == 6, "packed");
    static_assert(sizeof(V2::TGetPacketResponseExt) == 8, "packed");
    static_assert(sizeof(SetImageChannelsBody) == 16, "packed");
    using ChannelsFrame = TMessage<TRequestHeader, SetImageChannelsBody, TEmptyPayload>;
    static_assert(sizeof(ChannelsFrame) == 26, "26-byte frame");

    // The in-memory record is the wire layout.
    V2::TSetSubframeRequest request;
    std::string bytes(sizeof request, '\0');
    std::memcpy(&bytes[0], &request, sizeof request);
    EXPECT_EQ(toHex(IOBuffer::newBuffer(bytes.data(), bytes.size())), "00 00 00 00 00 00 00 00 01 01 dc 05 00 00 34 12");
    EXPECT_EQ(toHex(V2::SetSubframeRequestBody().getBuffer()), toHex(IOBuffer::newBuffer(bytes.data(), bytes.size())));

    const V2::TPacketRequest range(0x01020304, 0x0506);
    bytes.assign(sizeof range, '\0');
    std::memcpy(&bytes[0], &range, sizeof range);
    EXPECT_EQ(toHex(IOBuffer::newBuffer(bytes.data(), bytes.size())), "04 03 02 01 06 05");

    // SetImageChannels: 127.0.0.2 port 6364/6365 on the first channel, none on the second.
    ChannelsFrame frame{};
    frame.preamble = {static_cast<uint8_t>(Cmd), static_cast<uint8_t>(SetImageChannels), V1Request, V1None};
    frame.header = {1, static_cast<uint32_t>(sizeof(SetImageChannelsBody))};
    const uint8_t address[4] = {127, 0, 0, 2};
    SetImageChannelsBody channels;
    uint32_t ip = 0;
    std::memcpy(&ip, address, 4); // first octet first
    channels.nic1_ip = ip;
    channels.nic1_port1 = 6364;
    channels.nic1_port2 = 6365;
    frame.body = channels;
    bytes.assign(sizeof frame, '\x55');
    std::memcpy(&bytes[0], &frame, sizeof frame);
    EXPECT_EQ(toHex(IOBuffer::newBuffer(bytes.data(), bytes.size())),
              "a5 33 00 00 01 10 00 00 00 7f 00 00 02 dc 18 dd 18 00 00 00 00 00 00 00 00 00");

    SetImageChannelsBody same = channels;
    EXPECT_TRUE(same == channels);
    same.nic2_port2 = 1;
    EXPECT_TRUE(same != channels);
    EXPECT_TRUE(SetImageChannelsBody() == SetImageChannelsBody());
}

// A streamed datagram viewed through the record of preamble, response header and packet start.
TEST(SensorBodies, StreamedPacketView)
{
    const IOBufferPtr datagram = fromHex("a5 2c 01 00 00 00 0c 00 00 00 07 00 01 00 34 12 00 00 78 56 bc 9a");
    V2::TStreamPacket packet;
    ASSERT_GE(datagram->length, sizeof packet);
    std::memcpy(&packet, datagram->data, sizeof packet);
    // Copies: the packed fields cannot be bound to references.
    const uint8_t soh = packet.preamble.soh;
    const uint8_t bodyType = packet.preamble.bodyType;
    const uint32_t bodyLength = packet.header.bodyLng;
    const uint32_t seqNum = packet.body.seqNum;
    const uint16_t offsets = packet.body.offsets;
    const uint16_t firstPixel = packet.body.firstPixel;
    EXPECT_EQ(soh, 0xA5);
    EXPECT_EQ(bodyType, PacketRequestExt);
    EXPECT_EQ(bodyLength, 12u);
    EXPECT_EQ(seqNum, 0x00010007u);
    EXPECT_EQ(offsets, 0x1234);
    EXPECT_EQ(firstPixel, 0);
}

TEST(PacketRequestBody, CountsAndIds)
{
    struct Case {
        const char* name;
        size_t pushed;
        std::string countHex;
        size_t sentIds;
    };
    const Case cases[] = {
        {"none", 0, "00 00", 0},
        {"one", 1, "01 00", 1},
        {"500", 500, "f4 01", 500},
        {"600", 600, "f4 01", 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetPacketsRequestBody body;
        for (size_t i = 0; i < c.pushed; ++i)
            body.pushPacket(static_cast<uint16_t>(1000 + i));
        const IOBufferPtr bytes = body.getBuffer();
        ASSERT_EQ(bytes->length, 1002u);
        EXPECT_EQ(toHex(bytes->extract(0, 2)), c.countHex);
        std::string ids;
        for (size_t i = 0; i < 500; ++i) {
            const uint16_t id = i < c.sentIds ? static_cast<uint16_t>(1000 + i) : 0;
            ids += (i ? " " : "") + toHex(IOBuffer::newBuffer(reinterpret_cast<const char*>(&id), 2));
        }
        EXPECT_EQ(toHex(bytes->extract(2, 1000)), ids);

        const GetPacketsRequestBody parsed(bytes);
        EXPECT_EQ(parsed.getPacketList().size(), c.sentIds);
    }

    GetPacketsRequestBody body;
    body.setPacketList({7, 8});
    body.clearPackets();
    EXPECT_EQ(toHex(body.getBuffer()), zeros(1002));
}

// A received count never reads past the ids present nor fills more than 500.
TEST(PacketRequestBody, ReceivedCountsAreClamped)
{
    struct Case {
        const char* name;
        std::string hex;
        std::vector<uint16_t> ids;
    };
    std::string manyIds;
    std::vector<uint16_t> first500;
    for (size_t i = 0; i < 600; ++i) {
        manyIds += " 01 00";
        if (i < 500)
            first500.push_back(1);
    }
    const std::vector<Case> cases = {
        {"count above the ids present", "0a 00 05 00 06 00 07", {5, 6}},
        {"count above 500 with 600 ids", "58 02" + manyIds, first500},
        {"huge count, no ids", "ff ff", {}},
        {"count below the ids present", "01 00 05 00 06 00", {5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetPacketsRequestBody body;
        body.pushPacket(99);
        body.setBuffer(fromHex(c.hex));
        EXPECT_EQ(body.getPacketList(), c.ids);
    }
    GetPacketsRequestBody kept;
    kept.pushPacket(99);
    kept.setBuffer(fromHex("05"));
    EXPECT_EQ(kept.getPacketList(), std::vector<uint16_t>{99});
}

TEST(PacketResponseBody, IdWidthFollowsTheProtocolVersion)
{
    struct Case {
        size_t version;
        size_t idWidth;
        uint32_t id;
        size_t pixels;
    };
    // A 2002-byte body: 1000 pixels after a 2-byte id, 999 after a 4-byte id.
    const Case cases[] = {
        {1, 2, 0x0201, 1000},
        {7, 2, 0x0201, 1000},
        {8, 4, 0x04030201, 999},
        {20, 4, 0x04030201, 999},
    };
    std::string hex = "01 02 03 04";
    for (size_t i = 4; i < 2002; ++i)
        hex += " 11";
    const IOBufferPtr payload = fromHex(hex);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        GetPacketsResponseBody body;
        body.setProtocolVersion(c.version);
        EXPECT_EQ(body.getPacketIdWidth(), c.idWidth);
        body.setBuffer(payload);
        EXPECT_EQ(body.getPacketId(), c.id);
        ASSERT_EQ(body.getData()->size(), c.pixels);
        EXPECT_EQ(body.getData()->back(), 0x1111);
        if (c.idWidth == 2) {
            EXPECT_EQ(body.getData()->front(), 0x0403);
        }
        EXPECT_EQ(body.getBufferLength(), c.idWidth);
    }
}

TEST(PacketResponseBody, SerialisedLengthFollowsMaxPacketLength)
{
    struct Case {
        const char* name;
        size_t version;
        int maxPixels;
        std::vector<uint16_t> data;
        std::string hex;
    };
    const std::vector<Case> cases = {
        {"data fills the packet", 1, 2, {0x0102, 0x0304}, "07 00 02 01 04 03"},
        {"short data is zero-filled", 1, 3, {0x0102}, "07 00 02 01 00 00 00 00"},
        {"long data is cut", 1, 1, {0x0102, 0x0304}, "07 00 02 01"},
        {"4-byte id", 8, 1, {0xFFFF}, "07 00 01 00 ff ff"},
        {"negative length counts as 0", 1, -4, {0x0102}, "07 00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetPacketsResponseBody body;
        body.setProtocolVersion(c.version);
        body.setPacketId(c.version >= 8 ? 0x00010007 : 7);
        body.setMaxPacketLength(c.maxPixels);
        body.setData(std::make_shared<PacketData>(c.data));
        EXPECT_EQ(toHex(body.getBuffer()), c.hex);
        EXPECT_EQ(body.getBufferLength(), fromHex(c.hex)->length);
    }
}

TEST(PacketResponseBody, ShortAndOddBodies)
{
    GetPacketsResponseBody body(fromHex("05 00 0a 00 0b"));
    EXPECT_EQ(body.getPacketId(), 5u);
    EXPECT_EQ(*body.getData(), (PacketData{0x000A})) << "the odd byte is dropped";

    // A list taken by the receiver stays as it was when the next packet is parsed.
    const PacketDataPtr taken = body.getData();
    body.setBuffer(fromHex("06 00 01 00 02 00"));
    EXPECT_EQ(*taken, (PacketData{0x000A}));
    EXPECT_EQ(*body.getData(), (PacketData{1, 2}));

    // Shorter than the id: nothing is parsed.
    body.setBuffer(fromHex("09"));
    EXPECT_EQ(body.getPacketId(), 6u);
    body.setProtocolVersion(8);
    body.setBuffer(fromHex("09 00 00"));
    EXPECT_EQ(body.getPacketId(), 6u);
    body.setBuffer(IOBufferPtr());
    EXPECT_EQ(*body.getData(), (PacketData{1, 2}));

    body.setData(nullptr);
    ASSERT_NE(body.getData(), nullptr);
    EXPECT_TRUE(body.getData()->empty());
}

TEST(PacketResponseBody, FrameBodyIsAllPixels)
{
    GetFrameResponseBody frame(fromHex("01 00 02 00 03"));
    EXPECT_EQ(frame.getBodyType(), GetFrameRequest);
    EXPECT_EQ(*frame.getData(), (PacketData{1, 2}));
    EXPECT_EQ(frame.getBufferLength(), 0u);
    frame.setMaxPacketLength(3);
    EXPECT_EQ(frame.getBufferLength(), 6u);
    EXPECT_EQ(toHex(frame.getBuffer()), "01 00 02 00 00 00");
    frame.setBuffer(IOBufferPtr());
    EXPECT_EQ(*frame.getData(), (PacketData{1, 2}));
}

TEST(PacketRequestExtBody, RangesFromBytes)
{
    struct Case {
        const char* name;
        std::string hex;
        bool throws;
        size_t ranges;
    };
    const std::vector<Case> cases = {
        {"12 bytes", "01 00 00 00 02 00 03 00 00 00 04 00", false, 2},
        {"13 bytes", "01 00 00 00 02 00 03 00 00 00 04 00 05", true, 0},
        {"5 bytes", "01 00 00 00 02", true, 0},
        {"6 bytes", "ff ff ff ff ff ff", false, 1},
        {"none", "", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IOBufferPtr bytes = fromHex(c.hex);
        V2::PacketRequestExtRequestBody body;
        body.setPacketList({{9, 9}});
        const auto* data = reinterpret_cast<const uint8_t*>(bytes->data);
        if (c.throws) {
            EXPECT_THROW(body.setFromBuffer(data, bytes->length), std::invalid_argument);
            EXPECT_THROW(body.setBuffer(bytes), std::invalid_argument);
            EXPECT_THROW(V2::PacketRequestExtRequestBody(data, bytes->length), std::invalid_argument);
            ASSERT_EQ(body.getPacketList().size(), 1u) << "the list stays as it was";
            EXPECT_EQ(uint32_t(body.getPacketList()[0].offset), 9u);
            continue;
        }
        body.setFromBuffer(data, bytes->length);
        EXPECT_EQ(body.getPacketList().size(), c.ranges);
        EXPECT_EQ(V2::PacketRequestExtRequestBody(data, bytes->length).getPacketList().size(), c.ranges);
        EXPECT_EQ(body.getBufferLength(), bytes->length);
    }

    const V2::PacketRequestExtRequestBody two(fromHex("01 00 00 00 02 00 03 00 00 00 04 00"));
    EXPECT_EQ(uint32_t(two.getPacketList()[1].offset), 3u);
    EXPECT_EQ(uint16_t(two.getPacketList()[1].count), 4);

    // An empty list cannot be sent.
    try {
        V2::PacketRequestExtRequestBody().getBuffer();
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "V2::StartDownload: Cannot construct an empty body");
    }
}

TEST(StartDownloadBody, RecordVersionFollowsThePayloadLength)
{
    struct Case {
        const char* name;
        std::string hex;
        IImageMetadata::Version version;
        size_t layers;
        std::string reserialised;
    };
    const std::string v1 = "00 10 00 08 00 00 a0 3f 80 0c 00 00 00 00 20 41";
    const std::vector<Case> cases = {
        {"16 bytes", v1, IImageMetadata::V1, 1, v1},
        {"17 bytes", v1 + " 00", IImageMetadata::V2, 0, "00 09"},
        {"one layer, byte 1 ignored", "01 ee " + c_v2Layer, IImageMetadata::V2, 1, "01 09 " + c_v2Layer},
        {"two layers", "02 09 " + c_v2Layer + " " + c_v2Layer, IImageMetadata::V2, 2,
         "02 09 " + c_v2Layer + " " + c_v2Layer},
        {"count above the layers present", "03 09 " + c_v2Layer + " " + c_v2Layer + " 01 02", IImageMetadata::V2, 2,
         "02 09 " + c_v2Layer + " " + c_v2Layer},
        {"count only", "05", IImageMetadata::V2, 0, "00 09"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StartDownloadResponseBody body(fromHex(c.hex));
        const IImageMetadataPtr record = body.getImageMetadata();
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->getVersion(), c.version);
        if (c.version == IImageMetadata::V2) {
            const auto v2 = std::dynamic_pointer_cast<TImageMetadataV2>(record);
            ASSERT_NE(v2, nullptr);
            EXPECT_EQ(v2->getLayerCount(), c.layers);
        } else {
            EXPECT_NE(std::dynamic_pointer_cast<TImageMetadataV1>(record), nullptr);
        }
        EXPECT_EQ(toHex(body.getBuffer()), c.reserialised);
        EXPECT_EQ(body.getBufferLength(), fromHex(c.reserialised)->length);
    }

    StartDownloadResponseBody body(fromHex(v1));
    for (const IOBufferPtr& empty : {IOBufferPtr(), IOBuffer::newBuffer(0)}) {
        try {
            body.setBuffer(empty);
            FAIL() << "no exception";
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "StartDownload's body buffer was empty");
        }
    }
    EXPECT_EQ(toHex(body.getBuffer()), v1);
}

TEST(ImageMetadataBody, TextIsBoundedByTheReceivedBytes)
{
    struct Case {
        const char* name;
        std::string hex;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"terminated", "41 01 31 02 00", "A\x01" "1\x02"},
        {"without terminator", "41 01 31 02 42", "A\x01" "1\x02" "B"},
        {"zero in the middle", "41 00 42 00", "A"},
        {"only the terminator", "00", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const GetImageMetadataResponseBody body(fromHex(c.hex));
        EXPECT_EQ(body.getMetadata(), c.text);
        EXPECT_EQ(body.getBufferLength(), c.text.size() + 1);
    }
    // Rendering leaves the stored separators alone.
    GetImageMetadataResponseBody body;
    body.setMetadata("A\x01" "1\x02" "B\x01" "2\x02");
    EXPECT_EQ(body.getMessageDataString(), "A=1;B=2;");
    EXPECT_EQ(body.getMetadata(), "A\x01" "1\x02" "B\x01" "2\x02");
    body.setMetadata(std::string("ab\0cd", 5));
    EXPECT_EQ(body.getMetadata(), "ab");
    body.setBuffer(IOBufferPtr());
    EXPECT_EQ(body.getMetadata(), "");
}

// The factory creates these classes for their codes, in the right direction only.
TEST(SensorBodies, FactoryCreatesTheBodyClasses)
{
    expectFactoryCreates({
        {GetSensorInfo, {}, isBody<GetSensorInfoResponseBody>()},
        {GetSensorSettings, isBody<GetSensorSettingsRequestBody>(), isBody<GetSensorSettingsResponseBody>()},
        {SetSensorSettings, isBody<SetSensorSettingsRequestBody>(), isBody<SetSensorSettingsResponseBody>()},
        {GetSensorCalibration, isBody<GetSensorSettingsRequestBody>(),
         isBody<GetSensorCalibrationResponseBody>()},
        {SetSensorCalibration, isBody<SetSensorCalibrationRequestBody>(), {}},
        {GetSubframe, {}, isBody<GetSubframeResponseBody>()},
        {SetSubframe, isBody<SetSubframeRequestBody>(), {}},
        {StartExposure, isBody<StartExposureRequestBody>(), {}},
        {AbortExposure, {}, {}},
        {StartDownload, {}, isBody<StartDownloadResponseBody>()},
        {PacketRequest, isBody<GetPacketsRequestBody>(), isBody<GetPacketsResponseBody>()},
        {GetHiddenSensorSetting, isBody<GetSensorCalibrationByKeyRequestBody>(),
         isBody<GetSensorCalibrationByKeyResponseBody>()},
        {SetHiddenSensorSetting, isBody<SetSensorCalibrationByKeyRequestBody>(),
         isBody<SetSensorCalibrationByKeyResponseBody>()},
        {SetSubframeExt, isBody<V2::SetSubframeRequestBody>(), isBody<V2::SetSubframeResponseBody>()},
        {PacketRequestExt, isBody<V2::PacketRequestExtRequestBody>(), isBody<GetPacketsResponseBody>()},
        {GetImageMetadata, {}, isBody<GetImageMetadataResponseBody>()},
    });
    const V1BodyFactory factory;
    EXPECT_FALSE(factory.generateRequestBody(GetFrameRequest));
    EXPECT_TRUE(std::dynamic_pointer_cast<GetFrameResponseBody>(factory.generateResponseBody(GetFrameRequest)));
    EXPECT_FALSE(factory.generateRequestBody(SetImageChannels));
    EXPECT_FALSE(factory.generateResponseBody(SetImageChannels));
    EXPECT_EQ(toHex(factory.generateRequestBody(GetSensorCalibration)->getBuffer()), "ff");
}

// Whole frames: requests filled through their typed bodies, responses parsed into the
// class their header names.
TEST(SensorBodies, FramesCarryTheBodies)
{
    V1RequestMessage exposure(StartExposure, V1None);
    const auto start = exposure.getTypedBody<StartExposureRequestBody>();
    ASSERT_TRUE(start);
    start->setDuration(2.5f);
    start->setIsLightFrame(true);
    start->setIsRbiEnabled(true);
    start->setReadoutChannels(1);
    exposure.setSensorId(1);
    exposure.updateEndpoint(nullptr, -1);
    EXPECT_EQ(toHex(exposure.getBuffer()), "a5 09 00 00 01 06 00 00 00 00 00 20 40 05 01");

    // Body length little-endian: 1002 bytes.
    V1RequestMessage packets(PacketRequest, V1None);
    packets.getTypedBody<GetPacketsRequestBody>()->pushPacket(3);
    packets.updateEndpoint(nullptr, -1);
    EXPECT_EQ(toHex(packets.getBuffer()->extract(0, 13)), "a5 19 00 00 00 ea 03 00 00 01 00 03 00");

    // A StartDownload answer with a 16-byte record.
    V1ResponseMessage download(GetCameraStatus, V1None);
    download.setBuffer(fromHex("a5 10 01 00 00 00 10 00 00 00 00 10 00 08 00 00 a0 3f 80 0c 00 00 00 00 20 41"));
    EXPECT_TRUE(download.validate());
    const auto record = download.getTypedBody<StartDownloadResponseBody>();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->getImageMetadata()->toDownloadMetadata().maxPacketSize, 3200);

    // A packet of the stream family answers PacketRequestExt with a GetPackets body.
    V1ResponseMessage packet(PacketRequestExt, V1None);
    packet.setBuffer(fromHex("a5 2c 01 00 00 00 06 00 00 00 02 00 34 12 78 56"));
    EXPECT_TRUE(packet.validate());
    const auto body = packet.getTypedBody<GetPacketsResponseBody>();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->getBodyType(), PacketRequestExt);
    EXPECT_EQ(body->getPacketId(), 2u);
    EXPECT_EQ(*body->getData(), (PacketData{0x1234, 0x5678}));

    // A short SetSubframeExt request body cannot be parsed: the frame is malformed.
    V1ResponseMessage subframe(SetSubframeExt, V1None);
    subframe.setBuffer(fromHex("a5 2b 01 00 00 00 02 00 00 00 d0 07"));
    EXPECT_TRUE(subframe.validate()) << "the answer is 4 bytes; 2 leave it at its defaults";
    V1RequestMessage shortRequest(fromHex("a5 2b 00 00 00 02 00 00 00 d0 07"));
    EXPECT_FALSE(shortRequest.getTypedBody<V2::SetSubframeRequestBody>());
}

