#pragma once

// A camera wired to a virtual camera over loopback UDP, the path every network
// camera takes, with a ManualClock that moves the virtual camera's time. Each
// rig answers from an address of its own, so that several can live at once.

#include "camera/Camera.h"
#include "firmware/ManualClock.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "protocol/Message.h"
#include "sensor/Sensor.h"
#include "transport/Comm.h"
#include "transport/NetEndpoint.h"
#include "transport/Promise.h"
#include "transport/UDPComm.h"
#include "udp/SimServer.h"
#include "integration/PromiseOutcome.h"

#include <memory>
#include <string>

namespace sensortest {

// Addresses of their own, away from the ones other suites use.
inline std::string nextCameraIp()
{
    static unsigned next = 0;
    return "127.0.8." + std::to_string(2 + next++ % 250);
}

struct Rig {
    explicit Rig(const kvsim::CameraConfig& config)
        : clock(std::make_shared<kvsim::ManualClock>()),
          sim(std::make_shared<kvsim::VirtualCamera>(config, clock)),
          server(std::make_shared<kvsim::SimServer>(sim, nextCameraIp())),
          comm(std::make_shared<kv::UDPComm>()),
          endpoint(std::make_shared<kv::NetEndpoint>(server->address(), 6363, 0)),
          camera(std::make_shared<kv::Camera>())
    {
        server->start();
        // Tests that make the camera fall silent wait a short time for nothing.
        comm->setResponseTimeout(300);
        camera->setCameraInfo(sim->info());
        camera->setEndpoint(endpoint);
        camera->setComm(comm);
        camera->setConnection(true);
    }
    ~Rig()
    {
        // The camera drops its handlers and closes the transport before the server goes.
        camera.reset();
        comm.reset();
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;
    explicit Rig(const std::string& preset) : Rig(kvsim::Presets::camera(preset)) {}

    // A sensor of this camera outside the camera's own set-up, registered
    // with the transport for as long as it lives.
    struct OwnSensor {
        OwnSensor(Rig& rig, uint8_t id) : comm(*rig.comm), sensor(id, rig.camera->getInfo().model, *rig.camera)
        {
            comm.registerHandler(&sensor);
        }
        ~OwnSensor() { comm.unregisterHandler(&sensor); }
        kv::Sensor* operator->() { return &sensor; }
        kv::Sensor& operator*() { return sensor; }
        kv::Comm& comm;
        kv::Sensor sensor;
    };

    std::shared_ptr<kvsim::ManualClock> clock;
    kvsim::VirtualCameraPtr sim;
    std::shared_ptr<kvsim::SimServer> server;
    std::shared_ptr<kv::UDPComm> comm;
    kv::EndpointPtr endpoint;
    kv::CameraPtr camera;
};

using promisetest::Outcome;
using promisetest::settle;

} // namespace sensortest
