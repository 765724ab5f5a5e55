#include "unit/protocol/HexBytes.h"

#include "protocol/Message.h"
#include "transport/IOHandler.h"
#include "transport/NetEndpoint.h"
#include "transport/Promise.h"
#include "transport/UDPComm.h"
#include "transport/UDPController.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/time.h>

#include <memory>
#include <string>

using namespace kv;

namespace {

MessageContextPtr statusContext()
{
    auto request = std::make_shared<V1RequestMessage>(GetCameraStatus, V1None);
    auto response = std::make_shared<V1ResponseMessage>(GetCameraStatus, V1None);
    return std::make_shared<MessageContext>(request, response, std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0),
                                            Medium, nullptr, "Camera::queryStatus");
}

uint32_t address(const char* text)
{
    in_addr value{};
    inet_pton(AF_INET, text, &value);
    return value.s_addr;
}

} // namespace

// Received datagrams are untrusted: every buffer below holds exactly the bytes
// given, so a read past the datagram shows up under AddressSanitizer. Frames
// cut short are skipped; matched frames that do not validate are resent by the
// dispatch.
TEST(UDPCommParsePacket, AcceptsOnlyAnswersToTheRequestAndNeverReadsPastTheDatagram)
{
    struct Case {
        const char* name;
        const char* hex;
        bool matched;
        bool valid;
    };
    const Case cases[] = {
        {"status answer", "a5 06 01 00 00 00 0c 00 00 00 01 02 03 04 05 06 07 08 09 0a 0b 0c", true, true},
        {"answer with correct CRC-8", "a5 06 01 02 00 00 0c 00 00 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 42", true,
         true},
        {"answer with wrong CRC-8", "a5 06 01 02 00 00 0c 00 00 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 43", true,
         false},
        {"CRC-8 footer missing", "a5 06 01 02 00 00 0c 00 00 00 01 02 03 04 05 06 07 08 09 0a 0b 0c", false, false},
        {"body cut short", "a5 06 01 00 00 00 0c 00 00 00 01 02 03 04", false, false},
        {"body length past any slot", "a5 06 01 00 00 00 ff ff ff ff 01 02", false, false},
        {"invalid footer type", "a5 06 01 07 00 00 0c 00 00 00 01 02 03 04 05 06 07 08 09 0a 0b 0c", true, false},
        {"request header", "a5 06 00 00 00 00 00 00 00 00", false, false},
        {"other body type", "a5 00 01 00 00 00 0a 00 00 00 01 02 03 04 05 06 07 08 09 0a", false, false},
        {"shorter than a header", "a5 06 01", false, false},
        {"empty", "", false, false},
    };
    UDPComm comm;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MessageContextPtr context = statusContext();
        EXPECT_EQ(comm.parsePacket(context, hexbytes::fromHex(c.hex)), c.matched);
        if (c.matched) {
            EXPECT_EQ(context->getResponse()->validate(), c.valid);
        }
    }
}

TEST(UDPCommParsePacket, RetypesTheResponseToTheFrame)
{
    UDPComm comm;
    const MessageContextPtr context = statusContext();
    ASSERT_TRUE(comm.parsePacket(context, hexbytes::fromHex("a5 06 01 00 09 00 0c 00 00 00 "
                                                            "00 00 00 00 00 00 00 00 00 00 00 00")));
    EXPECT_EQ(context->getResponse()->getStatusCode(), EStatusCode::BadChecksum);
    EXPECT_FALSE(comm.parsePacket(nullptr, hexbytes::fromHex("a5 06 01")));
    EXPECT_FALSE(comm.parsePacket(context, nullptr));
}

TEST(UDPControllerSettings, RxTimeoutSplitsIntoSecondsAndMicroseconds)
{
    struct Case {
        int ms;
        long seconds;
        long microseconds;
    };
    const Case cases[] = {{1500, 1, 500000}, {250, 0, 250000}, {2000, 2, 0}, {0, 0, 0}, {-5, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        const timeval value = UDPController::toTimeval(c.ms);
        EXPECT_EQ(value.tv_sec, c.seconds);
        EXPECT_EQ(value.tv_usec, c.microseconds);
    }
}

TEST(UDPControllerSettings, DefaultsOfTheTransport)
{
    EXPECT_EQ(UDPController::get().getDiscoveryWindow(), 1000);
    EXPECT_TRUE(UDPController::get().isReady());
    UDPComm comm;
    EXPECT_EQ(comm.getResponseTimeout(), 2000);
    EXPECT_EQ(comm.getFooterType(), V1None);
    EXPECT_FALSE(comm.isBusy());
    EXPECT_TRUE(comm.isEnabled());
    EXPECT_EQ(MessageContext::c_maxResends, 4);
    EXPECT_EQ(UDPSocket::c_rxBufferBytes, 0x119B0000);
    EXPECT_EQ(UDPController::c_packetSize, 9014u);
}

TEST(UDPControllerSubnet, DestinationOnTheInterfaceNetwork)
{
    struct Case {
        const char* destination;
        bool onSubnet;
    };
    const UDPController::NICAddrSet nic("192.168.7.20", "192.168.7.255", "255.255.255.0");
    const Case cases[] = {
        {"192.168.7.1", true},     {"192.168.7.255", true}, {"192.168.8.1", false}, {"10.0.0.5", false},
        {"0.0.0.0", true},         {"255.255.255.255", true}, {"not an address", false}, {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        EXPECT_EQ(nic.isOnSubnet(c.destination), c.onSubnet);
    }
    EXPECT_EQ(nic, UDPController::NICAddrSet("192.168.7.20", "192.168.7.255", "255.255.255.0"));
    EXPECT_NE(nic, UDPController::NICAddrSet("192.168.7.21", "192.168.7.255", "255.255.255.0"));
}

TEST(UDPControllerSubnet, LoopbackIsListedWithItsBroadcastAddress)
{
    bool found = false;
    for (const auto& nic : UDPController::get().getBroadcastIPs()) {
        if (nic.getHostIP() == "127.0.0.1") {
            found = true;
            EXPECT_EQ(nic.getSubnetMask(), "255.0.0.0");
            EXPECT_EQ(nic.getBroadcastIP(), "127.255.255.255");
            EXPECT_TRUE(nic.isOnSubnet("127.0.0.2"));
        }
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(UDPComm::findNetIfaceIP(address("127.0.0.2")), address("127.0.0.1"));
    // TEST-NET-3 is on no interface of a test machine.
    EXPECT_EQ(UDPComm::findNetIfaceIP(address("203.0.113.9")), 0u);
}

// Without an open device nothing is sent, peeked or popped, and the image
// channels are all zero.
TEST(UDPCommClosed, RawAccessAndExchangesNeedTheCommandSocket)
{
    UDPComm comm;
    uint8_t* data = nullptr;
    size_t length = 0;
    EXPECT_FALSE(comm.peekRaw(data, length));
    EXPECT_FALSE(comm.peekRaw(3, data, length));
    EXPECT_FALSE(comm.popRaw());
    EXPECT_FALSE(comm.popRaw(1));
    uint8_t frame[9] = {0xA5};
    EXPECT_FALSE(comm.writeRaw(frame, sizeof frame, std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0)));
    EXPECT_FALSE(comm.writeRawUnbound(frame, sizeof frame, nullptr, 0));
    EXPECT_EQ(comm.availablePackets(), 0u);

    uint32_t ip0 = 1, ip1 = 1;
    uint16_t port0 = 1, ports0b = 1, port1 = 1, ports1b = 1;
    comm.getImgChannels(ip0, port0, ports0b, ip1, port1, ports1b);
    EXPECT_EQ(ip0, 0u);
    EXPECT_EQ(port0, 0u);
    EXPECT_EQ(ports0b, 0u);
    EXPECT_EQ(ip1, 0u);
    EXPECT_EQ(port1, 0u);
    EXPECT_EQ(ports1b, 0u);

    const MessageContextPtr context = statusContext();
    comm.sendMessage(context);
    EXPECT_EQ(context->getPromise()->getStatus(), IPromise::Idle);
    EXPECT_FALSE(context->getPromise()->getIsHandled());
    // Closing what was never opened changes nothing.
    auto endpoint = std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0);
    endpoint->setIsInitialized(true);
    comm.closeDevice(endpoint);
    EXPECT_TRUE(endpoint->getIsInitialized());
}
