#pragma once

// A camera wired to a virtual camera in the same process (InProcessComm): no
// sockets, and a ManualClock moves the camera's time.

#include "camera/Camera.h"
#include "firmware/ManualClock.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "inprocess/InProcessComm.h"
#include "protocol/Message.h"
#include "sensor/Sensor.h"
#include "transport/Comm.h"
#include "transport/NetEndpoint.h"
#include "transport/Promise.h"

#include <memory>
#include <string>

namespace sensortest {

inline constexpr const char* c_cameraIp = "127.0.0.2";

struct Rig {
    explicit Rig(const kvsim::CameraConfig& config)
        : clock(std::make_shared<kvsim::ManualClock>()),
          sim(std::make_shared<kvsim::VirtualCamera>(config, clock)),
          comm(std::make_shared<kvsim::InProcessComm>(sim)),
          endpoint(std::make_shared<kv::NetEndpoint>(c_cameraIp, 6363, 0)),
          camera(std::make_shared<kv::Camera>())
    {
        camera->setCameraInfo(sim->info());
        camera->setEndpoint(endpoint);
        camera->setComm(comm);
        endpoint->setIsInitialized(true);
    }
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
    std::shared_ptr<kvsim::InProcessComm> comm;
    kv::EndpointPtr endpoint;
    kv::CameraPtr camera;
};

// Waits for the promise, keeps its outcome and releases it.
struct Outcome {
    kv::IPromise::Status status = kv::IPromise::InvalidFuture;
    kv::EStatusCode code = kv::InvalidStatus;
    std::string error;
};

inline Outcome settle(kv::IPromisePtr promise)
{
    Outcome outcome;
    if (promise == nullptr)
        return outcome;
    outcome.status = promise->wait();
    outcome.code = promise->getAPIStatusCode();
    char buffer[512] = {};
    size_t length = sizeof(buffer);
    promise->getLastError(buffer, length);
    outcome.error.assign(buffer, length);
    promise->release();
    return outcome;
}

} // namespace sensortest
