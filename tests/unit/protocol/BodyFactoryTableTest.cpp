// The body table of the message frame, row by row: for every code and both
// directions the factory gives the listed class (with the code as body type and its
// default length), an EmptyBody for the "Empty" entries, and nothing for "none".

#include "protocol/BodyFactory.h"
#include "protocol/EmptyBody.h"

// Camera and peripheral bodies.
#include "protocol/AOGetStatusResponseBody.h"
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

// Configuration-memory and firmware-transfer bodies.
#include "protocol/BulkUploadRequestBody.h"
#include "protocol/ConfigControlExtRequestBody.h"
#include "protocol/ConfigControlRequestBody.h"
#include "protocol/ConfigControlResponseBody.h"
#include "protocol/ConfigDataDownloadExtRequestBody.h"
#include "protocol/ConfigDataDownloadExtResponseBody.h"
#include "protocol/ConfigDataDownloadRequestBody.h"
#include "protocol/ConfigDataDownloadResponseBody.h"
#include "protocol/ConfigDataUploadRequestBody.h"
#include "protocol/ReadMemoryConfigResponseBody.h"
#include "protocol/ReadMemoryWordRequestBody.h"
#include "protocol/ReadMemoryWordResponseBody.h"
#include "protocol/SetSerialNumberRequestBody.h"
#include "protocol/WriteMemoryConfigRequestBody.h"
#include "protocol/WriteMemoryWordRequestBody.h"
#include "protocol/AccessSensorCalibrationByKeyBody.h"
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
#include "protocol/PacketRequestExtRequestBody.h"
#include "protocol/SetSensorCalibrationRequestBody.h"
#include "protocol/SetSensorSettingsRequestBody.h"
#include "protocol/SetSensorSettingsResponseBody.h"
#include "protocol/SetSubframeRequestBody.h"
#include "protocol/StartDownloadResponseBody.h"
#include "protocol/StartExposureRequestBody.h"
#include "protocol/V2SetSubframeRequestBody.h"
#include "protocol/V2SetSubframeResponseBody.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace kv;
using namespace kv::V1;

namespace {

enum class Kind { None, Empty, Class };

// What the factory must give for one direction of one code.
struct Expect {
    Kind kind;
    std::string name;
    std::function<bool(const BaseBodyPtr&)> isClass;
    size_t defaultLength;
};

Expect none()
{
    return {Kind::None, "none", {}, 0};
}

template <BodyType B>
Expect empty()
{
    return {Kind::Empty, "Empty",
            [](const BaseBodyPtr& body) { return std::dynamic_pointer_cast<EmptyBody<Cmd, B>>(body) != nullptr; }, 0};
}

template <typename T>
Expect isA(const char* name, size_t defaultLength)
{
    return {Kind::Class, name, [](const BaseBodyPtr& body) { return std::dynamic_pointer_cast<T>(body) != nullptr; },
            defaultLength};
}

#define CLASS(T, length) isA<T>(#T, length)

// Default lengths of bodies whose length depends on what they hold beyond the default.
constexpr size_t c_anyLength = static_cast<size_t>(-1);

struct Row {
    unsigned code;
    Expect request;
    Expect response;
};

// Codes of the camera and peripheral bodies, of the configuration-memory and
// firmware-transfer bodies, and the frame's own "Empty" and "none" codes.
std::vector<Row> bodyTable()
{
    return {
        {GetCameraInfo, empty<GetCameraInfo>(), CLASS(GetCameraInfoResponseBody, 10)},
        {GetCameraStatus, empty<GetCameraStatus>(), CLASS(GetCameraStatusResponseBody, 12)},
        {ShutterControl, CLASS(ShutterControlRequestBody, 1), empty<ShutterControl>()},
        {SetCooler, CLASS(SetCoolerRequestBody, 3), empty<SetCooler>()},
        {SetFanSpeed, CLASS(SetFanSpeedRequestBody, 1), empty<SetFanSpeed>()},
        {SetNetwork, CLASS(SetNetworkRequestBody, 99), empty<SetNetwork>()},
        {GetNetwork, empty<GetNetwork>(), CLASS(GetNetworkResponseBody, 99)},
        {FWInit, empty<FWInit>(), CLASS(FWInitResponseBody, 1)},
        {FWGetStatus, empty<FWGetStatus>(), CLASS(FWGetStatusResponseBody, 1)},
        {FWGoto, CLASS(FWGotoRequestBody, 1), empty<FWGoto>()},
        {AOInit, empty<AOInit>(), CLASS(AOInitResponseBody, 1)},
        {AOGetStatus, empty<AOGetStatus>(), CLASS(AOGetStatusResponseBody, 1)},
        {AOGoto, CLASS(AOGotoRequestBody, 4), empty<AOGoto>()},
        {PulseGuide, CLASS(PulseGuideRequestBody, 6), empty<PulseGuide>()},
        {EchoRequest, CLASS(EchoBody, 0), CLASS(EchoBody, 0)},
        {ConfigControl, CLASS(ConfigControlRequestBody, 2), CLASS(ConfigControlResponseBody, 1)},
        {ConfigDataUpload, CLASS(ConfigDataUploadRequestBody, 5), empty<ConfigDataUpload>()},
        {ConfigDataDownload, CLASS(ConfigDataDownloadRequestBody, 5), CLASS(ConfigDataDownloadResponseBody, 104)},
        {ReadMemoryWord, CLASS(ReadMemoryWordRequestBody, 1), CLASS(ReadMemoryWordResponseBody, 2)},
        {WriteMemoryWord, CLASS(WriteMemoryWordRequestBody, 3), empty<WriteMemoryWord>()},
        {ReadMemoryConfig, empty<ReadMemoryConfig>(), CLASS(ReadMemoryConfigResponseBody, 62)},
        {WriteMemoryConfig, CLASS(WriteMemoryConfigRequestBody, 62), empty<WriteMemoryConfig>()},
        {ReservedBodyType, none(), none()},
        {ErrorBodyType, empty<ErrorBodyType>(), empty<ErrorBodyType>()},
        {GetCameraCapability, CLASS(GetCameraCapabilityRequestBody, 1), CLASS(GetCameraCapabilityResponseBody, 3)},
        {GetCameraOption, CLASS(GetCameraOptionRequestBody, 1), CLASS(GetCameraOptionResponseBody, 3)},
        {SetCameraOption, CLASS(SetCameraOptionRequestBody, 3), CLASS(SetCameraOptionResponseBody, 3)},
        {GetPeripheralInfo, empty<GetPeripheralInfo>(), CLASS(GetPeripheralInfoResponseBody, 8)},
        {GetCoolerState, empty<GetCoolerState>(), CLASS(GetCoolerStateResponseBody, 5)},
        {BulkUpload, CLASS(V2::BulkUploadRequestBody, 8), empty<BulkUpload>()},
        {ConfigControlExt, CLASS(V2::ConfigControlExtRequestBody, 5), CLASS(ConfigControlResponseBody, 1)},
        {ConfigDataDownloadExt, CLASS(V2::ConfigDataDownloadExtRequestBody, 8),
         CLASS(V2::ConfigDataDownloadExtResponseBody, 5)},
        {GetNetworkConfig, none(), none()},
        // Sent as a fixed-layout frame, without a body class.
        {SetNetworkConfig, none(), none()},
        {SyncClock, none(), none()},
        {GetCameraCapabilities, none(), none()},
        {Disconnect, empty<Disconnect>(), empty<Disconnect>()},
        {SetSerialNumber, CLASS(SetSerialNumberRequestBody, 4), empty<SetSerialNumber>()},
        {UnlockSpecialCommands, empty<UnlockSpecialCommands>(), empty<UnlockSpecialCommands>()},
    };
}

// Codes of the sensor and image-transfer bodies.
std::vector<Row> sensorBodyTable()
{
    return {
        {GetSensorInfo, empty<GetSensorInfo>(), CLASS(GetSensorInfoResponseBody, 30)},
        {GetSensorSettings, CLASS(GetSensorSettingsRequestBody, 1), CLASS(GetSensorSettingsResponseBody, 3)},
        {SetSensorSettings, CLASS(SetSensorSettingsRequestBody, 3), CLASS(SetSensorSettingsResponseBody, 3)},
        {GetSensorCalibration, CLASS(GetSensorSettingsRequestBody, 1),
         CLASS(GetSensorCalibrationResponseBody, 18)},
        {SetSensorCalibration, CLASS(SetSensorCalibrationRequestBody, 19), empty<SetSensorCalibration>()},
        {GetSubframe, empty<GetSubframe>(), CLASS(GetSubframeResponseBody, 10)},
        {SetSubframe, CLASS(V1::SetSubframeRequestBody, 10), empty<SetSubframe>()},
        {StartExposure, CLASS(StartExposureRequestBody, 6), empty<StartExposure>()},
        {AbortExposure, empty<AbortExposure>(), empty<AbortExposure>()},
        {StartDownload, empty<StartDownload>(), CLASS(StartDownloadResponseBody, c_anyLength)},
        {PacketRequest, CLASS(GetPacketsRequestBody, 1002), CLASS(GetPacketsResponseBody, c_anyLength)},
        {GetFrameRequest, none(), CLASS(GetFrameResponseBody, c_anyLength)},
        {GetHiddenSensorSetting, CLASS(GetSensorCalibrationByKeyRequestBody, 2),
         CLASS(GetSensorCalibrationByKeyResponseBody, 6)},
        {SetHiddenSensorSetting, CLASS(SetSensorCalibrationByKeyRequestBody, 6),
         CLASS(SetSensorCalibrationByKeyResponseBody, 6)},
        {SetSubframeExt, CLASS(V2::SetSubframeRequestBody, 16), CLASS(V2::SetSubframeResponseBody, 4)},
        {PacketRequestExt, CLASS(V2::PacketRequestExtRequestBody, c_anyLength),
         CLASS(GetPacketsResponseBody, c_anyLength)},
        // Sent as a fixed-layout frame, without a body class.
        {SetImageChannels, none(), none()},
        {GetImageMetadata, empty<GetImageMetadata>(), CLASS(GetImageMetadataResponseBody, c_anyLength)},
    };
}

// Checks one direction.
void check(const Expect& expect, const BaseBodyPtr& body, unsigned code)
{
    switch (expect.kind) {
    case Kind::None:
        EXPECT_EQ(body, nullptr);
        return;
    case Kind::Empty:
    case Kind::Class:
        break;
    }
    if (!body) {
        ADD_FAILURE() << "no body, expected " << expect.name;
        return;
    }
    EXPECT_TRUE(expect.isClass(body)) << "expected " << expect.name;
    EXPECT_EQ(body->getBodyType(), static_cast<BodyType>(code));
    EXPECT_EQ(body->getSohType(), Cmd);
    EXPECT_EQ(body->getProtocolVersion(), 1u);
    if (expect.defaultLength != c_anyLength) {
        EXPECT_EQ(body->getBufferLength(), expect.defaultLength);
        const IOBufferPtr bytes = body->getBuffer();
        EXPECT_EQ(bytes ? bytes->length : 0, expect.defaultLength);
    }
}

void checkTable(const std::vector<Row>& rows)
{
    const V1BodyFactory factory;
    for (const Row& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.code) + " " +
                     Reflections::messageBodyToString(static_cast<BodyType>(row.code)));
        const auto type = static_cast<BodyType>(row.code);
        {
            SCOPED_TRACE("request");
            check(row.request, factory.generateBody(V1Request, type), row.code);
        }
        {
            SCOPED_TRACE("response");
            check(row.response, factory.generateBody(V1Response, type), row.code);
        }
    }
}

} // namespace

TEST(BodyFactoryTable, CameraAndConfigurationCodes)
{
    checkTable(bodyTable());
}

TEST(BodyFactoryTable, SensorAndImageTransferCodes)
{
    checkTable(sensorBodyTable());
}

// The two tables hold exactly the codes of the body table; every other code has no
// body in either direction.
TEST(BodyFactoryTable, EveryOtherCodeHasNoBody)
{
    std::set<unsigned> listed;
    for (const std::vector<Row>& table : {bodyTable(), sensorBodyTable()})
        for (const Row& row : table)
            EXPECT_TRUE(listed.insert(row.code).second) << "code " << row.code << " listed twice";

    std::set<unsigned> expected;
    for (unsigned code = 0; code < LastBodyType; ++code)
        expected.insert(code);
    expected.insert(SetSerialNumber);
    expected.insert(UnlockSpecialCommands);
    EXPECT_EQ(listed, expected);

    const V1BodyFactory factory;
    for (unsigned code = 0; code <= 255; ++code) {
        if (listed.count(code))
            continue;
        SCOPED_TRACE(code);
        EXPECT_EQ(factory.generateBody(V1Request, static_cast<BodyType>(code)), nullptr);
        EXPECT_EQ(factory.generateBody(V1Response, static_cast<BodyType>(code)), nullptr);
    }
}
