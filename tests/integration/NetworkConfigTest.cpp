// net.yml read at the gateway's construction: the SetNetworkConfig broadcasts
// it makes, inside a private network namespace only.
#include "CameraFixture.h"
#include "LoopbackPeer.h"
#include "PrivateNetwork.h"
#include "UdpClient.h"

#include "gateway/NetworkManager.h"
#include "transport/NetEndpoint.h"
#include "unit/protocol/HexBytes.h"

#include <kvapi/kvapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

using namespace kv;
using kvtest::SimCamera;

namespace {

constexpr const char* c_camera = "127.0.7.22";
constexpr const char* c_assigned = "127.0.7.30";

// A camera that hears broadcasts to every network, as the frames are sent.

class NetworkConfigFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!kvtest::inPrivateNetwork()) {
            return;
        }
        kvsim::CameraConfig config = kvsim::Presets::camera("Brisa");
        camera = std::make_shared<kvsim::VirtualCamera>(config);
        server = std::make_unique<kvsim::SimServer>(camera, c_camera);
        server->setBroadcastAddress("255.255.255.255");
        server->start();
        serial = camera->serialText();
        ASSERT_FALSE(serial.empty());
    }

    void writeConfig(const std::string& text)
    {
        logtest::writeFile(home.path() + "/.kvapi/net.yml", text);
        logtest::writeFile(home.logDir() + "logging.conf", "logLevel = 2\n");
    }

    // Sends a frame no camera takes and waits until the camera has heard it;
    // the frames sent before it arrived on the same socket first. Returns
    // how many configuration frames came before it.
    size_t framesBeforeMarker()
    {
        NetworkManager::Device marker;
        marker.serialNumber = "MARKER";
        marker.macAddress = "00:00:00:00:00:00";
        const auto frame = NetworkManager::makeFrame(NetworkManager::makeBody(marker), V1None);
        UDPComm comm;
        EXPECT_TRUE(comm.writeRawUnbound(frame.data(), frame.size(),
                                         std::make_shared<NetEndpoint>("255.255.255.255", 6363, 0),
                                         kvtest::ipv4("127.0.0.1")));
        const auto isMarker = [&frame](const kvsim::JournalEntry& entry) {
            return entry.bytes->length == frame.size() && std::memcmp(entry.bytes->data, frame.data(), frame.size()) == 0;
        };
        size_t before = 0;
        EXPECT_TRUE(kvtest::waitFor([&] {
            before = 0;
            for (const auto& entry : camera->journal().entries(SetNetworkConfig)) {
                if (isMarker(entry)) {
                    return true;
                }
                ++before;
            }
            return false;
        }));
        return before;
    }

    std::string logText() const { return logtest::readFile(home.logDir() + logtest::utcDate() + ".log"); }

    logtest::TempHome home;
    kvsim::VirtualCameraPtr camera;
    std::unique_ptr<kvsim::SimServer> server;
    std::string serial;
};

#define IN_PRIVATE_NETWORK(extra)                                                                                      \
    if (!kvtest::inPrivateNetwork()) {                                                                                 \
        kvtest::runInPrivateNetwork(extra);                                                                            \
        return;                                                                                                        \
    }

} // namespace

TEST_F(NetworkConfigFile, NamedCameraTakesTheAddressFromEveryInterface)
{
    IN_PRIVATE_NETWORK("127.0.0.9");
    writeConfig("gateway: 127.0.0.1\n"
                "subnet_mask: 255.0.0.0\n"
                "devices:\n"
                "  - serial: " + serial + "\n"
                "    ip: " + c_assigned + "\n"
                "    mac: 00:11:22:33:44:55\n"
                "  - serial: OTHER-1\n"
                "    ip: 127.0.7.31\n"
                "    mac: 00:11:22:33:44:56\n"
                "    gateway: 192.0.2.1\n");
    IGateway* gateway = getGateway();
    ASSERT_NE(gateway, nullptr);
    // Two interfaces: the camera's frame twice; the other camera's gateway is no host address.
    EXPECT_EQ(framesBeforeMarker(), 2u);
    const auto assignment = camera->networkAssignment();
    ASSERT_TRUE(assignment.has_value());
    EXPECT_EQ(assignment->mac, (std::array<uint8_t, 6>{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(assignment->gateway, (std::array<uint8_t, 4>{127, 0, 0, 1}));
    EXPECT_EQ(assignment->subnetMask, (std::array<uint8_t, 4>{255, 0, 0, 0}));
    ASSERT_TRUE(kvtest::waitFor([&] { return server->address() == c_assigned; }));

    // The camera answers from its new address.
    UdpClient client("127.0.0.1", 0);
    client.send(hexbytes::fromHex("a5 00 00 00 00 00 00 00 00"), c_assigned, 6363);
    const auto answer = client.receive();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->source, std::string(c_assigned) + ":6363");

    deleteGateway(gateway);
    EXPECT_NE(logText().find("[ERROR] Network Config: Gateway IP address is not valid '192.0.2.1'"),
              std::string::npos)
        << logText();
}

TEST_F(NetworkConfigFile, FilesThatSendNothing)
{
    IN_PRIVATE_NETWORK(nullptr);
    struct Case {
        const char* name;
        std::string text;
        const char* logged;
    };
    const Case cases[] = {
        {"only a root gateway", "gateway: 127.0.0.1\n", nullptr},
        {"no gateway anywhere",
         "devices:\n  - {serial: " + serial + ", ip: " + c_assigned + ", mac: '00:11:22:33:44:55'}\n",
         "Network Config: Gateway IP address is not valid ''"},
        {"port is text",
         "gateway: 127.0.0.1\ndevices:\n  - {serial: " + serial + ", ip: " + c_assigned +
             ", mac: '00:11:22:33:44:55', port: abc}\n",
         "[DEBUG] Failed to load network config: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        camera->journal().clear();
        writeConfig(c.text);
        IGateway* gateway = getGateway();
        ASSERT_NE(gateway, nullptr);
        EXPECT_EQ(framesBeforeMarker(), 0u);
        deleteGateway(gateway);
        if (c.logged != nullptr) {
            EXPECT_NE(logText().find(c.logged), std::string::npos) << logText();
        }
    }
    EXPECT_FALSE(camera->networkAssignment().has_value());
}

TEST_F(NetworkConfigFile, ShortMacAddressReachesTheApplication)
{
    IN_PRIVATE_NETWORK(nullptr);
    writeConfig("gateway: 127.0.0.1\n"
                "devices:\n"
                "  - {serial: FIRST-1, ip: 127.0.7.40, mac: '00:11:22:33:44:55'}\n"
                "  - {serial: " + serial + ", ip: " + c_assigned + ", mac: '00:11:22'}\n");
    EXPECT_THROW(getGateway(), std::invalid_argument);
    // The camera before the bad one was sent; the named camera got nothing.
    EXPECT_EQ(framesBeforeMarker(), 1u);
    EXPECT_FALSE(camera->networkAssignment().has_value());

    // Nothing was kept: with the file mended a gateway starts.
    writeConfig("gateway: 127.0.0.1\n");
    IGateway* gateway = getGateway();
    ASSERT_NE(gateway, nullptr);
    EXPECT_EQ(gateway->getNetCameraCount(), 0u);
    deleteGateway(gateway);
}

TEST(NetworkConfigHome, WithoutHomeTheFileIsReadFromTheWorkingDirectory)
{
    IN_PRIVATE_NETWORK(nullptr);
    logtest::TempHome home;
    kvsim::CameraConfig config = kvsim::Presets::camera("Brisa");
    auto camera = std::make_shared<kvsim::VirtualCamera>(config);
    kvsim::SimServer server(camera, c_camera);
    server.setBroadcastAddress("255.255.255.255");
    server.start();
    logtest::writeFile(home.path() + "/net.yml",
                       "gateway: 127.0.0.1\ndevices:\n  - {serial: " + camera->serialText() + ", ip: " + c_assigned +
                           ", mac: '00:11:22:33:44:55'}\n");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(home.path());
    ::unsetenv("HOME");
    IGateway* gateway = getGateway();
    std::filesystem::current_path(previous);
    ASSERT_NE(gateway, nullptr);
    EXPECT_TRUE(kvtest::waitFor([&] { return camera->networkAssignment().has_value(); }));
    deleteGateway(gateway);
}
