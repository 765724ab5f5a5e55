// Sensors of several models against arbitrary input: answers of any body type
// and content handed to the response dispatch, and subframes, settings,
// calibration keys and exposure options of any value sent through the whole
// request path to a virtual camera. Nothing may crash or read outside a buffer;
// a malformed answer may only be refused with std::runtime_error.
#include "camera/Camera.h"
#include "firmware/ManualClock.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "inprocess/InProcessComm.h"
#include "protocol/Message.h"
#include "sensor/Sensor.h"
#include "sensor/SensorIMX428SubframeAdjustment.h"
#include "sensor/SensorSubframeAdjustments.h"
#include "transport/NetEndpoint.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

struct Rig {
    explicit Rig(const char* preset)
        : clock(std::make_shared<kvsim::ManualClock>()),
          sim(kvsim::VirtualCamera::fromPreset(preset, clock)),
          comm(std::make_shared<kvsim::InProcessComm>(sim)),
          endpoint(std::make_shared<kv::NetEndpoint>("127.0.0.2", 6363, 0)),
          camera(std::make_shared<kv::Camera>())
    {
        camera->setCameraInfo(sim->info());
        camera->setEndpoint(endpoint);
        camera->setComm(comm);
        endpoint->setIsInitialized(true);
        if (!camera->initialize())
            std::abort();
        sensor = dynamic_cast<kv::Sensor*>(camera->getSensor(0));
        if (sensor == nullptr)
            std::abort();
    }
    std::shared_ptr<kvsim::ManualClock> clock;
    kvsim::VirtualCameraPtr sim;
    std::shared_ptr<kvsim::InProcessComm> comm;
    kv::EndpointPtr endpoint;
    kv::CameraPtr camera;
    kv::Sensor* sensor = nullptr;
};

Rig& rig(unsigned which)
{
    static const char* const presets[] = {"Brisa", "MTC", "BrisaCMOS", "BrisaBC2020", "Vireo", "BrisaBC455"};
    static std::unique_ptr<Rig> rigs[6];
    auto& r = rigs[which % 6];
    if (!r)
        r = std::make_unique<Rig>(presets[which % 6]);
    return *r;
}

int32_t word(const uint8_t* p)
{
    int32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

void settle(kv::IPromise* promise)
{
    if (promise == nullptr)
        std::abort();
    const kv::IPromise::Status status = promise->wait();
    if (status != kv::IPromise::Complete && status != kv::IPromise::Error)
        std::abort(); // every exchange with the in-process camera ends at once
    promise->release();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    Rig& r = rig(data[0] >> 2);
    kv::Sensor& sensor = *r.sensor;
    const uint8_t* rest = data + 1;
    const size_t length = size - 1;
    switch (data[0] & 3) {
    case 0: {
        // An answer as the dispatch hands it over: typed by its own body-type byte.
        const auto bytes = kv::IOBuffer::newBuffer(reinterpret_cast<const char*>(rest), length);
        const auto type = static_cast<kv::BodyType>(length > 1 ? rest[1] : kv::GetSensorInfo);
        kv::V1ResponseMessage answer(type, kv::V1None);
        answer.setBuffer(bytes);
        if (!answer.validate() || answer.getStatusCode() != kv::Success)
            return 0; // the dispatch stops these before any handler
        try {
            sensor.receiveMessage(answer, r.endpoint, nullptr);
        } catch (const std::runtime_error&) {
        }
        break;
    }
    case 1: {
        // A subframe through every adjustment and then to the camera.
        if (length < 24)
            return 0;
        kv::TSubframe s;
        s.top = word(rest);
        s.left = word(rest + 4);
        s.width = word(rest + 8);
        s.height = word(rest + 12);
        s.binX = word(rest + 16);
        s.binY = word(rest + 20);
        kv::SensorDefaultSubframeAdjustment(sensor).adjust(s);
        kv::SensorGSENSE4040SubframeAdjustment(sensor).adjust(s);
        kv::SensorGSENSE2020SubframeAdjustment g2020(sensor);
        g2020.setOnChipBinning(length > 24 && (rest[24] & 1));
        g2020.adjust(s);
        kv::SoftwareBinningSubframeAdjustment(sensor).adjust(s);
        kv::SensorIMX428SubframeAdjustment imx428(sensor);
        imx428.adjust(s);
        settle(sensor.setSubframe(s));
        break;
    }
    case 2: {
        // Settings and calibration keys of any code and value.
        if (length < 12)
            return 0;
        const auto setting = static_cast<kv::ISensor::Setting>(static_cast<uint32_t>(word(rest)));
        settle(sensor.setSetting(setting, word(rest + 4)));
        settle(sensor.querySetting(setting));
        const auto key = static_cast<kv::ISensor::CalibrationKey>(rest[8]);
        settle(sensor.setCalibration(key, static_cast<int8_t>(rest[9]), word(rest + 4)));
        settle(sensor.queryCalibration(key, static_cast<int16_t>(rest[10] | rest[11] << 8)));
        sensor.getCalibration(key, rest[10]);
        char modes[64];
        size_t room = rest[11] % sizeof(modes);
        sensor.getReadoutModes(modes, room);
        int gains[8];
        uint32_t count = rest[10] % 9;
        sensor.getAdjustableGains(static_cast<kv::ISensor::AdjustableGainMode>(rest[8] & 3), gains, count);
        break;
    }
    default: {
        // Exposure options of any value; time moves so exposures end.
        if (length < 9)
            return 0;
        kv::TExposureOptions options;
        float duration;
        std::memcpy(&duration, rest, sizeof duration);
        options.duration = duration;
        options.readoutMode = static_cast<uint32_t>(word(rest + 4));
        options.isLightFrame = rest[8] & 1;
        options.useRBIPreflash = rest[8] & 2;
        options.useExtTrigger = rest[8] & 4;
        settle(sensor.startExposure(options));
        r.clock->advance(std::chrono::milliseconds(rest[8] * 20));
        if (rest[8] & 8)
            settle(sensor.abortExposure());
        break;
    }
    }
    return 0;
}
