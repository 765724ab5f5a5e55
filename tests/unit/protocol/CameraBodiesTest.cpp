#include "protocol/AOGetStatusResponseBody.h"
#include "protocol/BodyFactory.h"
#include "protocol/Message.h"
#include "protocol/AOGotoRequestBody.h"
#include "protocol/AOInitResponseBody.h"
#include "protocol/EchoBody.h"
#include "protocol/FWGetStatusResponseBody.h"
#include "protocol/FWGotoRequestBody.h"
#include "protocol/FWInitResponseBody.h"
#include "protocol/GetCameraCapabilityRequestBody.h"
#include "protocol/GetCameraCapabilityResponseBody.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "protocol/GetCameraOptionRequestBody.h"
#include "protocol/GetCameraOptionResponseBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "protocol/GetCoolerStateResponseBody.h"
#include "protocol/GetNetworkResponseBody.h"
#include "protocol/GetPeripheralInfoResponseBody.h"
#include "protocol/PulseGuideRequestBody.h"
#include "protocol/SetCameraOptionRequestBody.h"
#include "protocol/SetCameraOptionResponseBody.h"
#include "protocol/SetCoolerRequestBody.h"
#include "protocol/SetFanSpeedRequestBody.h"
#include "protocol/SetNetworkRequestBody.h"
#include "protocol/ShutterControlRequestBody.h"
#include "protocol/TNetworkConfigBody.h"
#include "protocol/WireConversions.h"
#include "unit/protocol/GoldenBodies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

using namespace kv;
using namespace kv::V1;
using hexbytes::fromHex;
using hexbytes::toHex;
using namespace goldenbodies;

namespace {

// Text bytes as hex, zero-filled to width.
std::string textHex(const std::string& text, size_t width)
{
    std::string padded = text;
    padded.resize(width, '\0');
    return toHex(IOBuffer::newBuffer(padded.data(), padded.size()));
}


std::vector<GoldenCase> goldenCases()
{
    const std::string ssid = textHex("KVNet", 32);
    const std::string password = textHex("secret12", 64);
    return {
        {"GetCameraInfoResponse", GetCameraInfo,
         filledBody<GetCameraInfoResponseBody>([](auto& b) {
             b.setCameraVariant(ICamera::Brisa);
             b.setSerialNumber(0x12345678);
             b.setFirmwareRevision(21);
             b.setWifiFirmwareRevision(3);
             b.setSensorCount(2);
         }),
         defaultBody<GetCameraInfoResponseBody>(), parsedBody<GetCameraInfoResponseBody>(),
         "00 78 56 34 12 15 00 03 00 02",
         "Response Data | ModelNumber: Brisa | Serial Number: 305419896 | Firmware Revision: 21 | "
         "Wifi FIrmware Revision: 3 | Sensor Count: 2",
         true},
        {"GetCameraStatusResponse", GetCameraStatus,
         filledBody<GetCameraStatusResponseBody>([](auto& b) {
             b.setMainSensorState(ISensor::Exposing);
             b.setExtSensorState(ISensor::Idle);
             b.setSensorTemperature(25.0f);
             b.setCoolerPower(100.0f);
             b.setHeatSinkTemperature(-4.96f);
             b.setInputVoltage(13.99f * 878.0f / 1024.0f);
             b.setPulseGuideStatus(0);
             b.setFlag(0);
             b.setShutterStatus(ShutterOpen);
         }),
         defaultBody<GetCameraStatusResponseBody>(), parsedBody<GetCameraStatusResponseBody>(),
         "05 00 c4 09 ff 10 fe 6e 03 00 00 01",
         "Response Data | Main sensor state: Exposing | External sensor state: Idle | Sensor temp: 25 | "
         "Cooler power: 100 | Heatsink Temp: -4.96 | Input voltage: 11.9953 | Pulse guide status: 0 | "
         "Flag: 0 | Shutter status: ShutterOpen",
         true},
        {"GetCameraCapabilityRequest", GetCameraCapability,
         filledBody<GetCameraCapabilityRequestBody>(
             [](auto& b) { b.setKey(ICamera::eSupportsPrecisionCoolerPower); }),
         defaultBody<GetCameraCapabilityRequestBody>(), parsedBody<GetCameraCapabilityRequestBody>(), "0d",
         "Request Data | Capability: eSupportsPrecisionCoolerPower", true},
        {"GetCameraCapabilityResponse", GetCameraCapability,
         filledBody<GetCameraCapabilityResponseBody>([](auto& b) {
             b.setKey(ICamera::eSupportsPeripheralInfo);
             b.setValue(true);
         }),
         defaultBody<GetCameraCapabilityResponseBody>(), parsedBody<GetCameraCapabilityResponseBody>(),
         "13 01 00", "Response Data | Capability: eSupportsPeripheralInfo | Enabled: Yes", true},
        {"GetCameraOptionRequest", GetCameraOption,
         filledBody<GetCameraOptionRequestBody>(
             [](auto& b) { b.setKey(Factory::IFactoryCamera::eCameraOptionsOEMFlags); }),
         defaultBody<GetCameraOptionRequestBody>(), parsedBody<GetCameraOptionRequestBody>(), "01",
         "Request Data | Option: eCameraOptionsOEMFlags", true},
        {"GetCameraOptionResponse", GetCameraOption,
         filledBody<GetCameraOptionResponseBody>([](auto& b) {
             b.setKey(Factory::IFactoryCamera::eCameraOptionHasShutter);
             b.setValue(-2);
         }),
         defaultBody<GetCameraOptionResponseBody>(), parsedBody<GetCameraOptionResponseBody>(), "00 fe ff",
         "Response Data | Option: eCameraOptionHasShutter | Value : -2", true},
        {"SetCameraOptionRequest", SetCameraOption,
         filledBody<SetCameraOptionRequestBody>([](auto& b) {
             b.setKey(Factory::IFactoryCamera::eCameraOptionsOEMFlags);
             b.setValue(0x1234);
         }),
         defaultBody<SetCameraOptionRequestBody>(), parsedBody<SetCameraOptionRequestBody>(), "01 34 12",
         "Request Data | Option: eCameraOptionsOEMFlags | Value : 4660", true},
        {"SetCameraOptionResponse", SetCameraOption,
         filledBody<SetCameraOptionResponseBody>([](auto& b) {
             b.setKey(Factory::IFactoryCamera::eCameraOptionPlatform);
             b.setValue(1);
         }),
         defaultBody<SetCameraOptionResponseBody>(), parsedBody<SetCameraOptionResponseBody>(), "03 01 00",
         "Response Data | Option:  | Value : 1", true},
        {"SetCoolerRequest", SetCooler,
         filledBody<SetCoolerRequestBody>([](auto& b) {
             b.setIsEnabled(true);
             b.setSetpoint(-10.005f);
         }),
         defaultBody<SetCoolerRequestBody>(), parsedBody<SetCoolerRequestBody>(), "01 17 fc",
         "Request Data | Cooler Enabled: Yes | Setpoint: -10.01", true},
        {"GetCoolerStateResponse", GetCoolerState,
         filledBody<GetCoolerStateResponseBody>([](auto& b) {
             b.setEnabled(true);
             b.setSetpoint(-20.5f);
         }),
         defaultBody<GetCoolerStateResponseBody>(), parsedBody<GetCoolerStateResponseBody>(), "01 00 00 a4 c1",
         "Enabled: 1, Setpoint: -20.5", true},
        {"SetFanSpeedRequest", SetFanSpeed,
         filledBody<SetFanSpeedRequestBody>([](auto& b) { b.setFanSpeed(200); }),
         defaultBody<SetFanSpeedRequestBody>(), parsedBody<SetFanSpeedRequestBody>(), "c8",
         "Request Data | Fan Speed: 200", true},
        {"ShutterControlRequest", ShutterControl,
         filledBody<ShutterControlRequestBody>([](auto& b) { b.setAction(CloseShutter); }),
         defaultBody<ShutterControlRequestBody>(), parsedBody<ShutterControlRequestBody>(), "02",
         "Request Data | Shutter Action: 2", true},
        {"SetNetworkRequest", SetNetwork,
         filledBody<SetNetworkRequestBody>([](auto& b) {
             b.setSsid("KVNet");
             b.setPassword("secret12");
             b.setNetworkMode(WPA2);
             b.setUsaCanadaMode(true);
             b.setHexPassword(false);
         }),
         defaultBody<SetNetworkRequestBody>(), parsedBody<SetNetworkRequestBody>(),
         "44 05 08 " + ssid + " " + password,
         "Request Data | SSID: KVNet | Password: secret12 | Network Mode: WPA2 | USA/Canada Mode: Yes | "
         "Hex Password: No",
         true},
        {"GetNetworkResponse", GetNetwork,
         filledBody<GetNetworkResponseBody>([](auto& b) {
             b.setSsid("KVNet");
             b.setPassword("secret12");
             b.setNetworkMode(WEP);
             b.setHexPassword(true);
         }),
         defaultBody<GetNetworkResponseBody>(), parsedBody<GetNetworkResponseBody>(),
         "82 05 08 " + ssid + " " + password,
         "Response Data | SSID: KVNet | Password: secret12 | Network Mode: WEP | USA/Canada Mode: No | "
         "Hex Password: Yes",
         true},
        {"FWGotoRequest", FWGoto, filledBody<FWGotoRequestBody>([](auto& b) { b.setPosition(3); }),
         defaultBody<FWGotoRequestBody>(), parsedBody<FWGotoRequestBody>(), "03",
         "Request Data | New FW Position: 3", true},
        {"FWInitResponse", FWInit, filledBody<FWInitResponseBody>([](auto& b) { b.setModel(0xAB); }),
         defaultBody<FWInitResponseBody>(), parsedBody<FWInitResponseBody>(), "ab",
         "Response Data | Filter Wheel HW Model ID: 0xAB", true},
        {"FWGetStatusResponse", FWGetStatus,
         filledBody<FWGetStatusResponseBody>([](auto& b) { b.setStatus(IFW::FWBusy); }),
         defaultBody<FWGetStatusResponseBody>(), parsedBody<FWGetStatusResponseBody>(), "01",
         "Response Data | Filter Wheel Status: FWBusy", true},
        {"AOGotoRequest", AOGoto,
         filledBody<AOGotoRequestBody>([](auto& b) {
             b.setTip(2303);
             b.setTilt(65535);
         }),
         defaultBody<AOGotoRequestBody>(), parsedBody<AOGotoRequestBody>(), "ff 08 ff ff",
         "Request Data | Tip: 2303 | Tilt: 65535", true},
        {"AOInitResponse", AOInit, filledBody<AOInitResponseBody>([](auto& b) { b.setModel(IAO::TTX); }),
         defaultBody<AOInitResponseBody>(), parsedBody<AOInitResponseBody>(), "02",
         "Response Data | AO Model: TTX", true},
        {"AOGetStatusResponse", AOGetStatus,
         filledBody<AOGetStatusResponseBody>([](auto& b) { b.setStatus(IAO::Error); }),
         defaultBody<AOGetStatusResponseBody>(), parsedBody<AOGetStatusResponseBody>(), "02",
         "Response Data | AO Status: AOError", true},
        {"PulseGuideRequest", PulseGuide,
         filledBody<PulseGuideRequestBody>([](auto& b) {
             b.setGuideDirection(West);
             b.setGuideDuration(1500);
             b.setAbort(true);
         }),
         defaultBody<PulseGuideRequestBody>(), parsedBody<PulseGuideRequestBody>(), "03 dc 05 00 00 01",
         "Request Data | Direction: WEST | Duration: 1500 | Abort: Yes", true},
        {"Echo", EchoRequest, [] { return std::make_shared<EchoBody>("hi!", 3); }, defaultBody<EchoBody>(),
         parsedBody<EchoBody>(), "68 69 21", "No Data", false},
        {"GetPeripheralInfoResponse", GetPeripheralInfo,
         filledBody<GetPeripheralInfoResponseBody>([](auto& b) {
             b.setVersion(1);
             b.setPeripheralInfoList({{PeripheralType::FilterWheel, 5, 0}, {PeripheralType::AdaptiveOptics, 2, 1}});
         }),
         defaultBody<GetPeripheralInfoResponseBody>(), parsedBody<GetPeripheralInfoResponseBody>(),
         "01 00 00 00 02 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00 02 00 00 00 02 00 00 00 01 00 00 00",
         "Response Data | Body Version: 1 | Peripherals: 2 | Peripheral 0.type: Filter Wheel, Peripheral "
         "0.model: 5, Peripheral 0.address:0 | Peripheral 1.type: Adaptive Optics, Peripheral 1.model: 2, "
         "Peripheral 1.address:1",
         false},
    };
}

} // namespace

// Every body: setters to golden bytes, golden bytes back through the parsing
// constructor and through setBuffer of a fresh body, and the log text both ways.
TEST(CameraBodies, GoldenBytesBothWays)
{
    goldenbodies::expectGoldenBothWays(goldenCases());
}

// A fixed-layout body given fewer bytes than its layout parses nothing; a null
// buffer changes nothing; bytes after the layout are ignored.
TEST(CameraBodies, FixedLayoutBadLengths)
{
    goldenbodies::expectFixedLayoutBadLengths(goldenCases());
}

TEST(CameraBodies, Defaults)
{
    expectDefaults({
        {"GetCameraInfoResponse", defaultBody<GetCameraInfoResponseBody>(), "00 00 00 00 00 00 00 00 00 00"},
        {"GetCameraStatusResponse", defaultBody<GetCameraStatusResponseBody>(), "ff ff 00 00 00 00 00 00 00 00 00 ff"},
        {"GetCameraCapabilityRequest", defaultBody<GetCameraCapabilityRequestBody>(), "ff"},
        {"GetCameraCapabilityResponse", defaultBody<GetCameraCapabilityResponseBody>(), "ff 00 00"},
        {"GetCameraOptionRequest", defaultBody<GetCameraOptionRequestBody>(), "ff"},
        {"GetCameraOptionResponse", defaultBody<GetCameraOptionResponseBody>(), "ff 00 00"},
        {"SetCameraOptionRequest", defaultBody<SetCameraOptionRequestBody>(), "ff 00 00"},
        {"SetCameraOptionResponse", defaultBody<SetCameraOptionResponseBody>(), "ff 00 00"},
        {"SetCoolerRequest", defaultBody<SetCoolerRequestBody>(), "00 00 00"},
        {"GetCoolerStateResponse", defaultBody<GetCoolerStateResponseBody>(), "00 00 00 00 00"},
        {"SetFanSpeedRequest", defaultBody<SetFanSpeedRequestBody>(), "00"},
        {"ShutterControlRequest", defaultBody<ShutterControlRequestBody>(), "00"},
        {"SetNetworkRequest", defaultBody<SetNetworkRequestBody>(), "00 00 00 " + textHex("", 96)},
        {"GetNetworkResponse", defaultBody<GetNetworkResponseBody>(), "00 00 00 " + textHex("", 96)},
        {"FWGotoRequest", defaultBody<FWGotoRequestBody>(), "00"},
        {"FWInitResponse", defaultBody<FWInitResponseBody>(), "ff"},
        {"FWGetStatusResponse", defaultBody<FWGetStatusResponseBody>(), "00"},
        {"AOGotoRequest", defaultBody<AOGotoRequestBody>(), "00 00 00 00"},
        {"AOInitResponse", defaultBody<AOInitResponseBody>(), "ff"},
        {"AOGetStatusResponse", defaultBody<AOGetStatusResponseBody>(), "00"},
        {"PulseGuideRequest", defaultBody<PulseGuideRequestBody>(), "00 00 00 00 00 00"},
        {"GetPeripheralInfoResponse", defaultBody<GetPeripheralInfoResponseBody>(), "00 00 00 00 00 00 00 00"},
    });
}

// Codes are stored as received and render with the fallback names.
TEST(CameraBodies, UnknownCodesKeepTheirValueAndFallBackInTheLog)
{
    struct Case {
        const char* name;
        BodyParser parse;
        std::string hex;
        std::string log;
        std::string reserialised = "";  // when not the input: flags travel back as 0 or 1
    };
    const std::vector<Case> cases = {
        {"camera model", parsedBody<GetCameraInfoResponseBody>(), "03 01 00 00 00 02 00 00 00 01",
         "Response Data | ModelNumber: Invalid Camera Model | Serial Number: 1 | Firmware Revision: 2 | "
         "Wifi FIrmware Revision: 0 | Sensor Count: 1"},
        {"sensor and shutter states", parsedBody<GetCameraStatusResponseBody>(),
         "0a c8 00 00 ff 00 00 00 00 03 80 07",
         "Response Data | Main sensor state: InvalidSensorState | External sensor state: InvalidSensorState | "
         "Sensor temp: 0 | Cooler power: 100 | Heatsink Temp: 0 | Input voltage: 0 | Pulse guide status: 3 | "
         "Flag: 128 | Shutter status: ShutterUninitialized"},
        {"capability", parsedBody<GetCameraCapabilityResponseBody>(), "14 00 01",
         "Response Data | Capability:  | Enabled: Yes", "14 01 00"},
        {"option", parsedBody<GetCameraOptionRequestBody>(), "02", "Request Data | Option: "},
        {"network mode", parsedBody<GetNetworkResponseBody>(), "35 00 00 " + textHex("", 96),
         "Response Data | SSID:  | Password:  | Network Mode:  | USA/Canada Mode: No | Hex Password: No"},
        {"guide direction", parsedBody<PulseGuideRequestBody>(), "04 00 00 00 00 07",
         "Request Data | Direction: Invalid direction | Duration: 0 | Abort: Yes", "04 00 00 00 00 01"},
        {"filter wheel status", parsedBody<FWGetStatusResponseBody>(), "03",
         "Response Data | Filter Wheel Status: InvalidFWStatus"},
        {"filter wheel 255", parsedBody<FWGetStatusResponseBody>(), "ff",
         "Response Data | Filter Wheel Status: InvalidFWStatus"},
        {"filter wheel model", parsedBody<FWInitResponseBody>(), "05", "Response Data | Filter Wheel HW Model ID: 0x5"},
        {"AO model", parsedBody<AOInitResponseBody>(), "05", "Response Data | AO Model: InvalidAOModel"},
        {"AO model 0", parsedBody<AOInitResponseBody>(), "00", "Response Data | AO Model: UnknownAOModel"},
        {"AO status", parsedBody<AOGetStatusResponseBody>(), "ff", "Response Data | AO Status: InvalidAOStatus"},
        {"peripheral type", parsedBody<GetPeripheralInfoResponseBody>(),
         "02 00 00 00 01 00 00 00 07 00 00 00 09 00 00 00 03 00 00 00",
         "Response Data | Body Version: 2 | Peripherals: 1 | Peripheral 0.type: Unknown Type, Peripheral "
         "0.model: 9, Peripheral 0.address:3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BaseBodyPtr body = c.parse(fromHex(c.hex));
        EXPECT_EQ(body->getMessageDataString(), c.log);
        EXPECT_EQ(toHex(body->getBuffer()), c.reserialised.empty() ? c.hex : c.reserialised);
    }
}

TEST(CameraStatusBody, DecodesTheDocumentedPayload)
{
    const GetCameraStatusResponseBody body(fromHex("05 00 C4 09 FF 10 FE 6E 03 00 00 01"));
    EXPECT_EQ(body.getMainSensorState(), ISensor::Exposing);
    EXPECT_EQ(body.getExtSensorState(), ISensor::Idle);
    EXPECT_FLOAT_EQ(body.getSensorTemperature(), 25.0f);
    EXPECT_FLOAT_EQ(body.getCoolerPower(), 100.0f);
    EXPECT_FLOAT_EQ(body.getHeatSinkTemperature(), -4.96f);
    EXPECT_FLOAT_EQ(body.getInputVoltage(), 13.99f * 878.0f / 1024.0f);
    EXPECT_NEAR(body.getInputVoltage(), 11.995f, 0.001f);
    EXPECT_EQ(body.getPulseGuideStatus(), 0);
    EXPECT_EQ(body.getFlag(), 0);
    EXPECT_EQ(body.getShutterStatus(), ShutterOpen);
    EXPECT_TRUE(body.getConvertCoolerPower());
}

TEST(CameraStatusBody, CoolerPowerWithAndWithoutConversion)
{
    struct Case {
        std::string code;
        bool convert;
        float power;
    };
    const std::vector<Case> cases = {
        {"ff", true, 100.0f},
        {"00", true, 4080.0f / 295.8f},
        {"00", false, 0.0f},
        {"ff", false, 255.0f},
        {"40", false, 64.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code + (c.convert ? " converted" : " raw"));
        const IOBufferPtr payload = fromHex("00 00 00 00 " + c.code + " 00 00 00 00 00 00 00");
        const GetCameraStatusResponseBody constructed(payload, c.convert);
        EXPECT_FLOAT_EQ(constructed.getCoolerPower(), c.power);

        GetCameraStatusResponseBody parsed;
        parsed.setConvertCoolerPower(c.convert);
        parsed.setBuffer(payload);
        EXPECT_FLOAT_EQ(parsed.getCoolerPower(), c.power);
        EXPECT_EQ(toHex(parsed.getBuffer()), toHex(payload));
    }
    EXPECT_NEAR(GetCameraStatusResponseBody(fromHex("00 00 00 00 00 00 00 00 00 00 00 00")).getCoolerPower(), 13.79f,
                0.01f);
}

// Serialising must give back the code that was parsed, for every code of every
// scaled field; truncating the products would lose one count on many of them.
TEST(CameraStatusBody, EncodingInvertsDecodingForEveryCode)
{
    using namespace WireConversions;
    for (int code = 0; code <= 255; ++code) {
        const auto byte = static_cast<uint8_t>(code);
        ASSERT_EQ(coolerPowerToWire(coolerPowerFromWire(byte, true), true), byte) << code;
        ASSERT_EQ(coolerPowerToWire(coolerPowerFromWire(byte, false), false), byte) << code;
    }
    for (int code = 0; code <= 65535; ++code) {
        const auto word = static_cast<uint16_t>(code);
        ASSERT_EQ(inputVoltageToWire(inputVoltageFromWire(word)), word) << code;
        const auto hundredths = static_cast<int16_t>(code - 32768);
        ASSERT_EQ(temperatureToWire(temperatureFromWire(hundredths)), hundredths) << hundredths;
    }
    EXPECT_EQ(inputVoltageToWire(11.995f), 878);
}

// Values the fields cannot hold saturate; NaN and no power give the lowest code.
TEST(CameraStatusBody, SerialisingSaturatesOutOfRangeValues)
{
    struct Case {
        const char* name;
        float temperature;
        float power;
        bool convert;
        float voltage;
        std::string hex;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<Case> cases = {
        {"high", 400.0f, 150.0f, true, 1.0e6f, "ff ff ff 7f ff ff 7f ff ff 00 00 ff"},
        {"low", -400.0f, 0.0f, true, -3.0f, "ff ff 00 80 00 00 80 00 00 00 00 ff"},
        {"negative power", -400.0f, -5.0f, true, -3.0f, "ff ff 00 80 00 00 80 00 00 00 00 ff"},
        {"raw power", 0.0f, 300.0f, false, 0.0f, "ff ff 00 00 ff 00 00 00 00 00 00 ff"},
        {"nan", nan, nan, true, nan, "ff ff 00 00 00 00 00 00 00 00 00 ff"},
        {"infinite", -inf, inf, true, inf, "ff ff 00 80 ff 00 80 ff ff 00 00 ff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetCameraStatusResponseBody body;
        body.setConvertCoolerPower(c.convert);
        body.setSensorTemperature(c.temperature);
        body.setHeatSinkTemperature(c.temperature);
        body.setCoolerPower(c.power);
        body.setInputVoltage(c.voltage);
        EXPECT_EQ(toHex(body.getBuffer()), c.hex);
    }
}

TEST(CoolerBodies, SetpointRounding)
{
    struct Case {
        float setpoint;
        int16_t stored;
    };
    const std::vector<Case> cases = {
        {-10.005f, -1001}, {0.004f, 0}, {-0.004f, 0}, {25.0f, 2500}, {-25.0f, -2500}, {12.346f, 1235},
        {-12.346f, -1235}, {327.67f, 32767}, {1000.0f, 32767}, {-1000.0f, -32768},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setpoint);
        SetCoolerRequestBody body;
        body.setSetpoint(c.setpoint);
        EXPECT_EQ(body.getRawSetpoint(), c.stored);
        EXPECT_FLOAT_EQ(body.getSetpoint(), static_cast<float>(c.stored) / 100.0f);
    }
    SetCoolerRequestBody body;
    body.setSetpoint(-10.005f);
    EXPECT_FLOAT_EQ(body.getSetpoint(), -10.01f);
}

TEST(NetworkBodies, SetNetworkCutsLongTexts)
{
    const std::string ssid40(40, 'S');
    const std::string password70(70, 'P');
    SetNetworkRequestBody body;
    body.setSsid(ssid40);
    body.setPassword(password70);
    EXPECT_EQ(body.getSsidLength(), 32);
    EXPECT_EQ(body.getPasswordLength(), 64);
    EXPECT_EQ(body.getSsid(), ssid40.substr(0, 32));
    EXPECT_EQ(body.getPassword(), password70.substr(0, 64));
    EXPECT_EQ(toHex(body.getBuffer()), "00 20 40 " + textHex(ssid40.substr(0, 32), 32) + " " +
                                           textHex(password70.substr(0, 64), 64));

    // A shorter text later clears what the longer one left behind.
    body.setSsid("ab");
    EXPECT_EQ(toHex(body.getBuffer()).substr(0, 9 + 3 * 32),
              "00 02 40 " + textHex("ab", 32) + " ");
}

TEST(NetworkBodies, GetNetworkRejectsLongTexts)
{
    GetNetworkResponseBody body;
    body.setSsid("keep");
    body.setPassword("kept");
    const std::string ssid33(33, 'x');
    const std::string password65(65, 'y');
    try {
        body.setSsid(ssid33);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Invalid SSID length: '" + ssid33 + "' uses 33/32 available characters.");
    }
    try {
        body.setPassword(password65);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Invalid password length: '" + password65 + "' uses 65/64 available characters.");
    }
    EXPECT_EQ(body.getSsid(), "keep");
    EXPECT_EQ(body.getPassword(), "kept");
    EXPECT_NO_THROW(body.setSsid(std::string(32, 'x')));
    EXPECT_NO_THROW(body.setPassword(std::string(64, 'y')));
}

// Received lengths above the fields are clamped to 32 and 64 for both bodies.
TEST(NetworkBodies, ReceivedLengthsAboveTheFieldsAreClamped)
{
    const IOBufferPtr payload =
        fromHex("04 c8 ff " + textHex(std::string(32, 'A'), 32) + " " + textHex(std::string(64, 'B'), 64));
    const std::string clampedHex =
        "04 20 40 " + textHex(std::string(32, 'A'), 32) + " " + textHex(std::string(64, 'B'), 64);

    const SetNetworkRequestBody request(payload);
    EXPECT_EQ(request.getSsid(), std::string(32, 'A'));
    EXPECT_EQ(request.getPassword(), std::string(64, 'B'));
    EXPECT_EQ(toHex(request.getBuffer()), clampedHex);

    const GetNetworkResponseBody response(payload);
    EXPECT_EQ(response.getSsid(), std::string(32, 'A'));
    EXPECT_EQ(response.getPassword(), std::string(64, 'B'));
    EXPECT_EQ(toHex(response.getBuffer()), clampedHex);
}

// Bits 0-3 mode, bit 6 USA/Canada, bit 7 hexadecimal; setters keep the other bits.
TEST(NetworkBodies, FlagBits)
{
    const std::string rest = " 00 00 " + textHex("", 96);
    SetNetworkRequestBody request(fromHex("f3" + rest));
    GetNetworkResponseBody response(fromHex("f3" + rest));
    EXPECT_EQ(request.getNetworkMode(), WPA);
    EXPECT_TRUE(request.getUsaCanadaMode());
    EXPECT_TRUE(request.getHexPassword());

    request.setNetworkMode(WEP);
    response.setNetworkMode(WEP);
    EXPECT_EQ(request.getNetworkFlags(), 0xF2);
    EXPECT_EQ(response.getNetworkFlags(), 0xF2);
    request.setUsaCanadaMode(false);
    response.setUsaCanadaMode(false);
    EXPECT_EQ(request.getNetworkFlags(), 0xB2);
    EXPECT_EQ(response.getNetworkFlags(), 0xB2);
    request.setHexPassword(false);
    response.setHexPassword(false);
    EXPECT_EQ(request.getNetworkFlags(), 0x32);
    EXPECT_EQ(response.getNetworkFlags(), 0x32);
    EXPECT_FALSE(request.getHexPassword());
    EXPECT_FALSE(response.getUsaCanadaMode());
    EXPECT_EQ(toHex(response.getBuffer()), "32" + rest);
}

TEST(PeripheralInfoBody, RecordCounts)
{
    struct Case {
        const char* name;
        std::string hex;
        size_t records;
        std::string reserialised;
    };
    const std::string record0 = "00 00 00 00 05 00 00 00 00 00 00 00";
    const std::string record1 = "01 00 00 00 02 00 00 00 01 00 00 00";
    const std::vector<Case> cases = {
        {"none", "03 00 00 00 00 00 00 00", 0, "03 00 00 00 00 00 00 00"},
        {"count above records present", "03 00 00 00 05 00 00 00 " + record0 + " " + record1 + " 01 02 03", 2,
         "03 00 00 00 02 00 00 00 " + record0 + " " + record1},
        {"huge count, no records", "03 00 00 00 ff ff ff ff", 0, "03 00 00 00 00 00 00 00"},
        {"count below records present", "03 00 00 00 01 00 00 00 " + record0 + " " + record1, 1,
         "03 00 00 00 01 00 00 00 " + record0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetPeripheralInfoResponseBody body;
        body.setPeripheralInfoList({{PeripheralType::Sensor, 1, 1}});
        body.setBuffer(fromHex(c.hex));
        EXPECT_EQ(body.getVersion(), 3u);
        EXPECT_EQ(body.getPeripheralList().size(), c.records);
        EXPECT_EQ(toHex(body.getBuffer()), c.reserialised);
        EXPECT_EQ(body.getBufferLength(), fromHex(c.reserialised)->length);
    }

    const GetPeripheralInfoResponseBody parsed(fromHex("03 00 00 00 02 00 00 00 " + record0 + " " + record1));
    ASSERT_EQ(parsed.getPeripheralList().size(), 2u);
    EXPECT_EQ(parsed.getPeripheralList()[1].type, PeripheralType::Sensor);
    EXPECT_EQ(parsed.getPeripheralList()[1].model, 2u);
    EXPECT_EQ(parsed.getPeripheralList()[1].address, 1u);

    // Without version and count the previous list stays.
    GetPeripheralInfoResponseBody kept(fromHex("03 00 00 00 01 00 00 00 " + record0));
    kept.setBuffer(fromHex("04 00 00 00 00 00 00"));
    EXPECT_EQ(kept.getVersion(), 3u);
    EXPECT_EQ(kept.getPeripheralList().size(), 1u);

    EXPECT_EQ(GetPeripheralInfoResponseBody::c_peripheralTypeToStringMap.at(PeripheralType::AdaptiveOptics),
              "AdaptiveOptics");
}

TEST(EchoBodyTest, LengthFollowsThePayload)
{
    EchoBody empty;
    EXPECT_EQ(empty.getBufferLength(), 0u);
    const IOBufferPtr none = empty.getBuffer();
    EXPECT_TRUE(!none || none->length == 0);
    EXPECT_EQ(empty.getSohType(), Cmd);
    EXPECT_EQ(empty.getBodyType(), EchoRequest);

    EchoBody body(fromHex("01 02 03 04 05 06 07 08 09 0a"));
    EXPECT_EQ(body.getLength(), 10);
    body.setBuffer(fromHex("0b 0c 0d"));
    EXPECT_EQ(body.getLength(), 3);
    EXPECT_EQ(toHex(body.getBuffer()), "0b 0c 0d");

    // More than the one-byte length can count: the first 255 bytes are kept.
    std::string big(300, '\x5a');
    body.setBuffer(IOBuffer::newBuffer(big.data(), big.size()));
    EXPECT_EQ(body.getLength(), 255);
    EXPECT_EQ(body.getBuffer()->length, 255u);

    EXPECT_EQ(EchoBody(nullptr, 12).getBufferLength(), 0u);
    body.setBuffer(IOBufferPtr());
    EXPECT_EQ(body.getBufferLength(), 0u);
}

TEST(NetworkConfigRecord, PackedLayoutAndZeroInitialised)
{
    static_assert(sizeof(TNetworkConfigBody) == 50, "packed");
    using Frame = TMessage<TRequestHeader, TNetworkConfigBody, TEmptyPayload>;
    static_assert(sizeof(Frame) == 60, "60-byte frame");
    static_assert(offsetof(Frame, body) == 9, "body after preamble and request header");

    TNetworkConfigBody config;
    std::string bytes(sizeof(config), '\x01');
    std::memcpy(&bytes[0], &config, sizeof(config));
    EXPECT_EQ(bytes, std::string(50, '\0'));

    const uint8_t mac[6] = {0x00, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f};
    std::memcpy(config.mac, mac, sizeof(mac));
    const uint8_t ip[4] = {192, 168, 1, 20};
    const uint8_t gateway[4] = {192, 168, 1, 1};
    const uint8_t mask[4] = {255, 255, 255, 0};
    std::memcpy(config.deviceIP, ip, 4);
    std::memcpy(config.gateway, gateway, 4);
    std::memcpy(config.subnetMask, mask, 4);
    std::memcpy(config.serial, "KV-123", 6);
    std::memcpy(&bytes[0], &config, sizeof(config));
    EXPECT_EQ(toHex(IOBuffer::newBuffer(bytes.data(), bytes.size())),
              "00 1b 2c 3d 4e 5f c0 a8 01 14 c0 a8 01 01 ff ff ff 00 " + textHex("KV-123", 32));
}

// The factory creates these classes for their codes, in the right direction only.
TEST(CameraBodies, FactoryCreatesTheBodyClasses)
{
    expectFactoryCreates({
        {GetCameraInfo, {}, isBody<GetCameraInfoResponseBody>()},
        {GetCameraStatus, {}, isBody<GetCameraStatusResponseBody>()},
        {ShutterControl, isBody<ShutterControlRequestBody>(), {}},
        {SetCooler, isBody<SetCoolerRequestBody>(), {}},
        {SetFanSpeed, isBody<SetFanSpeedRequestBody>(), {}},
        {SetNetwork, isBody<SetNetworkRequestBody>(), {}},
        {GetNetwork, {}, isBody<GetNetworkResponseBody>()},
        {FWInit, {}, isBody<FWInitResponseBody>()},
        {FWGetStatus, {}, isBody<FWGetStatusResponseBody>()},
        {FWGoto, isBody<FWGotoRequestBody>(), {}},
        {AOInit, {}, isBody<AOInitResponseBody>()},
        {AOGetStatus, {}, isBody<AOGetStatusResponseBody>()},
        {AOGoto, isBody<AOGotoRequestBody>(), {}},
        {PulseGuide, isBody<PulseGuideRequestBody>(), {}},
        {EchoRequest, isBody<EchoBody>(), isBody<EchoBody>()},
        {GetCameraCapability, isBody<GetCameraCapabilityRequestBody>(), isBody<GetCameraCapabilityResponseBody>()},
        {GetCameraOption, isBody<GetCameraOptionRequestBody>(), isBody<GetCameraOptionResponseBody>()},
        {SetCameraOption, isBody<SetCameraOptionRequestBody>(), isBody<SetCameraOptionResponseBody>()},
        {GetPeripheralInfo, {}, isBody<GetPeripheralInfoResponseBody>()},
        {GetCoolerState, {}, isBody<GetCoolerStateResponseBody>()},
    });
    const V1BodyFactory factory;
    EXPECT_FALSE(factory.generateRequestBody(SetNetworkConfig));
    EXPECT_FALSE(factory.generateResponseBody(SetNetworkConfig));
}

// Whole frames: a request filled through its typed body, a response parsed into
// the class its header names.
TEST(CameraBodies, FramesCarryTheBodies)
{
    V1RequestMessage request(SetCooler, V1None);
    const auto cooler = request.getTypedBody<SetCoolerRequestBody>();
    ASSERT_TRUE(cooler);
    cooler->setIsEnabled(true);
    cooler->setSetpoint(-10.005f);
    request.updateEndpoint(nullptr, -1);
    EXPECT_EQ(toHex(request.getBuffer()), "a5 0c 00 00 00 03 00 00 00 01 17 fc");

    V1ResponseMessage response(GetCameraInfo, V1None);
    response.setBuffer(fromHex("a5 06 01 00 00 00 0c 00 00 00 05 00 c4 09 ff 10 fe 6e 03 00 00 01"));
    EXPECT_TRUE(response.validate());
    const auto status = response.getTypedBody<GetCameraStatusResponseBody>();
    ASSERT_TRUE(status);
    EXPECT_EQ(status->getMainSensorState(), ISensor::Exposing);
    EXPECT_FLOAT_EQ(status->getSensorTemperature(), 25.0f);
    EXPECT_EQ(status->getShutterStatus(), ShutterOpen);
}
