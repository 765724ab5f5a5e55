// UDP transport figures, over loopback only:
//  - the round trip of one GetCameraStatus exchange to a virtual camera
//    (median and 99th percentile, microseconds);
//  - the receive thread's ingest of 8 KB datagrams (datagrams/s, GB/s, and the
//    fraction lost) beside a plain recv loop on a socket with the same options.

#include "firmware/VirtualCamera.h"
#include "protocol/Message.h"
#include "transport/IOHandler.h"
#include "transport/NetEndpoint.h"
#include "transport/Promise.h"
#include "transport/UDPComm.h"
#include "transport/UDPController.h"
#include "transport/UDPSocket.h"
#include "udp/SimServer.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace kv;
using clock_type = std::chrono::steady_clock;

namespace {

class Sender : public IOHandler {
public:
    void sendMessage() override
    {
        if (const MessageContextPtr top = topMessage()) {
            comm->sendMessage(top);
        }
    }
    bool receiveMessage(const Message&, EndpointPtr, MessageContextPtr) override { return true; }
    UDPComm* comm = nullptr; // not owned
};

uint32_t loopback()
{
    in_addr address{};
    inet_pton(AF_INET, "127.0.0.1", &address);
    return address.s_addr;
}

void BM_GetCameraStatusRoundTrip(benchmark::State& state)
{
    kvsim::SimServer server(kvsim::VirtualCamera::fromPreset("BrisaBC455"), "127.0.7.2");
    server.start();
    Sender handler;
    UDPComm comm(&handler);
    handler.comm = &comm;
    auto endpoint = std::make_shared<NetEndpoint>("127.0.7.2", 6363, 0);
    endpoint->setNICIP("127.0.0.1");
    comm.openDevice(endpoint);

    std::vector<double> micros;
    size_t failures = 0;
    for (auto _ : state) {
        const auto start = clock_type::now();
        MessageContextPtr context = handler.makeMessage(GetCameraStatus, V1None, endpoint, Medium, "bench");
        context->getRequest()->updateEndpoint(endpoint, -1);
        handler.queueMessage(context);
        if (context->getPromise()->wait() != IPromise::Complete) {
            ++failures;
        }
        context->getPromise()->release();
        micros.push_back(std::chrono::duration<double, std::micro>(clock_type::now() - start).count());
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    }
    state.counters["failures"] = static_cast<double>(failures);
    comm.closeDevice(endpoint);
}
BENCHMARK(BM_GetCameraStatusRoundTrip)->Iterations(5000)->Unit(benchmark::kMicrosecond);

constexpr size_t c_datagram = 8192;

// Sends `count` datagrams of 8 KB as fast as loopback takes them.
void blast(uint16_t port, size_t count)
{
    const int sock = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = loopback();
    std::vector<uint8_t> payload(c_datagram, 0x5A);
    for (size_t i = 0; i < count; ++i) {
        payload[0] = static_cast<uint8_t>(i);
        ::sendto(sock, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    ::close(sock);
}

void report(benchmark::State& state, size_t sent, size_t received, double seconds)
{
    state.counters["datagrams_per_s"] = received / seconds;
    state.counters["GB_per_s"] = received * double(c_datagram) / seconds / 1e9;
    state.counters["lost_fraction"] = sent ? double(sent - received) / double(sent) : 0.0;
}

void BM_ReceiveThreadIngest(benchmark::State& state)
{
    const size_t count = static_cast<size_t>(state.range(0));
    size_t totalReceived = 0;
    double totalSeconds = 0;
    for (auto _ : state) {
        UDPSocket socket;
        socket.open(0, loopback(), UDPSocket::c_defaultSlots);
        std::atomic<bool> sending{true};
        // The consumer keeps up as the image processor would: peek, pop.
        std::thread consumer([&] {
            while (sending.load() || !socket.empty()) {
                if (socket.read(std::chrono::milliseconds(10)) != nullptr) {
                    socket.pop();
                }
            }
        });
        const auto start = clock_type::now();
        blast(socket.getBoundPort(), count);
        // Done when everything arrived or nothing more arrives for 100 ms.
        uint64_t seen = 0;
        auto lastProgress = clock_type::now();
        while (socket.getReceivedPackets() + socket.getDroppedPackets() < count &&
               clock_type::now() - lastProgress < std::chrono::milliseconds(100)) {
            if (socket.getReceivedPackets() != seen) {
                seen = socket.getReceivedPackets();
                lastProgress = clock_type::now();
            }
            std::this_thread::yield();
        }
        const double seconds = std::chrono::duration<double>(lastProgress - start).count();
        sending.store(false);
        consumer.join();
        state.SetIterationTime(seconds);
        totalReceived += socket.getReceivedPackets();
        totalSeconds += seconds;
        socket.close();
    }
    report(state, count * state.iterations(), totalReceived, totalSeconds);
}
BENCHMARK(BM_ReceiveThreadIngest)->Arg(200000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PlainRecvLoop(benchmark::State& state)
{
    const size_t count = static_cast<size_t>(state.range(0));
    size_t totalReceived = 0;
    double totalSeconds = 0;
    for (auto _ : state) {
        // Same options as a transport socket: port reuse, 500 ms time-out, large buffer.
        const int sock = UDPController::get().open(0, loopback(), false, UDPSocket::c_rxTimeoutMs,
                                                    UDPSocket::c_rxBufferBytes);
        sockaddr_in local{};
        socklen_t length = sizeof local;
        ::getsockname(sock, reinterpret_cast<sockaddr*>(&local), &length);
        std::atomic<size_t> received{0};
        std::atomic<bool> stop{false};
        std::atomic<int64_t> lastNs{0};
        const auto start = clock_type::now();
        std::thread receiver([&] {
            std::vector<uint8_t> buffer(UDPController::c_packetSize);
            while (!stop.load()) {
                if (::recv(sock, buffer.data(), buffer.size(), 0) > 0) {
                    received.fetch_add(1);
                    lastNs.store((clock_type::now() - start).count());
                }
            }
        });
        blast(ntohs(local.sin_port), count);
        size_t seen = 0;
        auto lastProgress = clock_type::now();
        while (received.load() < count && clock_type::now() - lastProgress < std::chrono::milliseconds(100)) {
            if (received.load() != seen) {
                seen = received.load();
                lastProgress = clock_type::now();
            }
            std::this_thread::yield();
        }
        stop.store(true);
        ::shutdown(sock, SHUT_RD);
        receiver.join();
        const double seconds = std::chrono::duration<double>(std::chrono::nanoseconds(lastNs.load())).count();
        state.SetIterationTime(seconds);
        totalReceived += received.load();
        totalSeconds += seconds;
        UDPController::get().close(sock);
    }
    report(state, count * state.iterations(), totalReceived, totalSeconds);
}
BENCHMARK(BM_PlainRecvLoop)->Arg(200000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
