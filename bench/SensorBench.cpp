// Sensor requests through the library against the virtual camera in the same
// process (no sockets): what the library and firmware model cost per exchange,
// and the subframe adjustments alone.
#include "camera/Camera.h"
#include "firmware/ManualClock.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "inprocess/InProcessComm.h"
#include "sensor/Sensor.h"
#include "sensor/SensorIMX428SubframeAdjustment.h"
#include "sensor/SensorSubframeAdjustments.h"
#include "transport/NetEndpoint.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

struct Rig {
    explicit Rig(const char* preset)
        : sim(kvsim::VirtualCamera::fromPreset(preset, std::make_shared<kvsim::ManualClock>())),
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
    }
    kvsim::VirtualCameraPtr sim;
    std::shared_ptr<kvsim::InProcessComm> comm;
    kv::EndpointPtr endpoint;
    kv::CameraPtr camera;
    kv::Sensor* sensor = nullptr;
};

void settle(kv::IPromise* promise)
{
    promise->wait();
    promise->release();
}

kv::TSubframe window()
{
    kv::TSubframe s;
    s.top = 13;
    s.left = 29;
    s.width = 501;
    s.height = 333;
    s.binX = s.binY = 4;
    return s;
}

void BM_SetSubframeRoundTrip(benchmark::State& state)
{
    Rig rig("MTC"); // IMX428: the adjustment with the most work
    const kv::TSubframe s = window();
    for (auto _ : state)
        settle(rig.sensor->setSubframe(s));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetSubframeRoundTrip);

void BM_SetSettingRoundTrip(benchmark::State& state)
{
    Rig rig("Brisa");
    for (auto _ : state)
        settle(rig.sensor->setSetting(kv::ISensor::FanSpeed, 50));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetSettingRoundTrip);

void BM_Imx428Adjust(benchmark::State& state)
{
    Rig rig("MTC");
    kv::SensorIMX428SubframeAdjustment adjustment(*rig.sensor);
    const kv::TSubframe s = window();
    for (auto _ : state)
        benchmark::DoNotOptimize(adjustment.adjust(s));
}
BENCHMARK(BM_Imx428Adjust);

void BM_GetAdjustment(benchmark::State& state)
{
    Rig rig("BrisaCMOS");
    for (auto _ : state)
        benchmark::DoNotOptimize(kv::ISensorSubframeAdjustment::getAdjustment(*rig.sensor));
}
BENCHMARK(BM_GetAdjustment);

} // namespace

BENCHMARK_MAIN();
