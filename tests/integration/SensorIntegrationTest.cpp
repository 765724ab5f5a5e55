// Sensors through the public interface against virtual cameras on loopback:
// getGateway, ICamera, ISensor and IPromise only, then the camera's journal.

#include <kvapi/kvapi.h>
#include <kvapi/kvapi_factory.h>

#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "udp/SimServer.h"
#include "integration/PromiseOutcome.h"
#include "unit/logging/LogFiles.h"
#include "unit/protocol/HexBytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

using kv::IPromise;
using kv::ISensor;

constexpr const char* c_address = "127.0.0.2";

using promisetest::Outcome;
using promisetest::settle;

// A virtual camera on 127.0.0.2 and an initialised ICamera for it.
class SensorOverUdp : public ::testing::Test {
protected:
    void start(const kvsim::CameraConfig& config)
    {
        m_sim = std::make_shared<kvsim::VirtualCamera>(config);
        m_server = std::make_unique<kvsim::SimServer>(m_sim, c_address);
        m_server->start();
        m_gateway = getGateway();
        ASSERT_NE(m_gateway, nullptr);
        m_gateway->queryNetCamera(c_address, kvsim::SimServer::c_defaultPort);
        m_camera = m_gateway->getNetCamera(c_address, kvsim::SimServer::c_defaultPort);
        ASSERT_NE(m_camera, nullptr);
        ASSERT_TRUE(m_camera->initialize());
    }
    void start(const std::string& preset) { start(kvsim::Presets::camera(preset)); }

    void TearDown() override
    {
        if (m_gateway)
            deleteGateway(m_gateway);
        if (m_server)
            m_server->stop();
    }

    // Polls the camera status until the sensor reports `state`.
    bool waitForState(uint32_t sensorId, ISensor::Status state, std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            if (settle(m_camera->queryStatus()).status == IPromise::Complete) {
                const kv::ICamera::Status status = m_camera->getStatus();
                if ((sensorId == 0 ? status.mainSensorState : status.extSensorState) == state)
                    return true;
            }
            // Pace the polling; the deadline bounds the wait.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    logtest::TempHome m_home;
    kvsim::VirtualCameraPtr m_sim;
    std::unique_ptr<kvsim::SimServer> m_server;
    kv::IGateway* m_gateway = nullptr;
    kv::ICamera* m_camera = nullptr;
};

TEST_F(SensorOverUdp, ExposureReachesReadyToDownload)
{
    start("Brisa");
    ISensor* sensor = m_camera->getSensor(0);
    ASSERT_NE(sensor, nullptr);
    EXPECT_EQ(sensor->getInfo().model, ISensor::ICX694);

    kv::TSubframe subframe;
    subframe.top = 100;
    subframe.left = 200;
    subframe.width = 256;
    subframe.height = 128;
    ASSERT_EQ(settle(sensor->setSubframe(subframe)).status, IPromise::Complete);
    ASSERT_EQ(settle(sensor->querySubframe()).status, IPromise::Complete);
    EXPECT_EQ(sensor->getSubframe().width, 256);

    kv::TExposureOptions options;
    options.duration = 0.05f;
    ASSERT_EQ(settle(sensor->startExposure(options)).status, IPromise::Complete);
    EXPECT_TRUE(waitForState(0, ISensor::ReadyToDownload, std::chrono::seconds(5)));
    ASSERT_TRUE(m_sim->sensor(0).has_value());
    EXPECT_EQ(m_sim->sensor(0)->exposureCount, 1u);

    // Abort drops the image and the sensor is idle again.
    ASSERT_EQ(settle(sensor->abortExposure()).status, IPromise::Complete);
    EXPECT_TRUE(waitForState(0, ISensor::Idle, std::chrono::seconds(2)));
}

TEST_F(SensorOverUdp, TwoSensorsEachAnswerForThemselves)
{
    auto config = kvsim::Presets::camera("Brisa");
    config.sensors.push_back(kvsim::Presets::sensor("KAF8300"));
    start(config);
    ISensor* first = m_camera->getSensor(0);
    ISensor* second = m_camera->getSensor(1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(m_camera->getSensor(2), nullptr);
    EXPECT_EQ(first->getInfo().model, ISensor::ICX694);
    EXPECT_EQ(second->getInfo().model, ISensor::KAF8300);
    EXPECT_EQ(second->getSensorId(), 1u);
    EXPECT_EQ(second->getSubframe().width, 3448);

    kv::TSubframe small;
    small.width = small.height = 64;
    ASSERT_EQ(settle(second->setSubframe(small)).status, IPromise::Complete);
    EXPECT_EQ(m_sim->sensor(1)->subframe.width, 64);
    EXPECT_EQ(m_sim->sensor(0)->subframe.width, 2750);
    kv::TExposureOptions options;
    options.duration = 0.02f;
    options.isLightFrame = false;
    ASSERT_EQ(settle(second->startExposure(options)).status, IPromise::Complete);
    EXPECT_TRUE(waitForState(1, ISensor::ReadyToDownload, std::chrono::seconds(5)));
    EXPECT_EQ(m_sim->sensor(0)->exposureCount, 0u);
}

TEST_F(SensorOverUdp, ValuesACameraCannotTakeFailThroughThePromise)
{
    start("Brisa");
    ISensor* sensor = m_camera->getSensor(0);
    ASSERT_NE(sensor, nullptr);
    kv::TSubframe empty;
    kv::TSubframe tooLarge;
    tooLarge.width = 4000;
    tooLarge.height = 100;
    kv::TSubframe negative;
    negative.left = -10;
    negative.width = negative.height = 10;
    kv::TExposureOptions tooShort;
    tooShort.duration = -1.0f;
    kv::TExposureOptions noSuchMode;
    noSuchMode.duration = 1.0f;
    noSuchMode.readoutMode = 1000;

    struct Case {
        const char* name;
        kv::IPromise* promise;
    };
    const Case cases[] = {
        {"empty subframe", sensor->setSubframe(empty)},
        {"subframe larger than the sensor", sensor->setSubframe(tooLarge)},
        {"negative offset", sensor->setSubframe(negative)},
        {"setting value out of range", sensor->setSetting(ISensor::UseOverscan, 2)},
        {"setting 16", sensor->setSetting(ISensor::SettingCount, 1)},
        {"setting 17", sensor->setSetting(static_cast<ISensor::Setting>(17), 1)},
        {"software bin mode 2", sensor->setSetting(ISensor::SoftwareBinMode, 2)},
        {"negative duration", sensor->startExposure(tooShort)},
        {"readout mode 1000", sensor->startExposure(noSuchMode)},
    };
    for (const Case& c : cases) {
        const Outcome outcome = settle(c.promise);
        EXPECT_EQ(outcome.status, IPromise::Error) << c.name;
        EXPECT_EQ(outcome.code, kv::InvalidParameter) << c.name;
        EXPECT_FALSE(outcome.error.empty()) << c.name;
    }
    EXPECT_EQ(m_sim->sensor(0)->exposureCount, 0u);
    EXPECT_EQ(m_sim->sensor(0)->subframe.width, 2750);
    EXPECT_EQ(sensor->getSetting(ISensor::UseOverscan), 0);
}

TEST_F(SensorOverUdp, Imx455NeverAsksForTheLegacyCalibration)
{
    start("BrisaBC455");
    ISensor* sensor = m_camera->getSensor(0);
    ASSERT_NE(sensor, nullptr);
    EXPECT_EQ(sensor->getInfo().model, ISensor::IMX455);
    EXPECT_EQ(m_sim->journal().count(kv::GetSensorCalibration), 0u);
    EXPECT_EQ(sensor->getCalibration(ISensor::EGain, 0), 2147483647u);
    EXPECT_EQ(sensor->getAdjustableGainCount(ISensor::eAdjustableADCGain0), 28u);
    EXPECT_EQ(sensor->getDefaultAdjustableGain(ISensor::eAdjustableADCGain0), 300u);
    ASSERT_EQ(settle(sensor->setSetting(ISensor::AnalogGain0, 600)).status, IPromise::Complete);
    EXPECT_EQ(sensor->getSetting(ISensor::AnalogGain0), 600);
    EXPECT_EQ(settle(sensor->setSetting(ISensor::AnalogGain0, 601)).code, kv::InvalidParameter);
}

TEST_F(SensorOverUdp, VireoEHasASingleReadoutMode)
{
    start("VireoE");
    ISensor* sensor = m_camera->getSensor(0);
    ASSERT_NE(sensor, nullptr);
    char modes[64] = {};
    size_t length = sizeof(modes);
    sensor->getReadoutModes(modes, length);
    EXPECT_EQ(std::string(modes, length), "Normal");
}

TEST_F(SensorOverUdp, FactoryCalibrationWrites)
{
    start("Brisa");
    auto* sensor = dynamic_cast<kv::Factory::IFactorySensor*>(m_camera->getSensor(0));
    ASSERT_NE(sensor, nullptr);
    kv::ISensor::Calibration calibration = sensor->getCalibration();
    calibration.adcOffsets[0] = -5;
    ASSERT_EQ(settle(sensor->SetCalibration(calibration, false)).status, IPromise::Complete);
    const auto writes = m_sim->journal().entries(kv::SetSensorCalibration);
    ASSERT_EQ(writes.size(), 1u);
    // Body bytes 6 and 7: the offset word of channel 0.
    const std::string frame = hexbytes::toHex(writes.front().bytes);
    EXPECT_EQ(frame.substr(9 * 3 + 6 * 3, 5), "05 01") << frame;
    EXPECT_EQ(m_sim->sensor(0)->calibration.adcOffsets[0], -5);

    ASSERT_EQ(settle(sensor->setCalibration(ISensor::TestPatternMode, 0, 1)).status, IPromise::Complete);
    EXPECT_EQ(sensor->getCalibration(ISensor::TestPatternMode, 0), 1u);
    EXPECT_EQ(settle(sensor->SetShutter(kv::CloseShutter)).status, IPromise::Complete);
}

} // namespace
