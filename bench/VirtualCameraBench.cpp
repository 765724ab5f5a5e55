// How many requests a virtual camera answers per second, in the firmware alone
// and over loopback UDP: the ceiling for the library's exchanges in tests.
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "protocol/Message.h"
#include "transport/NetEndpoint.h"
#include "udp/SimServer.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

kv::IOBufferPtr request(kv::BodyType type)
{
    kv::V1RequestMessage message(type, kv::V1None);
    message.updateEndpoint(std::make_shared<kv::NetEndpoint>("127.0.0.2", 6363, 0), -1);
    return message.getBuffer();
}

void FirmwareAnswersStatus(benchmark::State& state)
{
    auto camera = kvsim::VirtualCamera::fromPreset("BrisaBC455");
    const auto frame = request(kv::GetCameraStatus);
    for (auto _ : state)
        benchmark::DoNotOptimize(camera->receive(frame));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FirmwareAnswersStatus);

void LoopbackRoundTrip(benchmark::State& state)
{
    kvsim::SimServer server(kvsim::VirtualCamera::fromPreset("BrisaBC455"), "127.0.0.2", 0);
    server.setBroadcastAddress("");
    server.start();
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(server.port());
    inet_pton(AF_INET, "127.0.0.2", &to.sin_addr);
    const auto frame = request(kv::GetCameraStatus);
    char buffer[256];
    for (auto _ : state) {
        ::sendto(fd, frame->data, frame->length, 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 1000) != 1 || ::recv(fd, buffer, sizeof(buffer), 0) <= 0) {
            state.SkipWithError("no answer");
            break;
        }
    }
    ::close(fd);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LoopbackRoundTrip)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
