#include "firmware/ManualClock.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "protocol/FooterBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "protocol/GetNetworkResponseBody.h"
#include "protocol/SetSensorCalibrationRequestBody.h"
#include "protocol/SetNetworkRequestBody.h"
#include "protocol/TNetworkConfigBody.h"
#include "unit/protocol/HexBytes.h"
#include "unit/sim/SimFrames.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kvsim;
using hexbytes::fromHex;
using hexbytes::toHex;

namespace {

// Whole answer frames to whole request frames, as the wire carries them.
struct Case {
    const char* what;
    const char* preset;
    const char* request;
    const char* answer;
};

const Case c_cases[] = {
    // Frames the firmware cannot take.
    {"unknown body type", "Brisa", "a5 63 00 00 00 00 00 00 00", "a5 63 01 00 03 00 00 00 00 00"},
    {"reserved body type", "Brisa", "a5 21 00 00 00 00 00 00 00", "a5 21 01 00 03 00 00 00 00 00"},
    {"unknown header type", "Brisa", "a5 00 02 00 00 00 00 00 00", "a5 00 01 00 02 00 00 00 00 00"},
    {"unknown footer type", "Brisa", "a5 00 00 03 00 00 00 00 00", "a5 00 01 00 04 00 00 00 00 00"},
    {"body length beyond the datagram", "Brisa", "a5 00 00 00 00 05 00 00 00", "a5 00 01 00 06 00 00 00 00 00"},
    {"body on a bodiless request", "Brisa", "a5 00 00 00 00 01 00 00 00 ff", "a5 00 01 00 06 00 00 00 00 00"},
    {"short capability body", "Brisa", "a5 23 00 00 00 00 00 00 00", "a5 23 01 00 06 00 00 00 00 00"},
    {"sensor that does not exist", "Brisa", "a5 0a 00 00 01 00 00 00 00", "a5 0a 01 00 05 01 00 00 00 00"},
    {"configuration memory", "Brisa", "a5 1a 00 00 00 02 00 00 00 00 00", "a5 1a 01 00 08 00 00 00 00 00"},
    {"factory command", "Brisa", "a5 9e 00 00 00 00 00 00 00", "a5 9e 01 00 08 00 00 00 00 00"},
    // Requests the firmware refuses.
    {"capability beyond the table", "Brisa", "a5 23 00 00 00 01 00 00 00 16", "a5 23 01 00 07 00 00 00 00 00"},
    {"capability query on old firmware", "BrisaCMOS", "a5 23 00 00 00 01 00 00 00 13",
     "a5 23 01 00 03 00 00 00 00 00"},
    {"cooler state on firmware without it", "Brisa", "a5 2a 00 00 00 00 00 00 00", "a5 2a 01 00 03 00 00 00 00 00"},
    {"set-point below the sensor's range", "Brisa", "a5 0c 00 00 00 03 00 00 00 01 90 e8",
     "a5 0c 01 00 07 00 00 00 00 00"},
    {"fan faster than full", "Brisa", "a5 0d 00 00 00 01 00 00 00 65", "a5 0d 01 00 07 00 00 00 00 00"},
    {"Wi-Fi on a camera without", "BrisaBC455", "a5 0f 00 00 00 00 00 00 00", "a5 0f 01 00 83 00 00 00 00 00"},
    {"guide pulse without guide port", "BrisaCMOS", "a5 17 00 00 00 06 00 00 00 00 f4 01 00 00 00",
     "a5 17 01 00 83 00 00 00 00 00"},
    {"guide direction that does not exist", "Brisa", "a5 17 00 00 00 06 00 00 00 04 f4 01 00 00 00",
     "a5 17 01 00 07 00 00 00 00 00"},
    {"filter slot 0", "Brisa", "a5 13 00 00 00 01 00 00 00 00", "a5 13 01 00 07 00 00 00 00 00"},
    {"filter slot beyond the wheel", "Brisa", "a5 13 00 00 00 01 00 00 00 09", "a5 13 01 00 07 00 00 00 00 00"},
    {"tip beyond a TTX", "BrisaBC461", "a5 16 00 00 00 04 00 00 00 01 09 00 08", "a5 16 01 00 07 00 00 00 00 00"},
    {"move with no unit attached", "Brisa", "a5 16 00 00 00 04 00 00 00 00 08 00 08", "a5 16 01 00 80 00 00 00 00 00"},
    {"option the camera does not have", "Brisa", "a5 27 00 00 00 01 00 00 00 03", "a5 27 01 00 07 00 00 00 00 00"},
    {"image before any exposure", "Brisa", "a5 0a 00 00 00 00 00 00 00", "a5 0a 01 00 00 00 00 00 00 00"},
    // Answers with a body.
    {"capability present", "Brisa", "a5 23 00 00 00 01 00 00 00 07", "a5 23 01 00 00 00 03 00 00 00 07 01 00"},
    {"capability absent", "BrisaBC455", "a5 23 00 00 00 01 00 00 00 07", "a5 23 01 00 00 00 03 00 00 00 07 00 00"},
    {"option read", "Brisa", "a5 27 00 00 00 01 00 00 00 00", "a5 27 01 00 00 00 03 00 00 00 00 01 00"},
    {"option written", "Brisa", "a5 28 00 00 00 03 00 00 00 01 fe ff", "a5 28 01 00 00 00 03 00 00 00 01 fe ff"},
    {"cooler switched on at -10", "Brisa", "a5 0c 00 00 00 03 00 00 00 01 18 fc", "a5 0c 01 00 00 00 00 00 00 00"},
    {"cooler state", "BrisaBC455", "a5 2a 00 00 00 00 00 00 00", "a5 2a 01 00 00 00 05 00 00 00 00 00 00 00 00"},
    {"filter wheel model", "Brisa", "a5 11 00 00 00 00 00 00 00", "a5 11 01 00 00 00 01 00 00 00 41"},
    {"no wheel on the port", "BrisaBC2020", "a5 11 00 00 00 00 00 00 00", "a5 11 01 00 00 00 01 00 00 00 ff"},
    {"adaptive-optics model", "BrisaBC461", "a5 14 00 00 00 00 00 00 00", "a5 14 01 00 00 00 01 00 00 00 02"},
    {"echo", "Brisa", "a5 18 00 00 00 03 00 00 00 01 02 03", "a5 18 01 00 00 00 03 00 00 00 01 02 03"},
    {"disconnect", "BrisaBC455", "a5 36 00 00 00 00 00 00 00", "a5 36 01 00 00 00 00 00 00 00"},
    {"peripheral inventory with a child wheel", "BrisaBC455", "a5 29 00 00 00 00 00 00 00",
     "a5 29 01 00 00 00 2c 00 00 00 01 00 00 00 03 00 00 00"
     " 01 00 00 00 04 00 00 00 00 00 00 00"
     " 00 00 00 00 38 00 00 00 00 00 00 00"
     " 00 00 00 00 30 00 00 00 01 00 00 00"},
    // Sensor requests.
    {"sensor information", "Brisa", "a5 01 00 00 00 00 00 00 00",
     "a5 01 01 00 00 00 1e 00 00 00 02 be 0a 98 08 01 00 01 ae 47 91 40 ae 47 91 40 00 00 ce 19 04 04"
     " 17 b7 d1 38 17 b7 d1 38"},
    {"information of a sensor not there", "Brisa", "a5 01 00 00 01 00 00 00 00", "a5 01 01 00 05 01 00 00 00 00"},
    {"setting read", "Brisa", "a5 02 00 00 00 01 00 00 00 08", "a5 02 01 00 00 00 03 00 00 00 08 01 00"},
    {"setting that does not exist", "Brisa", "a5 02 00 00 00 01 00 00 00 10", "a5 02 01 00 07 00 00 00 00 00"},
    {"setting written", "Brisa", "a5 03 00 00 00 03 00 00 00 04 32 00", "a5 03 01 00 00 00 03 00 00 00 04 32 00"},
    {"setting out of range", "Brisa", "a5 03 00 00 00 03 00 00 00 00 02 00", "a5 03 01 00 07 00 00 00 00 00"},
    // Offset -12 travels as the sign-magnitude word 0x10c.
    {"legacy calibration", "Brisa", "a5 04 00 00 00 01 00 00 00 ff",
     "a5 04 01 00 00 00 12 00 00 00 78 01 20 00 00 00 0c 01 00 00 00 00 00 00 71 3d 8a 3e"},
    {"legacy calibration of a CMOS sensor", "BrisaBC455", "a5 04 00 00 00 01 00 00 00 ff",
     "a5 04 01 00 83 00 00 00 00 00"},
    {"subframe read", "Brisa", "a5 07 00 00 00 00 00 00 00", "a5 07 01 00 00 00 0a 00 00 00 00 00 00 00 be 0a 98 08 01 01"},
    {"subframe of no width", "Brisa", "a5 08 00 00 00 0a 00 00 00 00 00 00 00 00 00 98 08 01 01",
     "a5 08 01 00 07 00 00 00 00 00"},
    // The default SetSubframeExt body asks for an empty subframe.
    {"extended subframe left at its defaults", "BrisaBC455",
     "a5 2b 00 00 00 10 00 00 00 00 00 00 00 00 00 00 00 01 01 dc 05 00 00 34 12", "a5 2b 01 00 07 00 00 00 00 00"},
    // Full frame, 9014-byte datagrams: 8970 payload bytes, 13640 packets.
    {"extended subframe", "BrisaBC455", "a5 2b 00 00 00 10 00 00 00 00 00 00 00 68 25 f4 18 01 01 36 23 00 00 34 12",
     "a5 2b 01 00 00 00 04 00 00 00 48 35 0a 23"},
    {"calibration key beyond the keys", "BrisaBC455", "a5 25 00 00 00 02 00 00 00 03 00", "a5 25 01 00 07 00 00 00 00 00"},
    {"calibration by key written", "BrisaBC455", "a5 26 00 00 00 06 00 00 00 00 01 d2 04 00 00",
     "a5 26 01 00 00 00 06 00 00 00 00 01 d2 04 00 00"},
    {"download before any exposure", "Brisa", "a5 10 00 00 00 00 00 00 00", "a5 10 01 00 82 00 00 00 00 00"},
    {"exposure shorter than the sensor allows", "BrisaBC455", "a5 09 00 00 00 06 00 00 00 00 00 00 00 01 00",
     "a5 09 01 00 07 00 00 00 00 00"},
};

class FirmwareAnswers : public ::testing::TestWithParam<Case> {};

TEST_P(FirmwareAnswers, AnswerFrameIsExact)
{
    const Case& c = GetParam();
    auto camera = VirtualCamera::fromPreset(c.preset, std::make_shared<ManualClock>());
    const Reply reply = camera->receive(fromHex(c.request));
    ASSERT_EQ(reply.datagrams.size(), 1u) << c.what;
    EXPECT_EQ(toHex(reply.datagrams.front()), c.answer) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, FirmwareAnswers, ::testing::ValuesIn(c_cases));

// Answering what is no request could set two cameras answering each other forever.
TEST(FirmwareFrames, NoAnswerToWhatIsNoRequestOrToABroadcast)
{
    auto camera = VirtualCamera::fromPreset("Brisa", std::make_shared<ManualClock>());
    for (const char* frame : {"", "a5", "a5 00 00 00 00 00 00 00", "6b 76 73 69 6d 20 68 65 6c 6c 6f",
                              // Another camera's answer, and an error answer.
                              "a5 00 01 00 00 00 00 00 00 00", "a5 63 01 00 03 00 00 00 00 00",
                              // SetNetworkConfig and SetImageChannels are never answered.
                              "a5 31 00 00 00 00 00 00 00", "a5 33 00 00 00 00 00 00 00"})
        EXPECT_TRUE(camera->receive(fromHex(frame)).datagrams.empty()) << frame;
    EXPECT_EQ(camera->journal().size(), 8u);
}

TEST(FirmwareFrames, ChecksummedRequestsGetChecksummedAnswersAndBadOnesBadChecksum)
{
    for (const kv::FooterType footer : {kv::V1SeqCrc16, kv::V1CRC8}) {
        auto camera = VirtualCamera::fromPreset("Brisa", std::make_shared<ManualClock>());
        const auto request = simframes::request(kv::GetCameraInfo, {}, 0, footer);
        const auto answer = camera->receive(request).datagrams.at(0);
        kv::V1ResponseMessage message(kv::GetCameraInfo, kv::V1None);
        message.setBuffer(answer);
        ASSERT_EQ(message.getFooterType(), footer);
        message.getFooter()->validate(answer, 10 + message.getHeader()->getBodyLength());
        EXPECT_TRUE(message.validate());
        EXPECT_EQ(message.getStatusCode(), kv::Success);
        if (const auto sequenced = message.getTypedFooter<kv::V1::SeqCrc16Body>()) {
            EXPECT_EQ(sequenced->getSequenceNumber(), 1); // the request's
        }

        request->data[request->length - 1] ^= 0x5a; // damage the checksum
        const auto refused = camera->receive(request).datagrams.at(0);
        EXPECT_EQ(static_cast<uint8_t>(refused->data[4]), kv::BadChecksum);
        EXPECT_EQ(static_cast<uint8_t>(refused->data[3]), footer);
    }
}

TEST(FirmwareFrames, StatusDuringALightExposureIsExact)
{
    CameraConfig config = Presets::camera("Brisa");
    config.thermal.ambient = 25.0f;
    config.inputVoltage = 11.995f;
    auto clock = std::make_shared<ManualClock>();
    VirtualCamera camera(config, clock);
    camera.inspect([](Firmware& firmware, TimePoint now) {
        ExposureRequest exposure;
        exposure.duration = 10.0f;
        ASSERT_EQ(firmware.sensor(0)->startExposure(exposure, now), kv::Success);
    });
    clock->advance(std::chrono::milliseconds(100)); // past the shutter's 50 ms
    // Exposing, external sensor idle, 25.00 C, no cooler power, heat sink 25.00 C,
    // 11.995 V (code 878), no guide pulse, shutter open.
    EXPECT_EQ(toHex(camera.receive(simframes::request(kv::GetCameraStatus)).datagrams.at(0)),
              "a5 06 01 00 00 00 0c 00 00 00 05 00 c4 09 00 c4 09 6e 03 00 00 01");
}

TEST(FirmwareFrames, WifiSettingsRoundTripAndOverlongLengthsAreRefused)
{
    auto camera = VirtualCamera::fromPreset("Brisa", std::make_shared<ManualClock>());
    const auto set = simframes::request(kv::SetNetwork, [](kv::Message& m) {
        auto body = simframes::body<kv::V1::SetNetworkRequestBody>(m);
        body->setSsid("observatory");
        body->setPassword("m31andromeda");
        body->setNetworkMode(kv::WPA2);
        body->setUsaCanadaMode(true);
    });
    EXPECT_EQ(camera->receive(set).datagrams.at(0)->data[4], kv::Success);
    const auto get = simframes::response(kv::GetNetwork,
                                         camera->receive(simframes::request(kv::GetNetwork)).datagrams.at(0));
    const auto body = get->getTypedBody<kv::V1::GetNetworkResponseBody>();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->getSsid(), "observatory");
    EXPECT_EQ(body->getPassword(), "m31andromeda");
    EXPECT_EQ(body->getNetworkMode(), kv::WPA2);
    EXPECT_TRUE(body->getUsaCanadaMode());

    set->data[9 + 1] = 33; // an SSID length beyond its 32-byte field
    EXPECT_EQ(static_cast<uint8_t>(camera->receive(set).datagrams.at(0)->data[4]), kv::InvalidParameter);
    EXPECT_EQ(camera->wifi().ssid, "observatory");
}

TEST(FirmwareFrames, NetworkConfigBroadcastIsTakenOnlyByTheCameraItNames)
{
    auto camera = VirtualCamera::fromPreset("Brisa", std::make_shared<ManualClock>());
    auto frame = [](const std::string& serial) {
        kv::V1::TNetworkConfigBody body;
        const uint8_t mac[6] = {0x02, 0, 0, 0, 0, 0x42};
        std::memcpy(body.mac, mac, 6);
        const uint8_t ip[4] = {10, 0, 0, 42}, gw[4] = {10, 0, 0, 1}, mask[4] = {255, 255, 255, 0};
        std::memcpy(body.deviceIP, ip, 4);
        std::memcpy(body.gateway, gw, 4);
        std::memcpy(body.subnetMask, mask, 4);
        std::memcpy(body.serial, serial.data(), serial.size());
        // Preamble, request header, body, pad byte: 60 bytes.
        auto bytes = kv::IOBuffer::newBuffer(60);
        const char header[9] = {char(0xa5), 49, 0, 0, 0, 50, 0, 0, 0};
        std::memcpy(bytes->data, header, 9);
        std::memcpy(bytes->data + 9, &body, sizeof(body));
        return bytes;
    };
    EXPECT_TRUE(camera->receive(frame("BR694M-24011543")).datagrams.empty());
    EXPECT_FALSE(camera->networkAssignment());
    EXPECT_TRUE(camera->receive(frame("BR694M-24011542")).datagrams.empty());
    const auto assignment = camera->networkAssignment();
    ASSERT_TRUE(assignment);
    EXPECT_EQ(assignment->address, (std::array<uint8_t, 4>{10, 0, 0, 42}));
    EXPECT_EQ(assignment->mac[5], 0x42);
}

// A calibration write with offset -5 travels as the word 0x105 and is stored as -5.
TEST(FirmwareFrames, LegacyCalibrationWrittenFromTheWireReadsBack)
{
    auto camera = VirtualCamera::fromPreset("Brisa", std::make_shared<ManualClock>());
    const auto write = simframes::request(kv::SetSensorCalibration, [](kv::Message& m) {
        auto body = simframes::body<kv::V1::SetSensorCalibrationRequestBody>(m);
        kv::ISensor::Calibration c;
        c.substrateVoltage = 90;
        c.channelsInUse = 2;
        c.adcGains[1] = 7;
        c.adcOffsets[1] = -5;
        c.eGain = 1.5f;
        body->setCalibration(c);
        body->setSaveToEeprom(true);
    });
    EXPECT_EQ(toHex(write->extract(9 + 8, 2)), "05 01");
    EXPECT_EQ(toHex(camera->receive(write).datagrams.at(0)), "a5 05 01 00 00 00 00 00 00 00");
    const kv::ISensor::Calibration stored = camera->sensor(0)->calibration;
    EXPECT_EQ(stored.substrateVoltage, 90u);
    EXPECT_EQ(stored.channelsInUse, 2u);
    EXPECT_EQ(stored.adcGains[1], 7u);
    EXPECT_EQ(stored.adcOffsets[1], -5);
    EXPECT_FLOAT_EQ(stored.eGain, 1.5f);
    bool persisted = false;
    camera->inspect([&](Firmware& f, TimePoint) { persisted = f.sensor(0)->calibrationPersisted(); });
    EXPECT_TRUE(persisted);
    // And the answer to GetSensorCalibration carries the same word.
    const auto answer = camera->receive(fromHex("a5 04 00 00 00 01 00 00 00 ff")).datagrams.at(0);
    EXPECT_EQ(toHex(answer->extract(10, 14)), "5a 02 00 07 00 00 00 00 05 01 00 00 00 00");
}

// StartExposure for a 2.5 s light frame with RBI pre-flash, readout mode 1, no trigger.
TEST(FirmwareFrames, StartExposureFromTheWireStartsThatExposure)
{
    CameraConfig config = Presets::camera("Brisa");
    config.sensors[0] = Presets::sensor("KAF8300");
    config.sensors[0].readoutModes = 2;
    auto clock = std::make_shared<ManualClock>();
    VirtualCamera camera(config, clock);
    EXPECT_EQ(toHex(camera.receive(fromHex("a5 09 00 00 00 06 00 00 00 00 00 20 40 05 01")).datagrams.at(0)),
              "a5 09 01 00 00 00 00 00 00 00");
    const auto exposure = camera.sensor(0)->lastExposure;
    ASSERT_TRUE(exposure);
    EXPECT_FLOAT_EQ(exposure->request.duration, 2.5f);
    EXPECT_TRUE(exposure->request.lightFrame);
    EXPECT_TRUE(exposure->request.rbiPreflash);
    EXPECT_FALSE(exposure->request.externalTrigger);
    EXPECT_EQ(exposure->request.readoutMode, 1);
    EXPECT_EQ(camera.status().mainSensorState, kv::ISensor::PreShutter);
    // Busy while it runs: a second start, a setting, a subframe.
    EXPECT_EQ(static_cast<uint8_t>(camera.receive(fromHex("a5 09 00 00 00 06 00 00 00 00 00 20 40 05 01")).datagrams.at(0)->data[4]),
              kv::DeviceBusy);
    EXPECT_EQ(static_cast<uint8_t>(camera.receive(fromHex("a5 03 00 00 00 03 00 00 00 04 32 00")).datagrams.at(0)->data[4]),
              kv::DeviceBusy);
    clock->advance(std::chrono::seconds(10));
    EXPECT_EQ(camera.status().mainSensorState, kv::ISensor::ReadyToDownload);
}

} // namespace
