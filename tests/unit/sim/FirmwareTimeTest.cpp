#include "firmware/ManualClock.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "protocol/AOGetStatusResponseBody.h"
#include "protocol/AOGotoRequestBody.h"
#include "protocol/FWGetStatusResponseBody.h"
#include "protocol/FWGotoRequestBody.h"
#include "protocol/PulseGuideRequestBody.h"
#include "protocol/SetCoolerRequestBody.h"
#include "protocol/ShutterControlRequestBody.h"
#include "unit/sim/SimFrames.h"

#include <gtest/gtest.h>

#include <kvapi/kvapi_factory.h>

using namespace kvsim;
using namespace std::chrono_literals;

namespace {

// Everything that evolves, driven by a manual clock through real request frames.
struct FirmwareTime : ::testing::Test {
    ManualClockPtr clock = std::make_shared<ManualClock>();
    std::shared_ptr<VirtualCamera> camera;

    void make(const std::string& preset) { camera = VirtualCamera::fromPreset(preset, clock); }
    void make(const CameraConfig& config) { camera = std::make_shared<VirtualCamera>(config, clock); }

    kv::EStatusCode send(kv::BodyType type, const simframes::Fill& fill = {}, unsigned sensor = 0)
    {
        const Reply reply = camera->receive(simframes::request(type, fill, sensor));
        return reply.datagrams.empty() ? kv::InvalidStatus
                                       : static_cast<kv::EStatusCode>(static_cast<uint8_t>(reply.datagrams[0]->data[4]));
    }
    template <class T>
    std::shared_ptr<T> query(kv::BodyType type)
    {
        const Reply reply = camera->receive(simframes::request(type));
        return simframes::response(type, reply.datagrams.at(0))->getTypedBody<T>();
    }
    kv::EStatusCode setCooler(bool on, float setpoint)
    {
        return send(kv::SetCooler, [&](kv::Message& m) {
            auto body = simframes::body<kv::V1::SetCoolerRequestBody>(m);
            body->setIsEnabled(on);
            body->setSetpoint(setpoint);
        });
    }
    kv::EStatusCode gotoSlot(uint8_t slot)
    {
        return send(kv::FWGoto, [&](kv::Message& m) { simframes::body<kv::V1::FWGotoRequestBody>(m)->setPosition(slot); });
    }
    kv::IFW::Status wheelStatus()
    {
        return query<kv::V1::FWGetStatusResponseBody>(kv::FWGetStatus)->getStatus();
    }
    kv::EStatusCode pulse(kv::EPulseGuideDirection direction, uint32_t ms, bool abort = false)
    {
        return send(kv::PulseGuide, [&](kv::Message& m) {
            auto body = simframes::body<kv::V1::PulseGuideRequestBody>(m);
            body->setGuideDirection(direction);
            body->setGuideDuration(ms);
            body->setAbort(abort);
        });
    }
};

TEST_F(FirmwareTime, CoolerPullsDownAtItsRateHoldsAtTheSetpointAndWarmsWhenOff)
{
    make("Brisa"); // ambient 20 C, 45 C below at most, 0.5 C/s down, 0.3 C/s up
    ASSERT_EQ(setCooler(true, -10.0f), kv::Success);
    clock->advance(10s);
    CoolerState state = camera->cooler();
    EXPECT_FLOAT_EQ(state.sensorTemperature, 15.0f);
    EXPECT_FLOAT_EQ(state.power, 100.0f);
    clock->advance(60s);
    state = camera->cooler();
    EXPECT_FLOAT_EQ(state.sensorTemperature, -10.0f);
    EXPECT_NEAR(state.power, 100.0f * 30.0f / 45.0f, 0.01f);
    EXPECT_NEAR(state.heatSinkTemperature, 20.0f + 0.06f * state.power, 0.01f);
    EXPECT_NEAR(camera->status().sensorTemperature, -10.0f, 1e-4f);

    ASSERT_EQ(setCooler(false, -10.0f), kv::Success);
    clock->advance(10s);
    state = camera->cooler();
    EXPECT_FLOAT_EQ(state.sensorTemperature, -7.0f);
    EXPECT_FLOAT_EQ(state.power, 0.0f);
}

TEST_F(FirmwareTime, SetpointBeyondTheCoolersReachStopsAtItsLimitAtFullPower)
{
    make("Brisa");
    ASSERT_EQ(setCooler(true, -45.0f), kv::Success);
    clock->advance(3600s);
    const CoolerState state = camera->cooler();
    EXPECT_FLOAT_EQ(state.sensorTemperature, -25.0f);
    EXPECT_FLOAT_EQ(state.power, 100.0f);
}

TEST_F(FirmwareTime, FilterWheelIsBusyForEachSlotMovedForwardThenIdle)
{
    make("Brisa"); // FW8-8300, 250 ms per slot
    ASSERT_EQ(gotoSlot(4), kv::Success);         // 3 slots on from 1
    EXPECT_EQ(wheelStatus(), kv::IFW::FWBusy);
    EXPECT_EQ(gotoSlot(5), kv::DeviceBusy);
    clock->advance(740ms);
    EXPECT_EQ(wheelStatus(), kv::IFW::FWBusy);
    clock->advance(20ms);
    EXPECT_EQ(wheelStatus(), kv::IFW::FWIdle);
    ASSERT_EQ(gotoSlot(2), kv::Success);         // once round: 6 slots
    clock->advance(1490ms);
    EXPECT_EQ(wheelStatus(), kv::IFW::FWBusy);
    clock->advance(20ms);
    EXPECT_EQ(wheelStatus(), kv::IFW::FWIdle);
    EXPECT_EQ(camera->filterWheel().position, 2u);
}

TEST_F(FirmwareTime, FilterWheelInitialisationFindsTheFirstSlot)
{
    make("Brisa"); // FW8-8300, 250 ms per slot
    ASSERT_EQ(gotoSlot(4), kv::Success);
    clock->advance(1s);
    ASSERT_EQ(wheelStatus(), kv::IFW::FWIdle);
    ASSERT_EQ(send(kv::FWInit), kv::Success);
    EXPECT_EQ(camera->filterWheel().position, 1u);
    EXPECT_EQ(wheelStatus(), kv::IFW::FWIdle);
    // Even in the middle of a move.
    ASSERT_EQ(gotoSlot(3), kv::Success);
    ASSERT_EQ(send(kv::FWInit), kv::Success);
    EXPECT_EQ(camera->filterWheel().position, 1u);
    EXPECT_EQ(wheelStatus(), kv::IFW::FWIdle);
}

TEST_F(FirmwareTime, AdaptiveOpticsSettlesAfterEachMove)
{
    make("BrisaCMOS"); // TT8: 0 to 4095, 5 ms plus 10 us per step
    ASSERT_EQ(send(kv::AOGoto, [](kv::Message& m) {
                  auto body = simframes::body<kv::V1::AOGotoRequestBody>(m);
                  body->setTip(3048); // 1000 steps from the center
                  body->setTilt(2048);
              }),
              kv::Success);
    EXPECT_EQ(query<kv::V1::AOGetStatusResponseBody>(kv::AOGetStatus)->getStatus(), kv::IAO::Busy);
    clock->advance(14ms);
    EXPECT_EQ(query<kv::V1::AOGetStatusResponseBody>(kv::AOGetStatus)->getStatus(), kv::IAO::Busy);
    clock->advance(2ms);
    EXPECT_EQ(query<kv::V1::AOGetStatusResponseBody>(kv::AOGetStatus)->getStatus(), kv::IAO::Idle);
    EXPECT_EQ(camera->adaptiveOptics().tip, 3048);
}

TEST_F(FirmwareTime, GuidePulsesSetTheirAxisBitForTheirDuration)
{
    make("Brisa"); // firmware 21: per-axis status
    ASSERT_EQ(pulse(kv::North, 500), kv::Success);
    ASSERT_EQ(pulse(kv::East, 200), kv::Success);
    EXPECT_EQ(camera->status().pulseGuideStatus, kv::PulseGuideStatus::c_xBusy | kv::PulseGuideStatus::c_yBusy);
    clock->advance(250ms);
    EXPECT_EQ(camera->status().pulseGuideStatus, kv::PulseGuideStatus::c_yBusy);
    ASSERT_EQ(pulse(kv::South, 0, true), kv::Success); // abort the Y axis
    EXPECT_EQ(camera->status().pulseGuideStatus, 0u);
    EXPECT_EQ(pulse(kv::West, GuidePort::c_maxDurationMs + 1), kv::InvalidParameter);

    CameraConfig old = Presets::camera("Brisa");
    old.firmwareRevision = 10; // protocol revision 3: one busy bit for both axes
    make(old);
    ASSERT_EQ(pulse(kv::North, 500), kv::Success);
    EXPECT_EQ(camera->status().pulseGuideStatus, kv::PulseGuideStatus::c_xBusy);
}

TEST_F(FirmwareTime, ShutterReportsItsMovesAndIsBusyDuringExposures)
{
    make("Brisa"); // 50 ms per move
    auto action = [this](kv::ShutterActions a) {
        return send(kv::ShutterControl,
                    [&](kv::Message& m) { simframes::body<kv::V1::ShutterControlRequestBody>(m)->setAction(a); });
    };
    EXPECT_EQ(camera->status().shutterStatus, kv::ShutterClosed);
    ASSERT_EQ(action(kv::OpenShutter), kv::Success);
    EXPECT_EQ(camera->status().shutterStatus, kv::ShutterOpening);
    EXPECT_EQ(action(kv::CloseShutter), kv::DeviceBusy);
    clock->advance(60ms);
    EXPECT_EQ(camera->status().shutterStatus, kv::ShutterOpen);
    ASSERT_EQ(action(kv::ExcerciseShutter), kv::Success);
    clock->advance(150ms);
    EXPECT_EQ(camera->status().shutterStatus, kv::ShutterExercising);
    clock->advance(60ms);
    EXPECT_EQ(camera->status().shutterStatus, kv::ShutterClosed);
    EXPECT_EQ(action(static_cast<kv::ShutterActions>(4)), kv::InvalidParameter);

    camera->inspect([](Firmware& f, TimePoint now) {
        ExposureRequest dark;
        dark.duration = 1.0f;
        dark.lightFrame = false;
        ASSERT_EQ(f.sensor(0)->startExposure(dark, now), kv::Success);
    });
    EXPECT_EQ(action(kv::OpenShutter), kv::DeviceBusy);
    EXPECT_EQ(camera->status().shutterStatus, kv::ShutterClosed); // a dark frame keeps it shut
}

// The sensor's state machine, as GetCameraStatus reports it.
TEST_F(FirmwareTime, ExposureRunsThroughItsPhasesInRealTime)
{
    CameraConfig config = Presets::camera("Brisa");
    config.sensors[0] = Presets::sensor("KAF8300"); // with RBI pre-flash
    make(config);
    auto start = [this](ExposureRequest request) {
        kv::EStatusCode status = kv::InvalidStatus;
        camera->inspect([&](Firmware& f, TimePoint now) { status = f.sensor(0)->startExposure(request, now); });
        return status;
    };
    ExposureRequest request;
    request.duration = 2.0f;
    request.rbiPreflash = true; // 400 ms and 3 flushes of 10 ms
    ASSERT_EQ(start(request), kv::Success);
    // Readout of 3448 x 2574 at 4 Mpx/s: about 2.22 s.
    struct Step {
        std::chrono::milliseconds after;
        kv::ISensor::Status state;
    };
    const Step steps[] = {{0ms, kv::ISensor::PreShutter},   {420ms, kv::ISensor::PreShutter},
                          {20ms, kv::ISensor::DoShutterOpen}, {60ms, kv::ISensor::Exposing},
                          {1950ms, kv::ISensor::Exposing},  {40ms, kv::ISensor::DoShutterClose},
                          {50ms, kv::ISensor::Reading},     {2200ms, kv::ISensor::Reading},
                          {50ms, kv::ISensor::ReadyToDownload}};
    for (const Step& step : steps) {
        clock->advance(step.after);
        EXPECT_EQ(camera->status().mainSensorState, step.state) << "after another " << step.after.count() << " ms";
    }
    EXPECT_EQ(send(kv::AbortExposure), kv::Success);
    EXPECT_EQ(camera->status().mainSensorState, kv::ISensor::Idle);

    request.rbiPreflash = false;
    ASSERT_EQ(start(request), kv::Success);
    EXPECT_EQ(start(request), kv::DeviceBusy);
    request.externalTrigger = true;
    ASSERT_EQ(send(kv::AbortExposure), kv::Success);
    ASSERT_EQ(start(request), kv::Success);
    clock->advance(10s);
    EXPECT_EQ(camera->status().mainSensorState, kv::ISensor::Trigger);
    camera->trigger(0);
    clock->advance(100ms);
    EXPECT_EQ(camera->status().mainSensorState, kv::ISensor::Exposing);
    EXPECT_EQ(camera->sensor(0)->exposureCount, 3u);
}

TEST_F(FirmwareTime, ExposureRequestsOutsideTheSensorsRangeAreRefused)
{
    make("BrisaBC455");
    struct Case {
        float duration;
        uint8_t readoutMode;
        bool rbi;
        kv::EStatusCode status;
    };
    const Case cases[] = {
        {1.0f, 0, false, kv::Success},          {0.0f, 0, false, kv::InvalidParameter},
        {4000.0f, 0, false, kv::InvalidParameter}, {NAN, 0, false, kv::InvalidParameter},
        {1.0f, 2, false, kv::InvalidParameter},  {1.0f, 0, true, kv::FeatureNotSupported},
    };
    for (const Case& c : cases) {
        camera->inspect([&](Firmware& f, TimePoint now) {
            ExposureRequest request;
            request.duration = c.duration;
            request.readoutMode = c.readoutMode;
            request.rbiPreflash = c.rbi;
            EXPECT_EQ(f.sensor(0)->startExposure(request, now), c.status) << c.duration << " s, mode " << int(c.readoutMode);
            f.sensor(0)->abortExposure(now);
            EXPECT_EQ(f.sensor(0)->startDownload(now), kv::ImageNotAvailable);
        });
    }
}

TEST_F(FirmwareTime, SensorSettingsSubframeAndCalibrationCheckTheirRanges)
{
    make("BrisaBC455");
    camera->inspect([](Firmware& f, TimePoint now) {
        VirtualSensor& s = *f.sensor(0);
        uint16_t value = 0;
        ASSERT_EQ(s.getSetting(kv::ISensor::AnalogGain0, value), kv::Success);
        EXPECT_EQ(value, 300);
        EXPECT_EQ(s.setSetting(kv::ISensor::AnalogGain0, 6300, now), kv::Success);
        EXPECT_EQ(s.setSetting(kv::ISensor::AnalogGain0, 301, now), kv::InvalidParameter);
        EXPECT_EQ(s.setSetting(kv::ISensor::UseOverscan, 2, now), kv::InvalidParameter);
        EXPECT_EQ(s.setSetting(kv::ISensor::SettingCount, 0, now), kv::InvalidParameter);
        EXPECT_EQ(s.getSetting(kv::ISensor::SettingCount, value), kv::InvalidParameter);

        SubframeRecord sub;
        sub.x = 4000; // binned pixels: the window ends at column 2 * (4000 + 788) = 9576
        sub.width = 788;
        sub.height = 100;
        sub.binX = sub.binY = 2;
        EXPECT_EQ(s.setSubframe(sub, now), kv::Success);
        sub.width = 789; // one binned column past the edge
        EXPECT_EQ(s.setSubframe(sub, now), kv::InvalidParameter);
        sub.width = 10;
        sub.binX = 5;
        EXPECT_EQ(s.setSubframe(sub, now), kv::InvalidParameter);
        EXPECT_EQ(s.subframe().x, 4000);

        kv::ISensor::Calibration calibration;
        EXPECT_EQ(s.getCalibration(calibration), kv::FeatureNotSupported); // CMOS: no legacy record
        EXPECT_EQ(s.setCalibration(kv::ISensor::EGain, 1, 1234, now), kv::Success);
        uint32_t stored = 0;
        EXPECT_EQ(s.getCalibration(kv::ISensor::EGain, 1, stored), kv::Success);
        EXPECT_EQ(stored, 1234u);
        EXPECT_EQ(s.getCalibration(kv::ISensor::CalibrationCount, 0, stored), kv::InvalidParameter);

        ExposureRequest exposure;
        exposure.duration = 5.0f;
        ASSERT_EQ(s.startExposure(exposure, now), kv::Success);
        EXPECT_EQ(s.setSetting(kv::ISensor::AnalogGain0, 300, now), kv::DeviceBusy);
        sub.binX = 2;
        EXPECT_EQ(s.setSubframe(sub, now), kv::DeviceBusy);
    });
}

} // namespace
