#include "firmware/Presets.h"
#include "integration/UdpClient.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "udp/SimServer.h"
#include "unit/protocol/HexBytes.h"
#include "unit/sim/SimFrames.h"

#include <gtest/gtest.h>

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
