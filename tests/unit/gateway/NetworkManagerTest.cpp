#include "gateway/NetworkManager.h"
#include "logging/Logger.h"
#include "transport/UDPComm.h"
#include "unit/logging/LogFiles.h"
#include "unit/protocol/HexBytes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace kv;

namespace {

std::string frameHex(const NetworkManager::Device& device)
{
    const auto frame = NetworkManager::makeFrame(NetworkManager::makeBody(device), V1None);
    return hexbytes::toHex(IOBuffer::newBuffer(reinterpret_cast<const char*>(frame.data()), frame.size()));
}

// Reads the file the way the gateway does; the transport only sends, and
// nothing is sent here.
struct Parsed {
    explicit Parsed(const std::string& text)
    {
        logtest::writeFile(home.path() + "/net.yml", text);
        logger = logtest::startLog(home.logDir(), 2); // DEBUG and above
        manager = std::make_unique<NetworkManager>(home.path() + "/net.yml", comm, logger);
    }
    std::string log() { return logtest::finish(*logger); }

    logtest::TempHome home;
    UDPComm comm;
    KVAPILoggerPtr logger;
    std::unique_ptr<NetworkManager> manager;
};

} // namespace

TEST(NetworkConfigFrame, SixtyBytesWithTheSerialCutTo32)
{
    NetworkManager::Device device;
    device.serialNumber = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789wxyz"; // 40 characters
    device.macAddress = "00-1a-2B-3c-4D-5e";
    device.ipAddress = "192.168.42.10";
    device.gateway = "192.168.42.1";
    device.subnet = "255.255.255.0";
    EXPECT_EQ(frameHex(device),
              "a5 31 00 00 00 32 00 00 00 "
              "00 1a 2b 3c 4d 5e c0 a8 2a 0a c0 a8 2a 01 ff ff ff 00 "
              "41 42 43 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50 51 52 53 54 55 56 57 58 59 5a 30 31 32 33 34 35 "
              "00");

    // A text that is no address gives all bits set; a short serial is zero-filled.
    device.serialNumber = "BR";
    device.ipAddress = "camera";
    device.subnet = "";
    device.macAddress = "zz:01:02:03:04:05";
    EXPECT_EQ(frameHex(device),
              "a5 31 00 00 00 32 00 00 00 "
              "00 01 02 03 04 05 ff ff ff ff c0 a8 2a 01 ff ff ff ff "
              "42 52 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
              "00");
}

TEST(NetworkConfigFrame, ShortMacAddressIsRefused)
{
    NetworkManager::Device device;
    device.macAddress = "00:11:22:33:44:5";
    try {
        NetworkManager::makeBody(device);
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Expected MAC address string to be 18 bytes long. e.g. '00:00:00:00:00:00'");
    }
}

TEST(NetworkConfigFile, ReadsDevicesWithTheirDefaults)
{
    Parsed parsed("gateway: 10.1.1.1\n"
                  "subnet_mask: 255.0.0.0\n"
                  "devices:\n"
                  "  - serial: BR694M-24011542\n"
                  "    ip: 10.1.1.20\n"
                  "    mac: 00:11:22:33:44:55\n"
                  "  - serial: BC455M-000123-07\n"
                  "    ip: 10.2.2.20\n"
                  "    mac: 00:11:22:33:44:56\n"
                  "    port: 7000\n"
                  "    gateway: 10.2.2.1\n"
                  "    subnet_mask: 255.255.0.0\n");
    ASSERT_TRUE(parsed.manager->isValid());
    const auto& devices = parsed.manager->getDevices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].serialNumber, "BR694M-24011542");
    EXPECT_EQ(devices[0].gateway, "10.1.1.1");
    EXPECT_EQ(devices[0].subnet, "255.0.0.0");
    EXPECT_EQ(devices[0].listeningPort, 6363);
    EXPECT_EQ(devices[1].gateway, "10.2.2.1");
    EXPECT_EQ(devices[1].subnet, "255.255.0.0");
    EXPECT_EQ(devices[1].listeningPort, 7000);
}

TEST(NetworkConfigFile, ValidityOfFiles)
{
    struct Case {
        const char* name;
        const char* text;
        bool valid;
        size_t devices;
    };
    const Case cases[] = {
        {"only a root gateway", "gateway: 127.0.0.1\n", true, 0},
        {"empty file", "", true, 0},
        {"no gateway anywhere", "devices:\n  - {serial: A, ip: 1.2.3.4, mac: '00:11:22:33:44:55'}\n", true, 1},
        {"port is text", "devices:\n  - {serial: A, ip: 1.2.3.4, mac: '00:11:22:33:44:55', port: abc}\n", false, 0},
        {"port too large", "devices:\n  - {serial: A, ip: 1.2.3.4, mac: '00:11:22:33:44:55', port: 70000}\n", false,
         0},
        {"missing mac", "devices:\n  - {serial: A, ip: 1.2.3.4}\n", false, 0},
        {"devices not a list", "devices: 3\n", false, 0},
        {"syntax error", "devices: [\n", false, 0},
        {"root not a mapping", "- a\n- b\n", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed parsed(c.text);
        EXPECT_EQ(parsed.manager->isValid(), c.valid);
        EXPECT_EQ(parsed.manager->getDevices().size(), c.devices);
        const std::string log = parsed.log();
        EXPECT_EQ(log.find("[DEBUG] Failed to load network config: ") != std::string::npos, !c.valid) << log;
    }
}
