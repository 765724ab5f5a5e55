#include "KVSerialNumbers/SerialNumbers.h"
#include "firmware/ConfigFile.h"
#include "firmware/ManualClock.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "unit/protocol/HexBytes.h"
#include "unit/sim/SimFrames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace kvsim;
using namespace std::chrono_literals;

namespace {

std::shared_ptr<VirtualCamera> brisa()
{
    return VirtualCamera::fromPreset("Brisa", std::make_shared<ManualClock>());
}

const auto c_info = [] { return simframes::request(kv::GetCameraInfo); };
const auto c_status = [] { return simframes::request(kv::GetCameraStatus); };

uint8_t statusOf(const Reply& reply)
{
    return static_cast<uint8_t>(reply.datagrams.back()->data[4]);
}

TEST(Faults, RefusesTheNextRequestsWithoutCarryingThemOut)
{
    auto camera = brisa();
    camera->faults().answerNextWith(kv::BadChecksum, 2);
    EXPECT_EQ(hexbytes::toHex(camera->receive(c_info()).datagrams.at(0)), "a5 00 01 00 09 00 00 00 00 00");
    EXPECT_EQ(statusOf(camera->receive(c_status())), kv::BadChecksum);
    EXPECT_EQ(statusOf(camera->receive(c_info())), kv::Success);

    // Only requests of one body type.
    camera->faults().answerNextWith(kv::DeviceBusy, 1, kv::GetCameraStatus);
    EXPECT_EQ(statusOf(camera->receive(c_info())), kv::Success);
    EXPECT_EQ(statusOf(camera->receive(c_status())), kv::DeviceBusy);
    EXPECT_EQ(statusOf(camera->receive(c_status())), kv::Success);
}

TEST(Faults, SilenceAndLossKeepTheJournal)
{
    auto camera = brisa();
    camera->faults().setSilent(true);
    EXPECT_TRUE(camera->receive(c_info()).datagrams.empty());
    camera->faults().setSilent(false);
    camera->faults().dropAnswers(1.0);
    EXPECT_TRUE(camera->receive(c_info()).datagrams.empty());
    camera->faults().clear();
    EXPECT_EQ(camera->receive(c_info()).datagrams.size(), 1u);
    EXPECT_EQ(camera->journal().count(kv::GetCameraInfo), 3u);
}

TEST(Faults, LossIsTheFractionAskedAndRepeatsWithItsSeed)
{
    auto lost = [](uint64_t seed) {
        FaultSettings settings;
        settings.dropAnswers = 0.25;
        settings.seed = seed;
        Faults faults(settings);
        std::vector<bool> pattern;
        for (int i = 0; i < 4000; ++i)
            pattern.push_back(faults.decide(kv::GetCameraStatus).dropAnswer);
        return pattern;
    };
    const auto first = lost(7);
    EXPECT_EQ(first, lost(7));
    EXPECT_NE(first, lost(8));
    const auto count = std::count(first.begin(), first.end(), true);
    EXPECT_GT(count, 900);
    EXPECT_LT(count, 1100);
}

TEST(Faults, StrayDatagramsComeBeforeTheAnswerAndAreNoValidFrame)
{
    auto camera = brisa();
    camera->faults().sendForeignBefore(1);
    camera->faults().sendTruncatedBefore(2);
    camera->faults().delayAnswers(30ms);
    const Reply reply = camera->receive(c_info());
    ASSERT_EQ(reply.datagrams.size(), 4u);
    EXPECT_EQ(reply.delay, 30ms);
    EXPECT_NE(static_cast<uint8_t>(reply.datagrams[0]->data[0]), kv::Cmd);
    const auto& answer = reply.datagrams[3];
    for (int i = 1; i <= 2; ++i) {
        const auto& cut = reply.datagrams[i];
        EXPECT_LT(cut->length, answer->length);
        EXPECT_TRUE(std::equal(cut->data, cut->data + cut->length, answer->data));
        EXPECT_FALSE(simframes::response(kv::GetCameraInfo, cut)->validate());
    }
    EXPECT_TRUE(simframes::response(kv::GetCameraInfo, answer)->validate());
}

TEST(Journal, RecordsBytesTimeAndSourceAndWaitsWithADeadline)
{
    auto clock = std::make_shared<ManualClock>();
    auto camera = VirtualCamera::fromPreset("Brisa", clock);
    const TimePoint before = clock->now();
    camera->receive(c_info(), "127.0.0.1:6363");
    clock->advance(5s);
    camera->receive(simframes::request(kv::AbortExposure, {}, 0), "127.0.0.1:6363");
    const auto entries = camera->journal().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(hexbytes::toHex(entries[0].bytes), "a5 00 00 00 00 00 00 00 00");
    EXPECT_EQ(entries[0].source, "127.0.0.1:6363");
    EXPECT_EQ(entries[0].time, before);
    EXPECT_EQ(entries[1].time - entries[0].time, 5s);
    EXPECT_EQ(entries[1].bodyType(), kv::AbortExposure);

    EXPECT_FALSE(camera->journal().waitForCount(3, 10ms));
    std::thread late([&] { camera->receive(c_status()); });
    EXPECT_TRUE(camera->journal().waitForCount(kv::GetCameraStatus, 1, 5000ms));
    late.join();
}

TEST(Journal, DropsTheOldestBeyondItsCapacity)
{
    Journal journal(2);
    for (uint8_t type : {1, 2, 3})
        journal.record({TimePoint(), hexbytes::fromHex(std::string("a5 0") + char('0' + type)), ""});
    const auto entries = journal.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].bodyType(), 2);
    EXPECT_EQ(entries[1].bodyType(), 3);
}

// Every preset is a camera the library can identify: its serial text names
// its model, and its sensor's model byte means a sensor for that model.
TEST(Presets, EveryPresetIsAConsistentCamera)
{
    const auto names = Presets::names();
    for (const char* required : {"Brisa", "BrisaCMOS", "BrisaBC2020", "BrisaBC455", "BrisaBC461"})
        EXPECT_NE(std::find(names.begin(), names.end(), required), names.end()) << required;
    for (const auto& name : names) {
        const CameraConfig config = Presets::camera(name);
        ASSERT_FALSE(config.sensors.empty()) << name;
        const auto sensor = kv::GetSensorModel(config.model, config.sensors[0].modelId);
        EXPECT_NE(sensor, kv::ISensor::InvalidSensorModel) << name;
        const auto decoder = kv::SerialDecoderFactory::create(config.model, sensor, config.serialNumber);
        ASSERT_TRUE(decoder) << name;
        kv::ICamera::Model model;
        kv::ISensor::Model fromText;
        EXPECT_TRUE(kv::ISerialDecoder::getCameraDescriptor(decoder->to_string(), model, fromText)) << name;
        EXPECT_EQ(model, config.model) << name;
        EXPECT_EQ(fromText, sensor) << name;
        EXPECT_EQ(config.capabilities.size(), static_cast<size_t>(kv::ICamera::CameraCapabilityCount)) << name;
    }
    EXPECT_THROW(Presets::camera("Nikon"), std::invalid_argument);
    EXPECT_EQ(Presets::camera("brisabc455").model, kv::ICamera::BrisaBC455);
}

TEST(ConfigFile, ChangesThePresetItStartsFrom)
{
    const CameraConfig c = ConfigFile::parse(R"(
preset: BrisaBC455
serial: BC455C-000321-09
firmware: 28
sensors:
  - pixels: [6000, 4000]
    maxBin: 2
  - preset: ICX694
capabilities: { eSupportsWiFi: true, eSupportsFan: false }
options: { 0: 0 }
wifi: { ssid: dome, mode: WPA2 }
filterWheel: { id: 140, children: [48, 56] }
adaptiveOptics: { model: TT8 }
thermal: { ambient: 5 }
faults: { dropAnswers: 0.5, answerDelayMs: 20, status: DeviceBusy, statusCount: 3 }
)");
    EXPECT_EQ(c.model, kv::ICamera::BrisaBC455);
    EXPECT_EQ(c.serialNumber, ConfigFile::serialFromText("BC455C-000321-09"));
    EXPECT_EQ(c.firmwareRevision, 28);
    ASSERT_EQ(c.sensors.size(), 2u);
    EXPECT_EQ(c.sensors[0].name, "IMX455"); // from the preset's sensor
    EXPECT_EQ(c.sensors[0].pixelsX, 6000);
    EXPECT_EQ(c.sensors[0].maxBinY, 2);
    EXPECT_EQ(c.sensors[1].modelId, 2);
    EXPECT_TRUE(c.capabilities.at(kv::ICamera::eSupportsWiFi));
    EXPECT_FALSE(c.capabilities.at(kv::ICamera::eSupportsFan));
    EXPECT_EQ(c.options, (std::map<uint8_t, int16_t>{{0, 0}}));
    EXPECT_EQ(c.wifi.mode, kv::WPA2);
    EXPECT_EQ(c.filterWheel.hardwareId, 140);
    EXPECT_EQ(c.filterWheel.children, (std::vector<uint8_t>{48, 56}));
    EXPECT_EQ(c.adaptiveOptics.model, kv::IAO::TT8);
    EXPECT_FLOAT_EQ(c.thermal.ambient, 5.0f);
    EXPECT_DOUBLE_EQ(c.faults.dropAnswers, 0.5);
    EXPECT_EQ(c.faults.answerDelay, 20ms);
    EXPECT_EQ(c.faults.status, kv::DeviceBusy);
    EXPECT_EQ(c.faults.statusCount, 3u);
}

TEST(ConfigFile, RefusesWhatDescribesNoCamera)
{
    for (const char* text : {"preset: Nikon", "serial: XX-1", "capabilities: { eSupportsTeleport: true }",
                             "sensors: 3", "sensors: [{ pixels: [0, 10] }]", "firmware: many", "- 1\n- 2",
                             "faults: { status: Sleepy }", "wifi: { mode: WPA9 }", "filterWheel: { id: 300 }",
                             "sensors: [{ coolerSetpoint: [-200, 10] }]", "{ unbalanced"}) {
        EXPECT_THROW(ConfigFile::parse(text), std::runtime_error) << text;
    }
    EXPECT_THROW(ConfigFile::load("/nonexistent/camera.yml"), std::runtime_error);
    EXPECT_EQ(ConfigFile::serialFromText("808386602"), 808386602u);
    EXPECT_EQ(ConfigFile::serialFromText("BR694M-24011542"), 808386602u);
    EXPECT_EQ(ConfigFile::statusFromName("129"), kv::DeviceBusy);
}

} // namespace
