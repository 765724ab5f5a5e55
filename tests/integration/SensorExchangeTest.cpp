#include "protocol/GetSensorInfoResponseBody.h"
#include "unit/protocol/HexBytes.h"
#include "integration/SensorRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using kv::IPromise;
using kv::ISensor;
using sensortest::Outcome;
using sensortest::Rig;
using sensortest::settle;

std::vector<uint8_t> sensorRequests(Rig& rig)
{
    std::vector<uint8_t> types;
    for (const auto& entry : rig.sim->journal().entries())
        if (entry.bodyType() != kv::GetCameraStatus)
            types.push_back(entry.bodyType());
    return types;
}

std::string lastFrame(Rig& rig, kv::BodyType type)
{
    const auto entries = rig.sim->journal().entries(type);
    return entries.empty() ? std::string() : hexbytes::toHex(entries.back().bytes);
}

// ---- Initialisation ---------------------------------------------------------

TEST(SensorInitialize, AsksForInformationCalibrationWhereTheModelHasOneAndSubframe)
{
    struct Case {
        const char* preset;
        std::vector<uint8_t> requests;
    };
    const Case cases[] = {
        {"Brisa", {kv::GetSensorInfo, kv::GetSensorCalibration, kv::GetSubframe}},
        {"Vireo", {kv::GetSensorInfo, kv::GetSensorCalibration, kv::GetSubframe}},
        {"BrisaBC455", {kv::GetSensorInfo, kv::GetSubframe}}, // an IMX455 has no legacy calibration
        {"BrisaCMOS", {kv::GetSensorInfo, kv::GetSubframe}},
        {"MTC", {kv::GetSensorInfo, kv::GetSubframe}},
    };
    for (const Case& c : cases) {
        Rig rig(c.preset);
        Rig::OwnSensor sensor(rig, 0);
        sensor->initialize();
        EXPECT_EQ(sensorRequests(rig), c.requests) << c.preset;
    }
}

TEST(SensorInitialize, StoresWhatTheCameraReports)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    sensor->initialize();
    const ISensor::Info info = sensor->getInfo();
    EXPECT_EQ(info.id, 0u);
    EXPECT_EQ(info.model, ISensor::ICX694);
    EXPECT_EQ(info.pixelsX, 2750u);
    EXPECT_EQ(info.pixelsY, 2200u);
    EXPECT_EQ(info.numberOfChannelsAvailable, 1u);
    EXPECT_EQ(info.frameType, kv::Interline);
    EXPECT_FLOAT_EQ(info.pixelSizeX, 4.54f);
    EXPECT_EQ(info.minCoolerSetpoint, -50);
    EXPECT_EQ(info.maxCoolerSetpoint, 25);
    EXPECT_EQ(info.maxBinX, 4u);
    EXPECT_FLOAT_EQ(info.exposurePrecision, 0.0001f);
    EXPECT_FLOAT_EQ(info.minExposureDuration, 0.0001f);
    const ISensor::Calibration calibration = sensor->getCalibration();
    EXPECT_EQ(calibration.substrateVoltage, 120u);
    EXPECT_EQ(calibration.adcGains[0], 32u);
    EXPECT_EQ(calibration.adcOffsets[0], -12);
    EXPECT_FLOAT_EQ(calibration.eGain, 0.27f);
    const kv::TSubframe subframe = sensor->getSubframe();
    EXPECT_EQ(subframe.width, 2750);
    EXPECT_EQ(subframe.height, 2200);
    EXPECT_EQ(subframe.binX, 1);
    EXPECT_EQ(sensor->getModelName(kv::ICamera::Brisa), "694");
}

TEST(SensorInitialize, CameraSetsUpOneOrTwoSensors)
{
    struct Case {
        size_t reported;
        size_t expected;
    };
    for (const Case c : {Case{1, 1}, Case{2, 2}, Case{3, 2}}) {
        auto config = kvsim::Presets::camera("Brisa");
        config.sensors.resize(c.reported, config.sensors.front());
        Rig rig(config);
        ASSERT_TRUE(rig.camera->initialize()) << c.reported;
        ASSERT_EQ(rig.camera->getSensors().size(), c.expected);
        for (uint32_t id = 0; id < c.expected; ++id) {
            ISensor* sensor = rig.camera->getSensor(id);
            ASSERT_NE(sensor, nullptr);
            EXPECT_EQ(sensor->getSensorId(), id);
            EXPECT_EQ(sensor->getInfo().id, id);
            EXPECT_EQ(sensor->getInfo().model, ISensor::ICX694);
        }
        EXPECT_EQ(rig.camera->getSensor(static_cast<uint32_t>(c.expected)), nullptr);
        // Each sensor asked about itself: its id in the request header.
        size_t ofSecond = 0;
        for (const auto& entry : rig.sim->journal().entries(kv::GetSensorInfo))
            ofSecond += entry.sensorId() == 1;
        EXPECT_EQ(ofSecond, c.expected == 2 ? 1u : 0u);
    }
}

TEST(SensorInitialize, SerialTextNamesTheSensorAndReinitialisationKeepsTheSensors)
{
    Rig rig("BrisaBC455");
    ASSERT_TRUE(rig.camera->initialize());
    char serial[64] = {};
    size_t length = sizeof(serial);
    rig.camera->getSerial(serial, length);
    EXPECT_EQ(std::string(serial, length), rig.sim->serialText());

    ISensor* first = rig.camera->getSensor(0);
    rig.camera->setState(kv::ICamera::Initializing);
    ASSERT_TRUE(rig.camera->initialize());
    EXPECT_EQ(rig.camera->getSensor(0), first);
    EXPECT_EQ(rig.sim->journal().count(kv::GetSensorInfo), 2u);
}

TEST(SensorInitialize, FailureCarriesTheCameraError)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    rig.sim->faults().answerNextWith(kv::DeviceBusy, 1, kv::GetSubframe);
    try {
        sensor->initialize();
        FAIL() << "initialize() succeeded";
    } catch (const std::runtime_error& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Could not query Sensor subframe details\r\n", 0), 0u) << text;
        EXPECT_NE(text.find(kv::errors::getErrorString(kv::DeviceBusy)), std::string::npos) << text;
    }
}

TEST(SensorRequests, WithoutACameraEndpointNothingIsQueued)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    rig.camera->setEndpoint(nullptr);
    for (auto send : {+[](kv::Sensor& s) { s.queryInfo(); }, +[](kv::Sensor& s) { s.startExposure({}); },
                      +[](kv::Sensor& s) { s.setSubframe({}); },
                      +[](kv::Sensor& s) { s.setCalibration(ISensor::EGain, 0, 1); }}) {
        try {
            send(*sensor);
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Camera has no valid endpoint.");
        }
    }
    EXPECT_EQ(rig.sim->journal().entries().size(), 0u);
}

// ---- Settings ---------------------------------------------------------------

TEST(SensorSettings, UnreportedSettingsReadZeroAndTheRecordItsDefaults)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    EXPECT_EQ(sensor->getSetting(ISensor::FanSpeed), 0);
    EXPECT_EQ(sensor->getSetting(ISensor::SoftwareBinMode), 0);
    const ISensor::Settings s = sensor->getSettings();
    EXPECT_EQ(s.rbiPreflash.duration, 400);
    EXPECT_EQ(s.rbiPreflash.flushes, 3);
    EXPECT_TRUE(s.autoFanSpeed);
    EXPECT_TRUE(s.enableStatusLED);
    EXPECT_EQ(s.partialExposureLength, 1);
    EXPECT_FALSE(s.useOverscan);
    EXPECT_EQ(s.fanSpeed, 0);
    EXPECT_EQ(s.shutterPolarity, 0);
}

TEST(SensorSettings, SetSettingCases)
{
    struct Case {
        const char* name;
        ISensor::Setting setting;
        int value;
        IPromise::Status status;
        kv::EStatusCode code;
        const char* error; // whole text, or null to leave unchecked
        bool sent;
    };
    const auto binMode = ISensor::SoftwareBinMode;
    const Case cases[] = {
        {"fan speed", ISensor::FanSpeed, 50, IPromise::Complete, kv::Success, nullptr, true},
        {"software bin mode 1", binMode, 1, IPromise::Complete, kv::Success, "", false},
        {"software bin mode 2", binMode, 2, IPromise::Error, kv::InvalidParameter,
         "Requested software binning mode was invalid. Got=2, Expected=[0,2)", false},
        {"software bin mode -1", binMode, -1, IPromise::Error, kv::InvalidParameter,
         "Requested software binning mode was invalid. Got=-1, Expected=[0,2)", false},
        {"setting 16 goes to the camera", ISensor::SettingCount, 0, IPromise::Error, kv::InvalidParameter, nullptr,
         true},
        {"setting 17", static_cast<ISensor::Setting>(17), 0, IPromise::Error, kv::InvalidParameter,
         "Requested setting is not supported by this sensor.", false},
        {"value the camera refuses", ISensor::UseOverscan, 2, IPromise::Error, kv::InvalidParameter, nullptr, true},
        {"value wider than 16 bits", ISensor::RBIPreflashDuration, 70000, IPromise::Error, kv::InvalidParameter,
         "Requested setting value was invalid. Got=70000, Expected=[0,65535]", false},
        {"negative value", ISensor::FanSpeed, -1, IPromise::Error, kv::InvalidParameter, nullptr, false},
    };
    for (const Case& c : cases) {
        Rig rig("Brisa");
        Rig::OwnSensor sensor(rig, 0);
        const Outcome outcome = settle(sensor->setSetting(c.setting, c.value));
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.code, c.code) << c.name;
        if (c.error) {
            EXPECT_EQ(outcome.error, c.error) << c.name;
        }
        EXPECT_EQ(rig.sim->journal().count(kv::SetSensorSettings), c.sent ? 1u : 0u) << c.name;
    }
}

TEST(SensorSettings, AnswersFillTheSettingsAndTheBinModeStaysOnTheHost)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    ASSERT_EQ(settle(sensor->setSetting(ISensor::FanSpeed, 50)).status, IPromise::Complete);
    EXPECT_EQ(lastFrame(rig, kv::SetSensorSettings), "a5 03 00 00 00 03 00 00 00 04 32 00");
    EXPECT_EQ(sensor->getSetting(ISensor::FanSpeed), 50);
    EXPECT_EQ(sensor->getSettings().fanSpeed, 50);
    EXPECT_EQ(rig.sim->sensor(0)->settings.at(ISensor::FanSpeed), 50);

    ASSERT_EQ(settle(sensor->querySetting(ISensor::AutoFanMode)).status, IPromise::Complete);
    EXPECT_EQ(sensor->getSetting(ISensor::AutoFanMode), 1);
    EXPECT_EQ(sensor->getSettingsMap().size(), 2u);

    ASSERT_EQ(settle(sensor->setSetting(ISensor::SoftwareBinMode, 1)).status, IPromise::Complete);
    EXPECT_EQ(sensor->getSoftwareBinningMode(), ISensor::Average);
    // A code wider than the setting byte would ask for another setting.
    EXPECT_EQ(settle(sensor->querySetting(ISensor::SoftwareBinMode)).code, kv::InvalidParameter);
    EXPECT_EQ(rig.sim->journal().count(kv::GetSensorSettings), 1u);
}

// ---- Calibration ------------------------------------------------------------

TEST(SensorCalibration, ByKeyBeforeAndAfterAnswers)
{
    Rig rig("BrisaBC455");
    Rig::OwnSensor sensor(rig, 0);
    EXPECT_EQ(sensor->getCalibration(ISensor::EGain, 0), 2147483647u);

    ASSERT_EQ(settle(sensor->setCalibration(ISensor::EGain, 1, 1234)).status, IPromise::Complete);
    EXPECT_EQ(lastFrame(rig, kv::SetHiddenSensorSetting), "a5 26 00 00 00 06 00 00 00 00 01 d2 04 00 00");
    EXPECT_EQ(sensor->getCalibration(ISensor::EGain, 1), 1234u);
    EXPECT_EQ(sensor->getCalibration(ISensor::EGain, 0), 2147483647u);

    ASSERT_EQ(settle(sensor->queryCalibration(ISensor::DriftStabilization, 2)).status, IPromise::Complete);
    EXPECT_EQ(lastFrame(rig, kv::GetHiddenSensorSetting), "a5 25 00 00 00 02 00 00 00 01 02");
    EXPECT_EQ(sensor->getCalibration(ISensor::DriftStabilization, 2), 0u);
    EXPECT_EQ(sensor->getCalibrationMap().size(), 2u);
}

TEST(SensorCalibration, ByKeyValuesACameraCannotTake)
{
    struct Case {
        const char* name;
        ISensor::CalibrationKey key;
        int index;
        bool sent;
    };
    const Case cases[] = {
        {"key beyond the keys", ISensor::CalibrationCount, 0, true},
        {"index beyond the camera's", ISensor::EGain, 16, true},
        {"negative index", ISensor::EGain, -1, false},
        {"index wider than its byte", ISensor::EGain, 256, false},
    };
    for (const Case& c : cases) {
        Rig rig("BrisaBC455");
        Rig::OwnSensor sensor(rig, 0);
        const Outcome read = settle(sensor->queryCalibration(c.key, c.index));
        const Outcome write = settle(sensor->setCalibration(c.key, c.index, 5));
        EXPECT_EQ(read.status, IPromise::Error) << c.name;
        EXPECT_EQ(read.code, kv::InvalidParameter) << c.name;
        EXPECT_EQ(write.code, kv::InvalidParameter) << c.name;
        EXPECT_EQ(rig.sim->journal().count(kv::GetHiddenSensorSetting), c.sent ? 1u : 0u) << c.name;
        EXPECT_EQ(sensor->getCalibration(c.key, c.index), 2147483647u) << c.name;
    }
}

TEST(SensorCalibration, LegacyWriteSendsSignMagnitudeOffsets)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    sensor->initialize();
    ISensor::Calibration c;
    c.substrateVoltage = 120;
    c.channelsInUse = 2;
    c.adcGains[0] = 32;
    c.adcGains[1] = 33;
    c.adcOffsets[0] = -5;
    c.adcOffsets[1] = 7;
    c.eGain = 0.5f;
    ASSERT_EQ(settle(sensor->SetCalibration(c, true)).status, IPromise::Complete);
    // -5 travels as 0x105, 7 as 0x007.
    EXPECT_EQ(lastFrame(rig, kv::SetSensorCalibration),
              "a5 05 00 00 00 13 00 00 00 78 02 20 21 00 00 05 01 07 00 00 00 00 00 00 00 00 3f 01");
    const auto stored = rig.sim->sensor(0)->calibration;
    EXPECT_EQ(stored.adcOffsets[0], -5);
    EXPECT_EQ(stored.adcOffsets[1], 7);
    // The answer is empty: the sensor keeps what it read before.
    EXPECT_EQ(sensor->getCalibration().adcOffsets[0], -12);
    ASSERT_EQ(settle(sensor->queryCalibration()).status, IPromise::Complete);
    EXPECT_EQ(sensor->getCalibration().adcOffsets[0], -5);
}

// ---- Readout modes and gains ------------------------------------------------

TEST(SensorTables, ReadoutModesByCameraAndSensorModel)
{
    struct Case {
        const char* preset;
        const char* modes;
    };
    const Case cases[] = {
        {"Brisa", "Normal\nFast Mode\nInternal IR LED\nCircular Buffer\nFlash Mode"},
        {"Vireo", "Normal"},
        {"VireoE", "Normal"}, // no table for the camera model
        {"BrisaCMOS", "HDR\nHigh Gain\nLow Gain\nHigh Gain Tandem"},
        {"BrisaBC2020", "HDR\nHigh Gain\nLow Gain\nHigh Gain Tandem\n2-CMS\n2-CMS Tandem"},
        {"MTC", "Low Gain\nMedium Gain\nHigh Gain\nLow Gain Tandem\nMedium Gain Tandem\nHigh Gain Tandem\n"
                "Low Gain 8-bit\nMedium Gain 8-bit\nHigh Gain 8-bit"},
        {"VireoC", "Normal"},
        {"BrisaBC455", "High Gain\nLow Gain"},
        {"BrisaBC461", "Normal"}, // no table for the camera model
    };
    for (const Case& c : cases) {
        Rig rig(c.preset);
        Rig::OwnSensor sensor(rig, 0);
        sensor->initialize();
        char text[256];
        std::memset(text, '#', sizeof(text));
        size_t length = sizeof(text);
        sensor->getReadoutModes(text, length);
        EXPECT_EQ(std::string(text, length), c.modes) << c.preset;
        EXPECT_EQ(text[length], '#') << "no terminator is added";
    }
}

TEST(SensorTables, ReadoutModesIntoAShortOrMissingBuffer)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    sensor->initialize();
    char text[8];
    std::memset(text, '#', sizeof(text));
    size_t length = 5;
    sensor->getReadoutModes(text, length);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(std::string(text, 6), "Norma#");
    length = 10;
    sensor->getReadoutModes(nullptr, length);
    EXPECT_EQ(length, 0u);
}

TEST(SensorTables, AdjustableGainsByModel)
{
    struct Case {
        const char* preset;
        uint32_t count0, count1;
        int first1, last1;
        uint32_t default0, default1;
    };
    const Case cases[] = {
        {"BrisaCMOS", 32, 33, 40, 660, 1650, 250},
        {"BrisaBC2020", 25, 25, 100, 1300, 1050, 150},
        {"BrisaBC455", 28, 28, 100, 6300, 300, 100},
        {"Brisa", 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Rig rig(c.preset);
        Rig::OwnSensor sensor(rig, 0);
        sensor->initialize();
        EXPECT_EQ(sensor->getAdjustableGainCount(ISensor::eAdjustableADCGain0), c.count0) << c.preset;
        EXPECT_EQ(sensor->getAdjustableGainCount(ISensor::eAdjustableADCGain1), c.count1) << c.preset;
        EXPECT_EQ(sensor->getAdjustableGainCount(ISensor::eAdjustableADCGainCount), 0u) << c.preset;
        EXPECT_EQ(sensor->getDefaultAdjustableGain(ISensor::eAdjustableADCGain0), c.default0) << c.preset;
        EXPECT_EQ(sensor->getDefaultAdjustableGain(ISensor::eAdjustableADCGain1), c.default1) << c.preset;
        std::vector<int> gains(64, -1);
        uint32_t count = static_cast<uint32_t>(gains.size());
        sensor->getAdjustableGains(ISensor::eAdjustableADCGain1, gains.data(), count);
        EXPECT_EQ(count, c.count1) << c.preset;
        if (count > 0) {
            EXPECT_EQ(gains.front(), c.first1) << c.preset;
            EXPECT_EQ(gains[count - 1], c.last1) << c.preset;
        }
        EXPECT_EQ(gains[count], -1) << c.preset;
    }
}

TEST(SensorTables, AdjustableGainsNeverWritePastTheCallersRoom)
{
    Rig rig("BrisaBC455");
    Rig::OwnSensor sensor(rig, 0);
    sensor->initialize();
    int gains[4] = {-1, -1, -1, -1};
    uint32_t count = 3;
    sensor->getAdjustableGains(ISensor::eAdjustableADCGain0, gains, count);
    EXPECT_EQ(count, 28u); // the length of the list
    EXPECT_EQ(gains[0], 100);
    EXPECT_EQ(gains[2], 150);
    EXPECT_EQ(gains[3], -1);
    count = 28;
    sensor->getAdjustableGains(ISensor::eAdjustableADCGain0, nullptr, count);
    EXPECT_EQ(count, 28u);
}

TEST(SensorTables, SoftwareBinningFloorsOfTheInformation)
{
    Rig rig("BrisaBC2020"); // the camera reports a maximum binning of 1
    Rig::OwnSensor sensor(rig, 0);
    sensor->initialize();
    const auto hardware = sensor->getMaxHardwareBinningXY();
    EXPECT_EQ(hardware.first, 2u);
    EXPECT_EQ(hardware.second, 2u);
    EXPECT_EQ(sensor->getInfo().maxBinX, 4u);
    EXPECT_EQ(sensor->getInfo().maxBinY, 4u);

    Rig brisa("Brisa");
    Rig::OwnSensor ccd(brisa, 0);
    ccd->initialize();
    EXPECT_EQ(ccd->getInfo().maxBinX, 4u);
    EXPECT_EQ(ccd->getMaxHardwareBinningXY().first, 4u);
}

// ---- Response dispatch ------------------------------------------------------

TEST(SensorDispatch, AnswerForAnotherSensorOrFromAnotherDeviceIsNotClaimed)
{
    auto config = kvsim::Presets::camera("Brisa");
    config.sensors.push_back(kvsim::Presets::sensor("KAF8300"));
    Rig rig(config);
    Rig::OwnSensor first(rig, 0);
    Rig::OwnSensor second(rig, 1);

    const kv::IOBufferPtr request = [&] {
        kv::V1RequestMessage message(kv::GetSensorInfo, kv::V1None);
        message.setSensorId(1);
        message.updateEndpoint(rig.endpoint, -1);
        return message.getBuffer();
    }();
    const kvsim::Reply reply = rig.sim->receive(request);
    ASSERT_EQ(reply.datagrams.size(), 1u);
    kv::V1ResponseMessage answer(kv::GetSensorInfo, kv::V1None);
    answer.setBuffer(reply.datagrams.front());
    ASSERT_TRUE(answer.validate());

    EXPECT_FALSE(first->receiveMessage(answer, rig.endpoint, nullptr));
    EXPECT_EQ(first->getInfo().model, ISensor::InvalidSensorModel);
    auto stranger = std::make_shared<kv::NetEndpoint>("127.0.0.3", 6363, 0);
    EXPECT_FALSE(second->receiveMessage(answer, stranger, nullptr));
    EXPECT_FALSE(second->receiveMessage(answer, nullptr, nullptr));
    EXPECT_TRUE(second->receiveMessage(answer, rig.endpoint, nullptr));
    EXPECT_EQ(second->getInfo().model, ISensor::KAF8300);
    EXPECT_EQ(second->getInfo().id, 1u);
}

TEST(SensorDispatch, AnswerWithoutItsBodyIsRefusedAndChangesNothing)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    struct Case {
        kv::BodyType type;
        const char* error;
    };
    for (const Case c : {Case{kv::GetSensorInfo, "Invalid message structure."},
                         Case{kv::GetSubframe, "Invalid message structure."},
                         Case{kv::GetSensorSettings, "Invalid response body."},
                         Case{kv::GetHiddenSensorSetting, "Invalid message structure."}}) {
        // A success header that announces no body.
        char frame[64];
        std::snprintf(frame, sizeof frame, "a5 %02x 01 00 00 00 00 00 00 00", static_cast<unsigned>(c.type));
        kv::V1ResponseMessage answer(c.type, kv::V1None);
        answer.setBuffer(hexbytes::fromHex(frame));
        try {
            sensor->receiveMessage(answer, rig.endpoint, nullptr);
            ADD_FAILURE() << "claimed " << frame;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.error) << frame;
        }
    }
    EXPECT_EQ(sensor->getInfo().model, ISensor::InvalidSensorModel);
    EXPECT_TRUE(sensor->getSettingsMap().empty());
    EXPECT_FALSE(sensor->receiveMessage(kv::V1ResponseMessage(kv::GetCameraStatus, kv::V1None), rig.endpoint, nullptr));
}

// ---- Subframe ---------------------------------------------------------------

kv::TSubframe sub(int32_t top, int32_t left, int32_t width, int32_t height, int32_t binX, int32_t binY)
{
    kv::TSubframe s;
    s.top = top;
    s.left = left;
    s.width = width;
    s.height = height;
    s.binX = binX;
    s.binY = binY;
    return s;
}

TEST(SensorSubframe, SentAsAskedAndReadBackOnlyByQuery)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    sensor->initialize();
    ASSERT_EQ(settle(sensor->setSubframe(sub(10, 20, 100, 50, 2, 2))).status, IPromise::Complete);
    EXPECT_EQ(lastFrame(rig, kv::SetSubframe), "a5 08 00 00 00 0a 00 00 00 14 00 0a 00 64 00 32 00 02 02");
    EXPECT_EQ(sensor->getUserSubframe().left, 20);
    EXPECT_EQ(sensor->getCameraSubframe().width, 100);
    EXPECT_EQ(sensor->getSubframe().width, 2750); // the camera's last report
    ASSERT_EQ(settle(sensor->querySubframe()).status, IPromise::Complete);
    const kv::TSubframe reported = sensor->getSubframe();
    EXPECT_EQ(reported.top, 10);
    EXPECT_EQ(reported.left, 20);
    EXPECT_EQ(reported.width, 100);
    EXPECT_EQ(reported.height, 50);
    EXPECT_EQ(reported.binX, 2);
}

TEST(SensorSubframe, AdjustedForTheSensorBeforeSending)
{
    Rig rig("BrisaCMOS"); // GSENSE4040: whole unbinned rows
    Rig::OwnSensor sensor(rig, 0);
    sensor->initialize();
    ASSERT_EQ(settle(sensor->setSubframe(sub(100, 200, 1000, 500, 2, 2))).status, IPromise::Complete);
    EXPECT_EQ(lastFrame(rig, kv::SetSubframe), "a5 08 00 00 00 0a 00 00 00 00 00 c8 00 00 10 e8 03 01 01");
    EXPECT_EQ(sensor->getUserSubframe().binX, 2);
    EXPECT_EQ(sensor->getCameraSubframe().top, 200);
    EXPECT_EQ(rig.sim->sensor(0)->subframe.height, 1000);
}

TEST(SensorSubframe, ExtendedRequestCarriesTheMtu)
{
    Rig rig("BrisaBC455");
    ASSERT_TRUE(rig.camera->initialize()); // learns eSupportsFibreXferProtocol
    ISensor* sensor = rig.camera->getSensor(0);
    ASSERT_EQ(settle(sensor->setSubframe(sub(0, 0, 9576, 6388, 1, 1))).status, IPromise::Complete);
    EXPECT_EQ(lastFrame(rig, kv::SetSubframeExt),
              "a5 2b 00 00 00 10 00 00 00 00 00 00 00 68 25 f4 18 01 01 36 23 00 00 34 12");
}

TEST(SensorSubframe, SubframesACameraCannotTake)
{
    struct Case {
        const char* name;
        kv::TSubframe subframe;
        bool sent; // refused by the camera rather than before sending
    };
    const Case cases[] = {
        {"zero width", sub(0, 0, 0, 100, 1, 1), true},
        {"zero binning", sub(0, 0, 100, 100, 0, 1), true},
        {"binning beyond the sensor's", sub(0, 0, 100, 100, 5, 5), true},
        {"past the right edge", sub(0, 2700, 100, 100, 1, 1), true},
        {"larger than the sensor", sub(0, 0, 5000, 5000, 1, 1), true},
        {"negative offset", sub(0, -1, 100, 100, 1, 1), false},
        {"negative height", sub(0, 0, 100, -100, 1, 1), false},
        {"wider than 16 bits", sub(0, 0, 70000, 100, 1, 1), false},
        {"binning wider than 8 bits", sub(0, 0, 100, 100, 300, 300), false},
    };
    for (const Case& c : cases) {
        Rig rig("Brisa");
        Rig::OwnSensor sensor(rig, 0);
        sensor->initialize();
        const Outcome outcome = settle(sensor->setSubframe(c.subframe));
        EXPECT_EQ(outcome.status, IPromise::Error) << c.name;
        EXPECT_EQ(outcome.code, kv::InvalidParameter) << c.name;
        EXPECT_EQ(rig.sim->journal().count(kv::SetSubframe), c.sent ? 1u : 0u) << c.name;
        EXPECT_EQ(rig.sim->sensor(0)->subframe.width, 2750) << c.name;
    }
}

// ---- Exposures --------------------------------------------------------------

TEST(SensorExposure, RunsToReadyToDownloadInCameraTime)
{
    Rig rig("Brisa");
    ASSERT_TRUE(rig.camera->initialize());
    auto* sensor = static_cast<kv::Sensor*>(rig.camera->getSensor(0));
    kv::TExposureOptions options;
    options.duration = 1.0f;
    const auto before = std::chrono::system_clock::now();
    ASSERT_EQ(settle(sensor->startExposure(options)).status, IPromise::Complete);
    const auto after = std::chrono::system_clock::now();
    EXPECT_GE(sensor->getExposureStartTimestamp(), before);
    EXPECT_LE(sensor->getExposureStartTimestamp(), after);
    EXPECT_FLOAT_EQ(sensor->getLastExposureOptions().duration, 1.0f);
    EXPECT_EQ(lastFrame(rig, kv::StartExposure), "a5 09 00 00 00 06 00 00 00 00 00 80 3f 01 00");

    ASSERT_EQ(settle(rig.camera->queryStatus()).status, IPromise::Complete);
    EXPECT_NE(rig.camera->getStatus().mainSensorState, ISensor::ReadyToDownload);
    rig.clock->advance(std::chrono::seconds(3));
    ASSERT_EQ(settle(rig.camera->queryStatus()).status, IPromise::Complete);
    EXPECT_EQ(rig.camera->getStatus().mainSensorState, ISensor::ReadyToDownload);
}

TEST(SensorExposure, FrameOfARbiLightFrame)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    kv::TExposureOptions options;
    options.duration = 2.5f;
    options.isLightFrame = true;
    options.useRBIPreflash = true;
    options.readoutMode = 1;
    options.binX = 3; // binning travels with the subframe
    // The ICX694 has no RBI pre-flash: the camera says so.
    EXPECT_EQ(settle(sensor->startExposure(options)).code, kv::FeatureNotSupported);
    EXPECT_EQ(lastFrame(rig, kv::StartExposure), "a5 09 00 00 00 06 00 00 00 00 00 20 40 05 01");
}

TEST(SensorExposure, ExposuresACameraCannotTake)
{
    struct Case {
        const char* name;
        float duration;
        uint32_t readoutMode;
        kv::EStatusCode code;
        bool sent;
    };
    const Case cases[] = {
        {"negative duration", -1.0f, 0, kv::InvalidParameter, true},
        {"no duration", std::numeric_limits<float>::quiet_NaN(), 0, kv::InvalidParameter, true},
        {"longer than the sensor takes", 1e9f, 0, kv::InvalidParameter, true},
        {"readout mode the sensor lacks", 1.0f, 5, kv::InvalidParameter, true},
        {"readout mode wider than its byte", 1.0f, 256, kv::InvalidParameter, false},
    };
    for (const Case& c : cases) {
        Rig rig("Brisa");
        Rig::OwnSensor sensor(rig, 0);
        kv::TExposureOptions options;
        options.duration = c.duration;
        options.readoutMode = c.readoutMode;
        const Outcome outcome = settle(sensor->startExposure(options));
        EXPECT_EQ(outcome.status, IPromise::Error) << c.name;
        EXPECT_EQ(outcome.code, c.code) << c.name;
        EXPECT_EQ(rig.sim->journal().count(kv::StartExposure), c.sent ? 1u : 0u) << c.name;
        EXPECT_EQ(rig.sim->sensor(0)->state, ISensor::Idle) << c.name;
    }
}

TEST(SensorExposure, SecondStartWhileExposingIsBusyAndAbortEndsIt)
{
    Rig rig("Brisa");
    ASSERT_TRUE(rig.camera->initialize());
    auto* sensor = static_cast<kv::Sensor*>(rig.camera->getSensor(0));
    kv::TExposureOptions options;
    options.duration = 10.0f;
    ASSERT_EQ(settle(sensor->DebugStartExposure(7, "LIGHT", options)).status, IPromise::Complete);
    rig.clock->advance(std::chrono::seconds(1));
    EXPECT_EQ(settle(sensor->startExposure(options)).code, kv::DeviceBusy);

    const size_t before = rig.sim->journal().entries().size();
    ASSERT_EQ(settle(sensor->abortExposure()).status, IPromise::Complete);
    const auto entries = rig.sim->journal().entries();
    ASSERT_EQ(entries.size(), before + 2);
    EXPECT_EQ(entries[before].bodyType(), kv::GetCameraStatus);
    EXPECT_EQ(hexbytes::toHex(entries[before + 1].bytes), "a5 0a 00 00 00 00 00 00 00");
    EXPECT_EQ(rig.sim->sensor(0)->state, ISensor::Idle);
}

TEST(SensorRequests, ShutterAndMetadataKeys)
{
    Rig rig("Brisa");
    Rig::OwnSensor sensor(rig, 0);
    ASSERT_EQ(settle(sensor->SetShutter(kv::OpenShutter)).status, IPromise::Complete);
    EXPECT_EQ(lastFrame(rig, kv::ShutterControl), "a5 0b 00 00 00 01 00 00 00 01");
    const Outcome keys = settle(sensor->queryMetadataKeys());
    EXPECT_EQ(keys.code, kv::FeatureNotSupported);
    EXPECT_EQ(keys.error, "Camera does not support metadata keys.");
    EXPECT_FALSE(sensor->hasMetadataKeys());
}

TEST(SensorRequests, HandlePromiseReportsErrorsToTheCallback)
{
    EXPECT_FALSE(kv::Sensor::handlePromise(nullptr, nullptr));
    kv::EStatusCode code = kv::Success;
    std::string text;
    const auto record = [&](kv::EStatusCode c, const std::string& t) {
        code = c;
        text = t;
    };
    EXPECT_FALSE(kv::Sensor::handlePromise(
        kv::Promise::Completed(IPromise::Error, kv::FeatureNotSupported, "not here"), record));
    EXPECT_EQ(code, kv::FeatureNotSupported);
    EXPECT_EQ(text, "not here");
    text.clear();
    EXPECT_TRUE(kv::Sensor::handlePromise(kv::Promise::Completed(IPromise::Complete, kv::Success, ""), record));
    EXPECT_TRUE(text.empty());
}

} // namespace
