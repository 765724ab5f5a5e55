// Camera operations through the public interface against a virtual camera on
// loopback: one status exchange, a cooler set-point, and discovery with the
// whole initialisation of a camera without sensors.
#include <kvapi/kvapi.h>

#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "transport/UDPController.h"
#include "udp/SimServer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr const char* c_address = "127.0.8.2";

// No log or configuration file lands in the real home.
struct ScratchHome {
    ScratchHome()
    {
        char pattern[] = "/tmp/kvapi-bench-XXXXXX";
        path = ::mkdtemp(pattern);
        ::setenv("HOME", path.c_str(), 1);
    }
    ~ScratchHome() { std::filesystem::remove_all(path); }
    std::string path;
};

kvsim::CameraConfig noSensor()
{
    kvsim::CameraConfig config = kvsim::Presets::camera("Brisa");
    config.sensors.clear();
    config.firmwareRevision = 23;
    return config;
}

bool settled(kv::IPromisePtr promise)
{
    const bool complete = promise->wait() == kv::IPromise::Complete;
    promise->release();
    return complete;
}

struct Session {
    Session() : server(std::make_shared<kvsim::VirtualCamera>(noSensor()), c_address)
    {
        kv::UDPController::get().setDiscoveryWindow(50);
        server.start();
        gateway = getGateway();
        gateway->queryNetCamera(c_address, 6363);
        camera = gateway->getNetCamera(c_address, 6363);
    }
    ~Session() { deleteGateway(gateway); }
    ScratchHome home;
    kvsim::SimServer server;
    kv::IGateway* gateway = nullptr;
    kv::ICamera* camera = nullptr;
};

void StatusRoundTrip(benchmark::State& state)
{
    Session session;
    if (session.camera == nullptr || !session.camera->initialize()) {
        state.SkipWithError("no camera");
        return;
    }
    for (auto _ : state) {
        if (!settled(session.camera->queryStatus())) {
            state.SkipWithError("status failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(StatusRoundTrip);

void CoolerSetpoint(benchmark::State& state)
{
    Session session;
    if (session.camera == nullptr || !session.camera->initialize()) {
        state.SkipWithError("no camera");
        return;
    }
    kv::ITEC* tec = session.camera->getTEC();
    float setpoint = -10.0f;
    for (auto _ : state) {
        if (!settled(tec->setState(true, setpoint))) {
            state.SkipWithError("set-point failed");
            break;
        }
        setpoint = setpoint < -30.0f ? -10.0f : setpoint - 0.5f;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CoolerSetpoint);

// Most of it is the discovery window (50 ms here); the rest is the 30-odd
// exchanges of the initialisation.
void DiscoverAndInitialize(benchmark::State& state)
{
    for (auto _ : state) {
        Session session;
        if (session.camera == nullptr || !session.camera->initialize()) {
            state.SkipWithError("initialisation failed");
            break;
        }
    }
}
BENCHMARK(DiscoverAndInitialize)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
