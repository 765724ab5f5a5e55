#include "CameraFixture.h"

#include <kvapi/kvapi.h>
#include <kvapi/kvapi_factory.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace kv;
using kvtest::SimCamera;
using kvtest::noSensor;
using kvtest::settle;

namespace {

constexpr const char* c_address = "127.0.7.12";

// The key byte of a capability query (after the 4-byte preamble and the
// 5-byte request header).
uint8_t requestByte(const kvsim::JournalEntry& entry, size_t offset)
{
    return static_cast<uint8_t>(entry.bytes->data[9 + offset]);
}

// Polls the camera until `done` holds or two seconds have passed.
template <typename Query, typename Done>
bool pollUntil(Query query, Done done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline) {
        if (settle(query()) == IPromise::Complete && done()) {
            return true;
        }
    }
    return false;
}

using CameraInitialize = kvtest::GatewayFixture;
using CameraComponents = kvtest::GatewayFixture;

} // namespace

TEST_F(CameraInitialize, Firmware17KeepsTheDefaultCapabilityTable)
{
    SimCamera sim(noSensor("Brisa", 17), c_address);
    gateway->queryNetCamera(c_address, 6363);
    ICamera* camera = gateway->getNetCamera(0u);
    ASSERT_NE(camera, nullptr);
    // Before any initialisation: software binning always, nothing else yet.
    EXPECT_TRUE(camera->getCapability(ICamera::eSupportsSoftwareBinMode));
    EXPECT_FALSE(camera->getCapability(ICamera::eSupportsFan));

    ASSERT_TRUE(camera->initialize());
    const std::vector<ICamera::Capability> expectedTrue = {
        ICamera::eSupportsFan,        ICamera::eSupportsCooler,       ICamera::eSupportsCoolerTemp,
        ICamera::eSupportsHeatSinkTemp, ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsFilterWheel,
        ICamera::eSupportsGuidePort,  ICamera::eSupportsWiFi,         ICamera::eSupportsDefogHeater,
        ICamera::eSupportsSensorGainOffset, ICamera::eSupportsShutter, ICamera::eSupportsInputVoltage,
        ICamera::eSupportsOverscan,   ICamera::eSupportsOnChipBinning};
    for (uint32_t key = 0; key < ICamera::CameraCapabilityCount; ++key) {
        const auto capability = static_cast<ICamera::Capability>(key);
        const bool expected =
            std::find(expectedTrue.begin(), expectedTrue.end(), capability) != expectedTrue.end();
        EXPECT_EQ(camera->getCapability(capability), expected) << "capability " << key;
    }
    // Only the peripheral-information probe asks, and this firmware does not know it.
    const auto queries = sim.camera->journal().entries(GetCameraCapability);
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(requestByte(queries[0], 0), ICamera::eSupportsPeripheralInfo);
    // Wi-Fi is supported by default: the settings were read.
    const TNetworkSettings wifi = camera->getNetworkSettings();
    EXPECT_EQ(std::string(wifi.ssid, wifi.ssidLength), "BRISA-24011542");
    // Ready: a second call sends nothing.
    const size_t before = sim.camera->journal().size();
    EXPECT_TRUE(camera->initialize());
    EXPECT_EQ(sim.camera->journal().size(), before);

    releaseGateway();
    const std::string log = logText();
    EXPECT_NE(log.find("Initializing camera w/ S/N: " + std::to_string(sim.camera->info().serialNumber)),
              std::string::npos);
    EXPECT_NE(log.find("GetPeripheralInfo not supported by this camera. Please update your firmware."),
              std::string::npos);
}

TEST_F(CameraInitialize, Firmware18AsksForCapabilities5To21)
{
    kvsim::CameraConfig config = noSensor("Brisa", 18);
    // The camera's own answers differ from the default table.
    config.capabilities[ICamera::eSupportsWiFi] = false;
    config.capabilities[ICamera::eSupportsMetadataKeys] = true;
    SimCamera sim(config, c_address);
    ICamera* camera = discoverAndInitialize(c_address);
    ASSERT_NE(camera, nullptr);

    const auto queries = sim.camera->journal().entries(GetCameraCapability);
    ASSERT_EQ(queries.size(), 18u); // 17 keys, then the peripheral-information probe
    for (uint8_t key = ICamera::eSupportsFilterWheel; key <= ICamera::eSupportsMetadataKeys; ++key) {
        EXPECT_EQ(requestByte(queries[key - ICamera::eSupportsFilterWheel], 0), key);
    }
    EXPECT_EQ(requestByte(queries[17], 0), ICamera::eSupportsPeripheralInfo);
    EXPECT_FALSE(camera->getCapability(ICamera::eSupportsWiFi));
    EXPECT_TRUE(camera->getCapability(ICamera::eSupportsMetadataKeys));
    // Never asked: fan to adaptive optics keep the defaults.
    EXPECT_TRUE(camera->getCapability(ICamera::eSupportsFan));
    EXPECT_EQ(sim.camera->journal().count(GetNetwork), 0u);
    EXPECT_EQ(sim.camera->journal().count(GetPeripheralInfo), 1u);
}

TEST_F(CameraInitialize, OptionsSerialAndConnectionText)
{
    SimCamera sim(noSensor("Brisa", 21), c_address);
    gateway->queryNetCamera(c_address, 6363);
    auto* camera = dynamic_cast<Factory::IFactoryCamera*>(gateway->getNetCamera(0u));
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->getCameraOption(Factory::IFactoryCamera::eCameraOptionHasShutter), 2147483647);
    // Not initialised: the application opens the connection itself.
    EXPECT_FALSE(camera->getConnection());
    camera->setConnection(true);
    EXPECT_TRUE(camera->getConnection());

    EXPECT_EQ(settle(camera->queryCameraOption(Factory::IFactoryCamera::eCameraOptionHasShutter)),
              IPromise::Complete);
    EXPECT_EQ(camera->getCameraOption(Factory::IFactoryCamera::eCameraOptionHasShutter), 1);
    EXPECT_EQ(settle(camera->setCameraOption(Factory::IFactoryCamera::eCameraOptionsOEMFlags, -3)),
              IPromise::Complete);
    EXPECT_EQ(camera->getCameraOption(Factory::IFactoryCamera::eCameraOptionsOEMFlags), -3);
    // An option the camera does not have: the error fails the promise, nothing is stored.
    std::string error;
    EStatusCode code = Success;
    EXPECT_EQ(settle(camera->queryCameraOption(Factory::IFactoryCamera::eCameraOptionPlatform), &error, &code),
              IPromise::Error);
    EXPECT_EQ(code, InvalidParameter);
    EXPECT_EQ(error, "Encountered an API error (7)\nClient Error :: Invalid Parameter");
    EXPECT_EQ(camera->getCameraOption(Factory::IFactoryCamera::eCameraOptionPlatform), 2147483647);

    // Without sensors the serial text is "UNINITIALIZED"; a short buffer gets its start.
    char serial[5];
    std::memset(serial, 'x', sizeof(serial));
    size_t length = sizeof(serial);
    camera->getSerial(serial, length);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(std::string(serial, 5), "UNINI");
    char full[32];
    length = sizeof(full);
    camera->getSerial(full, length);
    EXPECT_EQ(std::string(full, length), "UNINITIALIZED");
    EXPECT_EQ(full[length], '\0');

    char connection[64];
    size_t connectionLength = sizeof(connection);
    camera->getConnectionInfo(connection, connectionLength);
    EXPECT_EQ(connectionLength, sizeof(connection));
    EXPECT_NE(std::string(connection).find(c_address), std::string::npos) << connection;
    camera->setConnection(false);
    EXPECT_FALSE(camera->getConnection());
}

TEST_F(CameraInitialize, CameraThatFallsSilentFailsInBoundedTime)
{
    SimCamera sim(noSensor("Brisa", 21), c_address);
    gateway->queryNetCamera(c_address, 6363);
    ICamera* camera = gateway->getNetCamera(0u);
    ASSERT_NE(camera, nullptr);
    kvtest::shortenWaits(camera);
    sim.camera->faults().setSilent(true);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(camera->initialize());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    // Five sends of the status query, then the camera gave up.
    EXPECT_EQ(sim.camera->journal().count(GetCameraStatus), 5u);
    // The application's pointer stays valid until the next query removes the camera.
    EXPECT_EQ(camera->getInfo().model, ICamera::Brisa);
    EXPECT_EQ(camera->getTEC(), nullptr);
    EXPECT_EQ(gateway->getNetCameraCount(), 1u);

    // Answering again, it initialises.
    sim.camera->faults().setSilent(false);
    EXPECT_TRUE(camera->initialize());

    releaseGateway();
    const std::string log = logText();
    EXPECT_NE(log.find("Failed to initialize camera\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Rx Timeout: no response received for packet 'Camera::queryStatus'"), std::string::npos);
}

TEST_F(CameraInitialize, SensorThatCannotBeInitializedFailsTheCameraCleanly)
{
    SimCamera sim(kvsim::Presets::camera("Brisa"), c_address);
    ICamera* camera = nullptr;
    gateway->queryNetCamera(c_address, 6363);
    camera = gateway->getNetCamera(0u);
    ASSERT_NE(camera, nullptr);
    sim.camera->faults().answerNextWith(DeviceBusy, 1, GetSensorInfo);
    EXPECT_FALSE(camera->initialize());
    // Answering again, the camera initialises with its sensor.
    EXPECT_TRUE(camera->initialize());
    ASSERT_NE(camera->getSensor(0), nullptr);
    EXPECT_EQ(camera->getSensor(0)->getInfo().model, ISensor::ICX694);
    EXPECT_EQ(camera->getSensor(1), nullptr);
    releaseGateway();
    EXPECT_NE(logText().find("Could not Initialize Sensor 0/1\nCould not query Sensor information\r\n"),
              std::string::npos);
}

// --- components -----------------------------------------------------------

TEST_F(CameraComponents, CoolerSetpointRoundTripAndStatusCopiedIn)
{
    SimCamera sim(noSensor("Brisa", 23), c_address); // Brisa firmware above 22 answers the cooler state
    ICamera* camera = discoverAndInitialize(c_address);
    ASSERT_NE(camera, nullptr);
    ITEC* tec = camera->getTEC();
    ASSERT_NE(tec, nullptr);
    EXPECT_EQ(sim.camera->journal().count(GetCoolerState), 1u);
    EXPECT_FALSE(tec->getEnabled());
    EXPECT_EQ(tec->getSetpoint(), 0.0f);

    IPromisePtr promise = tec->setState(true, -10.5f);
    // Stored at once, before the camera has answered.
    EXPECT_TRUE(tec->getEnabled());
    EXPECT_EQ(tec->getSetpoint(), -10.5f);
    ASSERT_EQ(settle(promise), IPromise::Complete);
    EXPECT_TRUE(sim.camera->cooler().enabled);
    EXPECT_FLOAT_EQ(sim.camera->cooler().setpoint, -10.5f);

    ASSERT_EQ(settle(camera->queryStatus()), IPromise::Complete);
    const ICamera::Status status = camera->getStatus();
    EXPECT_EQ(tec->getSensorThermopileTemperature(), status.sensorTemperature);
    EXPECT_EQ(tec->getHeatSinkThermopileTemperature(), status.heatSinkTemperature);
    EXPECT_EQ(tec->getCoolerPower(), status.coolerPower);
    EXPECT_GT(status.heatSinkTemperature, 0.0f);
    EXPECT_NEAR(status.inputVoltage, 12.0f, 0.05f); // two-byte encoding on the wire

    // A refused request fails its promise; the requested values stay.
    sim.camera->faults().answerNextWith(DeviceBusy, 1, SetCooler);
    std::string error;
    EStatusCode code = Success;
    EXPECT_EQ(settle(tec->setState(false, 5.0f), &error, &code), IPromise::Error);
    EXPECT_EQ(code, DeviceBusy);
    EXPECT_EQ(error, "Encountered an API error (129)\nDevice Error :: Device is Busy and cannot comply");
    EXPECT_FALSE(tec->getEnabled());
    EXPECT_EQ(tec->getSetpoint(), 5.0f);
    EXPECT_TRUE(sim.camera->cooler().enabled); // the camera kept its state
    // The status of a refused status query leaves the stored status as it was.
    sim.camera->faults().answerNextWith(DeviceBusy, 1, GetCameraStatus);
    EXPECT_EQ(settle(camera->queryStatus()), IPromise::Error);
    EXPECT_EQ(camera->getStatus().heatSinkTemperature, status.heatSinkTemperature);
}

TEST_F(CameraComponents, CoolerStateIsNotAskedOfFirmwareThatDoesNotAnswerIt)
{
    SimCamera sim(noSensor("Brisa", 22), c_address);
    ICamera* camera = discoverAndInitialize(c_address);
    ASSERT_NE(camera, nullptr);
    ASSERT_NE(camera->getTEC(), nullptr);
    EXPECT_EQ(sim.camera->journal().count(GetCoolerState), 0u);
}

TEST_F(CameraComponents, FilterWheelMoveIsTrackedToIdleAndChildWheelsComeFromTheInventory)
{
    kvsim::CameraConfig config = noSensor("Brisa", 21);
    config.filterWheel.slotMoveMs = 20;
    config.filterWheel.hardwareId = 65;         // FW8-8300
    config.filterWheel.children = {48, 140};    // FW5-MX, BFW-12
    SimCamera sim(config, c_address);
    ICamera* camera = discoverAndInitialize(c_address);
    ASSERT_NE(camera, nullptr);
    auto* fw = dynamic_cast<IFWExtended*>(camera->getFW());
    ASSERT_NE(fw, nullptr);
    EXPECT_EQ(fw->getModel(), IFW::FW8_8300);
    EXPECT_EQ(fw->getSlots(), 8u);
    EXPECT_EQ(fw->getPosition(), 0);

    ASSERT_EQ(fw->getChildCount(), 3u);
    EXPECT_EQ(fw->getChildModel(1), IFW::FW5_MX);
    EXPECT_EQ(fw->getChildModel(2), IFW::BFW12);
    EXPECT_EQ(fw->getChildModel(3), IFW::InvalidFWModel);
    EXPECT_EQ(fw->getChildSlots(0), 8u);
    EXPECT_EQ(fw->getChildSlots(2), 12u);
    EXPECT_EQ(fw->getChildSlots(3), 4294967295u);
    EXPECT_STREQ(fw->getModelName(0), "FW8-8300");
    EXPECT_STREQ(fw->getModelName(1), "FW5-MX");
    EXPECT_STREQ(fw->getModelName(5), "Unknown FW");

    ASSERT_EQ(settle(fw->setPosition(3)), IPromise::Complete);
    const auto moves = sim.camera->journal().entries(FWGoto);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(requestByte(moves[0], 0), 4); // the wire counts from 1
    EXPECT_EQ(fw->getPosition(), 0);        // not before the wheel has settled
    EXPECT_TRUE(pollUntil([&] { return fw->queryStatus(); },
                          [&] { return fw->getPosition() == 3 && fw->getStatus() == IFW::FWIdle; }));
    EXPECT_EQ(sim.camera->filterWheel().position, 4u);
}

TEST_F(CameraComponents, AdaptiveOpticsLimitsAndMoves)
{
    struct Case {
        IAO::Model model;
        int16_t x, y;
        uint16_t tip, tilt; // as sent
    };
    const Case cases[] = {
        {IAO::TTX, 4095, 0, 2303, 1792},
        {IAO::TTX, 2048, 2100, 2048, 2054},
        {IAO::TT8, 100, 200, 100, 200},
        {IAO::TT8, -1, 0, 65535, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " (" << c.x << ", " << c.y << ")");
        kvsim::CameraConfig config = noSensor("Brisa", 21);
        config.adaptiveOptics.model = c.model;
        SimCamera sim(config, c_address);
        gateway->queryNetCamera(c_address, 6363);
        ICamera* camera = gateway->getNetCamera(c_address, 6363u);
        ASSERT_NE(camera, nullptr);
        ASSERT_TRUE(camera->initialize());
        IAO* ao = camera->getAO();
        ASSERT_NE(ao, nullptr);
        EXPECT_EQ(ao->getModel(), c.model);
        size_t tipMin = 1, tipMax = 0, tiltMin = 1, tiltMax = 0;
        ao->getLimits(tipMin, tipMax, tiltMin, tiltMax);
        EXPECT_EQ(tipMin, 0u);
        EXPECT_EQ(tipMax, 4095u);
        EXPECT_EQ(tiltMin, 0u);
        EXPECT_EQ(tiltMax, 4095u);

        // The unit may refuse a value out of its range; what was sent is what counts here.
        settle(ao->setPosition(c.x, c.y));
        const auto moves = sim.camera->journal().entries(AOGoto);
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(requestByte(moves[0], 0) | requestByte(moves[0], 1) << 8, c.tip);
        EXPECT_EQ(requestByte(moves[0], 2) | requestByte(moves[0], 3) << 8, c.tilt);
        int16_t x = 0, y = 0;
        ao->getPosition(x, y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(settle(ao->queryStatus()), IPromise::Complete);
        EXPECT_NE(ao->getStatus(), IAO::InvalidAOStatus);

        // Start afresh for the next case: another gateway, another camera.
        releaseGateway();
        gateway = getGateway();
    }
}

TEST_F(CameraComponents, GuidePulsesSetTheirAxisBusyBits)
{
    SimCamera sim(noSensor("Brisa", 21), c_address);
    ICamera* camera = discoverAndInitialize(c_address);
    ASSERT_NE(camera, nullptr);

    ASSERT_EQ(settle(camera->pulseGuide(North, 500, false)), IPromise::Complete);
    const auto pulses = sim.camera->journal().entries(PulseGuide);
    ASSERT_EQ(pulses.size(), 1u);
    EXPECT_EQ(requestByte(pulses[0], 0), 0);   // North
    EXPECT_EQ(requestByte(pulses[0], 1), 0xF4); // 500, little-endian
    EXPECT_EQ(requestByte(pulses[0], 2), 0x01);
    ASSERT_EQ(settle(camera->queryStatus()), IPromise::Complete);
    EXPECT_EQ(camera->getStatus().pulseGuideStatus & PulseGuideStatus::c_yBusy, PulseGuideStatus::c_yBusy);
    EXPECT_EQ(camera->getStatus().pulseGuideStatus & PulseGuideStatus::c_xBusy, 0u);

    ASSERT_EQ(settle(camera->pulseGuide(East, 500, false)), IPromise::Complete);
    ASSERT_EQ(settle(camera->queryStatus()), IPromise::Complete);
    EXPECT_EQ(camera->getStatus().pulseGuideStatus, uint32_t(PulseGuideStatus::c_xBusy | PulseGuideStatus::c_yBusy));

    // Aborting ends the pulses.
    ASSERT_EQ(settle(camera->pulseGuide(North, 0, true)), IPromise::Complete);
    ASSERT_EQ(settle(camera->pulseGuide(East, 0, true)), IPromise::Complete);
    ASSERT_EQ(settle(camera->queryStatus()), IPromise::Complete);
    EXPECT_EQ(camera->getStatus().pulseGuideStatus, 0u);
}

TEST_F(CameraComponents, GuidePulseOnACameraWithoutGuidePortSendsNothing)
{
    SimCamera sim(noSensor("MTC", 7), c_address);
    ICamera* camera = discoverAndInitialize(c_address);
    ASSERT_NE(camera, nullptr);
    std::string error;
    EStatusCode code = Success;
    EXPECT_EQ(settle(camera->pulseGuide(South, 100, false), &error, &code), IPromise::Error);
    EXPECT_EQ(code, FeatureNotSupported);
    EXPECT_EQ(error, "Guide Port not supported by this camera");
    EXPECT_EQ(sim.camera->journal().count(PulseGuide), 0u);
}

TEST_F(CameraComponents, GettersOnOneThreadWhileAnotherExchanges)
{
    kvsim::CameraConfig config = noSensor("Brisa", 23);
    config.adaptiveOptics.model = IAO::TT8;
    config.adaptiveOptics.settleMs = 0; // never busy when the next move comes
    config.adaptiveOptics.stepMicroseconds = 0;
    config.filterWheel.slotMoveMs = 1;
    SimCamera sim(config, c_address);
    ICamera* camera = discoverAndInitialize(c_address);
    ASSERT_NE(camera, nullptr);
    ITEC* tec = camera->getTEC();
    IFW* fw = camera->getFW();
    IAO* ao = camera->getAO();
    ASSERT_TRUE(tec != nullptr && fw != nullptr && ao != nullptr);

    std::atomic<bool> done{false};
    std::atomic<size_t> reads{0};
    std::thread reader([&] {
        while (!done.load()) {
            const ICamera::Status status = camera->getStatus();
            float sum = status.sensorTemperature + tec->getSensorThermopileTemperature() + tec->getSetpoint();
            int16_t x = 0, y = 0;
            ao->getPosition(x, y);
            sum += static_cast<float>(x + fw->getPosition() + static_cast<int>(ao->getStatus()));
            sum += camera->getCapability(ICamera::eSupportsWiFi) ? 1.0f : 0.0f;
            (void)sum;
            reads.fetch_add(1);
        }
    });
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(settle(camera->queryStatus()), IPromise::Complete);
        EXPECT_EQ(settle(tec->setState(true, -5.0f - i)), IPromise::Complete);
        EXPECT_EQ(settle(ao->setPosition(static_cast<int16_t>(100 + i), 200)), IPromise::Complete);
        EXPECT_EQ(settle(ao->queryStatus()), IPromise::Complete);
        EXPECT_EQ(settle(fw->queryStatus()), IPromise::Complete);
        EXPECT_EQ(settle(camera->queryCapability(ICamera::eSupportsWiFi)), IPromise::Complete);
    }
    done.store(true);
    reader.join();
    EXPECT_GT(reads.load(), 0u);
    EXPECT_EQ(tec->getSetpoint(), -24.0f);
}

// An application's threads each drive a component of one camera at the same time
// (a status poll, the cooler, the wheel): they share the camera's socket, and every
// request is sent once and answered by its own answer.
TEST_F(CameraComponents, ComponentsExchangeFromSeveralThreadsAtOnce)
{
    kvsim::CameraConfig config = noSensor("Brisa", 23);
    config.filterWheel.slotMoveMs = 1;
    SimCamera sim(config, c_address);
    ICamera* camera = discoverAndInitialize(c_address);
    ASSERT_NE(camera, nullptr);
    ITEC* tec = camera->getTEC();
    IFW* fw = camera->getFW();
    ASSERT_TRUE(tec != nullptr && fw != nullptr);
    const size_t statusBefore = sim.camera->journal().count(GetCameraStatus);
    const size_t fwBefore = sim.camera->journal().count(FWGetStatus);

    constexpr int c_rounds = 50;
    std::atomic<int> failed{0};
    auto loop = [&](const std::function<IPromisePtr()>& exchange) {
        for (int i = 0; i < c_rounds; ++i) {
            if (settle(exchange()) != IPromise::Complete)
                ++failed;
        }
    };
    std::thread poller([&] { loop([&] { return camera->queryStatus(); }); });
    std::thread cooler([&] { loop([&] { return tec->setState(true, -5.0f); }); });
    loop([&] { return fw->queryStatus(); });
    poller.join();
    cooler.join();

    EXPECT_EQ(failed.load(), 0);
    EXPECT_EQ(sim.camera->journal().count(GetCameraStatus), statusBefore + c_rounds);
    EXPECT_EQ(sim.camera->journal().count(SetCooler), size_t(c_rounds));
    EXPECT_EQ(sim.camera->journal().count(FWGetStatus), fwBefore + c_rounds);
    EXPECT_EQ(tec->getSetpoint(), -5.0f);
}
