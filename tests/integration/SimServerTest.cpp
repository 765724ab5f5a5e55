#include "firmware/Presets.h"
#include "integration/UdpClient.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "udp/SimServer.h"
#include "unit/protocol/HexBytes.h"
#include "unit/sim/SimFrames.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <set>

using namespace kvsim;

namespace {

TEST(SimServer, AnswersInfoAndStatusFromItsOwnAddress)
{
    SimServer server(VirtualCamera::fromPreset("BrisaBC455"), "127.0.0.2");
    server.start();
    UdpClient client;

    const auto info = client.exchange(simframes::request(kv::GetCameraInfo));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->source, "127.0.0.2:6363");
    const auto infoMessage = simframes::response(kv::GetCameraInfo, info->bytes);
    ASSERT_TRUE(infoMessage->validate());
    EXPECT_EQ(infoMessage->getStatusCode(), kv::Success);
    const auto body = infoMessage->getTypedBody<kv::V1::GetCameraInfoResponseBody>();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->getModel(), kv::ICamera::BrisaBC455);
    EXPECT_EQ(body->getFirmwareRevision(), 30);
    EXPECT_EQ(body->getSensorCount(), 1);

    const auto status = client.exchange(simframes::request(kv::GetCameraStatus));
    ASSERT_TRUE(status);
    const auto statusMessage = simframes::response(kv::GetCameraStatus, status->bytes);
    ASSERT_TRUE(statusMessage->validate());
    EXPECT_EQ(statusMessage->getStatusCode(), kv::Success);
    EXPECT_TRUE(statusMessage->getTypedBody<kv::V1::GetCameraStatusResponseBody>());

    EXPECT_EQ(server.camera()->journal().size(), 2u);
    server.stop();
    EXPECT_FALSE(server.isRunning());
}

TEST(SimServer, SecondCameraOnTheSameAddressFailsToStart)
{
    SimServer first(VirtualCamera::fromPreset("Brisa"), "127.0.0.2");
    first.start();
    SimServer second(VirtualCamera::fromPreset("Brisa"), "127.0.0.2");
    EXPECT_THROW(second.start(), std::runtime_error);
    SimServer host(VirtualCamera::fromPreset("Brisa"), "127.0.0.1");
    EXPECT_THROW(host.start(), std::runtime_error);
    EXPECT_FALSE(host.isRunning());
}

TEST(SimServer, EveryCameraHearsTheDiscoveryBroadcastAndAnswersFromItsAddress)
{
    SimServer a(VirtualCamera::fromPreset("Brisa"), "127.0.0.2");
    SimServer b(VirtualCamera::fromPreset("BrisaBC461"), "127.0.0.3");
    a.start();
    b.start();
    UdpClient client;
    client.send(simframes::request(kv::GetCameraInfo), "127.255.255.255", 6363);
    std::set<std::string> sources;
    while (sources.size() < 2) {
        const auto answer = client.receive();
        if (!answer)
            break;
        sources.insert(answer->source);
    }
    EXPECT_EQ(sources, (std::set<std::string>{"127.0.0.2:6363", "127.0.0.3:6363"}));
}

} // namespace

namespace {

TEST(SimServer, DelayedAnswersLeaveLateWhileOtherRequestsAreStillServed)
{
    auto camera = VirtualCamera::fromPreset("Brisa");
    SimServer server(camera, "127.0.0.2");
    // Once the first answer is held back, the next ones leave at once.
    std::promise<void> firstHeld;
    std::atomic<bool> held{false};
    server.setObserver([&](const Exchange& exchange) {
        if (exchange.reply.delay.count() > 0 && !held.exchange(true)) {
            camera->faults().delayAnswers(std::chrono::milliseconds(0));
            firstHeld.set_value();
        }
    });
    camera->faults().delayAnswers(std::chrono::milliseconds(300));
    server.start();
    UdpClient client;
    const auto sent = std::chrono::steady_clock::now();
    client.send(simframes::request(kv::GetCameraInfo));
    ASSERT_EQ(firstHeld.get_future().wait_for(std::chrono::seconds(2)), std::future_status::ready);
    client.send(simframes::request(kv::GetCameraStatus));
    const auto first = client.receive();
    const auto second = client.receive();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(static_cast<uint8_t>(first->bytes->data[1]), kv::GetCameraStatus);
    EXPECT_EQ(static_cast<uint8_t>(second->bytes->data[1]), kv::GetCameraInfo);
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(300));
}

TEST(SimServer, StrayDatagramsArriveBeforeTheAnswerAndSilenceAnswersNothing)
{
    auto camera = VirtualCamera::fromPreset("BrisaBC2020");
    SimServer server(camera, "127.0.0.3");
    server.start();
    UdpClient client;
    camera->faults().sendForeignBefore(1);
    camera->faults().sendTruncatedBefore(1);
    client.send(simframes::request(kv::GetCameraInfo), "127.0.0.3");
    std::vector<kv::IOBufferPtr> received;
    for (int i = 0; i < 3; ++i)
        if (const auto d = client.receive())
            received.push_back(d->bytes);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_NE(static_cast<uint8_t>(received[0]->data[0]), kv::Cmd);
    EXPECT_FALSE(simframes::response(kv::GetCameraInfo, received[1])->validate());
    EXPECT_TRUE(simframes::response(kv::GetCameraInfo, received[2])->validate());

    camera->faults().clear();
    camera->faults().setSilent(true);
    client.send(simframes::request(kv::GetCameraInfo), "127.0.0.3");
    ASSERT_TRUE(camera->journal().waitForCount(2, std::chrono::milliseconds(2000)));
    EXPECT_FALSE(client.receive(std::chrono::milliseconds(200)));
    EXPECT_EQ(camera->journal().entries().back().source.rfind("127.0.0.1:", 0), 0u);
}

} // namespace
