#pragma once

// Virtual cameras on their own loopback addresses, a fresh home per test and
// the gateway of the public interface, for the camera and gateway tests.

#include <kvapi/kvapi.h>

#include "camera/Camera.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "transport/UDPComm.h"
#include "transport/UDPController.h"
#include "udp/SimServer.h"
#include "unit/logging/LogFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace kvtest {

// Short waits for exchanges with cameras that are meant to stay silent; the
// answers of live cameras on loopback take microseconds.
constexpr int c_shortResponseMs = 100;
constexpr int c_shortDiscoveryMs = 200;

// A preset with no sensor: sensor set-up is not part of these tests.
inline kvsim::CameraConfig noSensor(const std::string& preset, uint16_t firmware)
{
    kvsim::CameraConfig config = kvsim::Presets::camera(preset);
    config.sensors.clear();
    config.firmwareRevision = firmware;
    return config;
}

struct SimCamera {
    SimCamera(const kvsim::CameraConfig& config, const std::string& address)
        : camera(std::make_shared<kvsim::VirtualCamera>(config)), server(camera, address)
    {
        server.start();
    }
    kvsim::VirtualCameraPtr camera;
    kvsim::SimServer server;
};

// The library's transport of a camera handed out through the public interface:
// only to shorten its waits.
inline void shortenWaits(kv::ICamera* camera, int ms = c_shortResponseMs)
{
    auto* impl = dynamic_cast<kv::Camera*>(camera);
    ASSERT_NE(impl, nullptr);
    const auto comm = std::dynamic_pointer_cast<kv::UDPComm>(impl->getComm());
    ASSERT_TRUE(comm);
    comm->setResponseTimeout(ms);
}

// Waits on a promise the application got and releases it.
inline kv::IPromise::Status settle(kv::IPromisePtr promise, std::string* error = nullptr,
                                   kv::EStatusCode* code = nullptr)
{
    if (promise == nullptr) {
        return kv::IPromise::InvalidFuture;
    }
    const kv::IPromise::Status status = promise->wait();
    if (error != nullptr) {
        char text[256] = {};
        size_t length = sizeof(text);
        promise->getLastError(text, length);
        error->assign(text, length);
    }
    if (code != nullptr) {
        *code = promise->getAPIStatusCode();
    }
    promise->release();
    return status;
}

// A fresh home (log at level 2: DEBUG and above), a short discovery window and the gateway.
class GatewayFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        logtest::writeFile(m_home.logDir() + "logging.conf", "logLevel = 2\n");
        kv::UDPController::get().setDiscoveryWindow(c_shortDiscoveryMs);
        gateway = getGateway();
        ASSERT_NE(gateway, nullptr);
    }
    void TearDown() override
    {
        releaseGateway();
        kv::UDPController::get().setDiscoveryWindow(kv::UDPController::c_defaultDiscoveryWindowMs);
    }

    // Destroys the gateway (the log is complete afterwards).
    void releaseGateway()
    {
        if (gateway != nullptr) {
            deleteGateway(gateway);
            gateway = nullptr;
        }
    }

    // The day's log, read after releaseGateway().
    std::string logText() const { return logtest::readFile(m_home.logDir() + logtest::utcDate() + ".log"); }
    const logtest::TempHome& home() const { return m_home; }

    // One camera found by address and initialised.
    kv::ICamera* discoverAndInitialize(const char* address)
    {
        gateway->queryNetCamera(address, 6363);
        kv::ICamera* camera = gateway->getNetCamera(address, 6363);
        EXPECT_NE(camera, nullptr);
        if (camera != nullptr) {
            EXPECT_TRUE(camera->initialize());
        }
        return camera;
    }

    kv::IGateway* gateway = nullptr;

private:
    logtest::TempHome m_home;
};

} // namespace kvtest
