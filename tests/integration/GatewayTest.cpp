#include "CameraFixture.h"
#include "PrivateNetwork.h"
#include "sensor/Sensor.h"

#include <kvapi/kvapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

using namespace kv;
using kvtest::SimCamera;
using kvtest::noSensor;

namespace {

// Addresses of their own, away from those other suites use.
constexpr const char* c_first = "127.0.7.2";
constexpr const char* c_second = "127.0.7.3";

using GatewayDiscovery = kvtest::GatewayFixture;

} // namespace

TEST(GatewayLifetime, UseCountKeepsOneGatewayUntilTheLastDelete)
{
    logtest::TempHome home;
    kv::UDPController::get().setDiscoveryWindow(kvtest::c_shortDiscoveryMs);
    SimCamera sim(noSensor("Brisa", 21), c_first);

    IGateway* first = getGateway();
    IGateway* second = getGateway();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    first->queryNetCamera(c_first, 6363);
    ASSERT_EQ(first->getNetCameraCount(), 1u);

    // Pointers other than the live gateway change nothing.
    deleteGateway(nullptr);
    int other = 0;
    deleteGateway(reinterpret_cast<IGateway*>(&other));
    deleteGateway(first);
    // Still the same gateway, with the camera it found.
    IGateway* third = getGateway();
    EXPECT_EQ(third, first);
    EXPECT_EQ(third->getNetCameraCount(), 1u);
    deleteGateway(third);
    deleteGateway(second);

    // The count reached zero: a new gateway knows no camera.
    IGateway* fresh = getGateway();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->getNetCameraCount(), 0u);
    EXPECT_EQ(fresh->getCommProtocolVersion(), 20u);
    deleteGateway(fresh);
    kv::UDPController::get().setDiscoveryWindow(kv::UDPController::c_defaultDiscoveryWindowMs);
}

TEST_F(GatewayDiscovery, OneCameraIsFoundAndLookedUpByIndexAddressAndSerial)
{
    SimCamera sim(noSensor("Brisa", 21), c_first);
    const uint32_t serial = sim.camera->info().serialNumber;

    gateway->queryNetCamera(c_first, 6363);
    ASSERT_EQ(gateway->getNetCameraCount(), 1u);
    EXPECT_EQ(gateway->getUSBCameraCount(), 0u);

    ICamera* byIndex = gateway->getNetCamera(0u);
    ASSERT_NE(byIndex, nullptr);
    EXPECT_EQ(gateway->getNetCamera(1u), nullptr);
    EXPECT_EQ(gateway->getNetCamera(c_first, 6363u), byIndex);
    EXPECT_EQ(gateway->getNetCamera(c_first, 6364u), nullptr);
    EXPECT_EQ(gateway->getNetCamera(nullptr, 6363u), nullptr);

    const ICamera::Info info = byIndex->getInfo();
    EXPECT_EQ(info.serialNumber, serial);
    EXPECT_EQ(info.model, ICamera::Brisa);
    EXPECT_EQ(info.firmwareRevision, 21u);
    EXPECT_EQ(info.numberOfSensors, 0u);
    EXPECT_EQ(info.wifiFirmwareRevision, 0u); // discovery does not carry it over
    EXPECT_EQ(byIndex->getConnectionType(), Net);

    const TConnectionDetails details = gateway->getCameraConnectionDetails(serial);
    EXPECT_EQ(details.serialNumber, serial);
    EXPECT_EQ(details.endpointType, Net);
    EXPECT_EQ(details.index, 0u);
    EXPECT_EQ(gateway->getCamera(details), byIndex);

    const TConnectionDetails none = gateway->getCameraConnectionDetails(serial + 1);
    EXPECT_EQ(none.serialNumber, 0u);
    EXPECT_EQ(none.endpointType, InvalidEndpoint);
    TConnectionDetails unknown;
    unknown.serialNumber = serial + 1;
    EXPECT_EQ(gateway->getCamera(unknown), nullptr);

    releaseGateway();
    const std::string log = logText();
    EXPECT_NE(log.find("[] Adding: " + std::string(c_first)), std::string::npos) << log;
    EXPECT_NE(log.find("Querying UDP camera"), std::string::npos);
    EXPECT_NE(log.find("Initializing WiFi Camera"), std::string::npos);
}

TEST_F(GatewayDiscovery, TwoCamerasAreRegisteredInTheOrderTheyAnswer)
{
    kvsim::CameraConfig second = noSensor("BrisaCMOS", 6);
    SimCamera a(noSensor("Brisa", 21), c_first);
    SimCamera b(second, c_second);

    // Every camera that answers on the address's network is registered.
    gateway->queryNetCamera(c_first, 6363);
    ASSERT_EQ(gateway->getNetCameraCount(), 2u);
    ICamera* first = gateway->getNetCamera(c_first, 6363u);
    ICamera* other = gateway->getNetCamera(c_second, 6363u);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(first, other);
    EXPECT_EQ(first->getInfo().serialNumber, a.camera->info().serialNumber);
    EXPECT_EQ(other->getInfo().model, ICamera::BrisaCMOS);

    const TConnectionDetails details = gateway->getCameraConnectionDetails(b.camera->info().serialNumber);
    EXPECT_EQ(details.endpointType, Net);
    EXPECT_EQ(gateway->getNetCamera(static_cast<uint32_t>(details.index)), other);
}

TEST_F(GatewayDiscovery, SecondAnswerOfOneCameraRegistersNoSecondCamera)
{
    SimCamera sim(noSensor("Brisa", 21), c_first);
    gateway->queryNetCamera(c_first, 6363);
    ICamera* camera = gateway->getNetCamera(0u);
    ASSERT_NE(camera, nullptr);

    gateway->queryNetCamera(c_first, 6363);
    EXPECT_EQ(sim.camera->journal().count(GetCameraInfo), 2u);
    EXPECT_EQ(gateway->getNetCameraCount(), 1u);
    EXPECT_EQ(gateway->getNetCamera(0u), camera);
}

TEST_F(GatewayDiscovery, DebugControlSwitchesTheLog)
{
    auto* control = dynamic_cast<IDebugControl*>(gateway);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->hasDebugSetting(IDebugControl::Enable));
    EXPECT_FALSE(control->hasDebugSetting(static_cast<IDebugControl::Setting>(1)));
    EXPECT_EQ(control->getDebugSetting(IDebugControl::Enable), 1); // logging.conf asked for level 5
    control->setDebugSetting(IDebugControl::Enable, 0);
    EXPECT_EQ(control->getDebugSetting(IDebugControl::Enable), 0);
    control->setDebugSetting(IDebugControl::Enable, 4);
    EXPECT_EQ(control->getDebugSetting(IDebugControl::Enable), 1);
    EXPECT_EQ(control->getDebugSetting(static_cast<IDebugControl::Setting>(7)), 0);
}

// Debug directories: one per camera, named by its serial text; the camera and each
// of its sensors get the gateway's debug settings.
TEST_F(GatewayDiscovery, DebugSettingsPrepareADirectoryPerCameraAndReachItsSensors)
{
    kvsim::CameraConfig config = kvsim::Presets::camera("BrisaBC455");
    SimCamera sim(config, c_first);
    ICamera* camera = discoverAndInitialize(c_first);
    ASSERT_NE(camera, nullptr);
    char serial[64] = {};
    size_t length = sizeof(serial);
    camera->getSerial(serial, length);
    const std::string name(serial, length);
    ASSERT_NE(name, "UNINITIALIZED");

    gateway->initFitsDebugSettings();

    bool found = false;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home().path()))
        found = found || (entry.is_directory() && entry.path().filename() == name);
    EXPECT_TRUE(found) << "no directory " << name << " under " << home().path();
    auto* impl = dynamic_cast<kv::Camera*>(camera);
    ASSERT_NE(impl, nullptr);
    auto* sensor = dynamic_cast<kv::Sensor*>(camera->getSensor(0));
    ASSERT_NE(sensor, nullptr);
    EXPECT_NE(sensor->getDebugSettings(), nullptr);
    EXPECT_EQ(sensor->getDebugSettings(), impl->getLogger());
}

// --- full discovery: only inside a private network ------------------------

TEST_F(GatewayDiscovery, SilentCamerasAreRemovedByTheNextQuery)
{
    if (!kvtest::inPrivateNetwork()) {
        kvtest::runInPrivateNetwork();
        return;
    }
    SimCamera a(noSensor("Brisa", 21), c_first);
    SimCamera b(noSensor("BrisaCMOS", 6), c_second);
    SimCamera c(noSensor("MTC", 7), "127.0.7.4");
    gateway->queryNetCameras();
    ASSERT_EQ(gateway->getNetCameraCount(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        kvtest::shortenWaits(gateway->getNetCamera(i));
    }
    ICamera* survivor = gateway->getNetCamera("127.0.7.4", 6363u);

    // Two in a row fall silent: one pass removes both, the third stays.
    a.camera->faults().setSilent(true);
    b.camera->faults().setSilent(true);
    const auto start = std::chrono::steady_clock::now();
    gateway->queryNetCameras();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(gateway->getNetCameraCount(), 1u);
    EXPECT_EQ(gateway->getNetCamera(0u), survivor);
    EXPECT_EQ(gateway->getNetCamera(c_first, 6363u), nullptr);
    // Each remaining camera was checked once: one query of its identity per pass.
    EXPECT_EQ(c.camera->journal().count(GetCameraInfo), 3u);

    // A camera that answers again is registered anew.
    a.camera->faults().setSilent(false);
    gateway->queryNetCamera(nullptr, 0); // a full query, connection check included
    EXPECT_EQ(gateway->getNetCameraCount(), 2u);
    EXPECT_NE(gateway->getNetCamera(c_first, 6363u), nullptr);
}
