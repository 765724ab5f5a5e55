#include "LoopbackPeer.h"

#include "transport/NetEndpoint.h"
#include "transport/UDPComm.h"
#include "transport/UDPController.h"
#include "transport/UDPSocket.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

using namespace kv;
using kvtest::LoopbackPeer;
using kvtest::waitFor;

namespace {

// A datagram whose bytes all derive from its number, so that an overwritten
// slot cannot pass for an intact one.
std::vector<uint8_t> numbered(uint32_t id, size_t length = 64)
{
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(id * 31 + i);
    }
    return bytes;
}

bool holds(const uint8_t* slot, size_t length, const std::vector<uint8_t>& expected)
{
    return slot != nullptr && length == expected.size() &&
           (length == 0 || std::memcmp(slot, expected.data(), length) == 0);
}

struct RingFixture : ::testing::Test {
    void openRing(size_t slots)
    {
        ASSERT_TRUE(socket.open(0, kvtest::ipv4("127.0.0.1"), slots));
        ASSERT_NE(socket.getBoundPort(), 0);
        ASSERT_TRUE(sender.ok());
    }
    // Sends datagrams first..last and waits until the receive thread has
    // either queued or dropped each of them.
    void send(uint32_t first, uint32_t last)
    {
        for (uint32_t id = first; id <= last; ++id) {
            ASSERT_TRUE(sender.sendTo("127.0.0.1", socket.getBoundPort(), numbered(id)));
            ++sent;
            if (id % 500 == 0 || id == last) {
                // Batches keep the kernel's receive buffer from overflowing.
                ASSERT_TRUE(waitFor([&] { return socket.getReceivedPackets() + socket.getDroppedPackets() >= sent; }));
            }
        }
    }

    UDPSocket socket;
    LoopbackPeer sender;
    uint64_t sent = 0;
};

using UDPSocketRing = RingFixture;

} // namespace

TEST_F(UDPSocketRing, FullRingDropsNewDatagramsAndKeepsTheQueuedOnes)
{
    openRing(8);
    send(0, 7);
    EXPECT_EQ(socket.availablePackets(), 8u);
    send(8, 12);
    EXPECT_EQ(socket.getDroppedPackets(), 5u);
    EXPECT_EQ(socket.availablePackets(), 8u);

    for (uint32_t id = 0; id < 8; ++id) {
        size_t length = 0;
        const uint8_t* slot = socket.read(std::chrono::milliseconds(0), &length);
        EXPECT_TRUE(holds(slot, length, numbered(id))) << "datagram " << id;
        socket.pop();
    }
    EXPECT_TRUE(socket.empty());
    // With room again, the next datagram is queued.
    send(13, 13);
    size_t length = 0;
    const uint8_t* slot = socket.read(std::chrono::milliseconds(1000), &length);
    EXPECT_TRUE(holds(slot, length, numbered(13)));
    EXPECT_EQ(socket.getDroppedPackets(), 5u);
}

TEST_F(UDPSocketRing, ConsumerFortyThousandBehindFindsItsDatagramsIntact)
{
    openRing(UDPSocket::c_defaultSlots);
    send(0, 40009);
    EXPECT_EQ(socket.availablePackets(), 40000u);
    EXPECT_EQ(socket.getDroppedPackets(), 10u);
    size_t length = 0;
    const uint8_t* oldest = socket.front(&length);
    EXPECT_TRUE(holds(oldest, length, numbered(0)));
    for (uint32_t id = 0; id < 39999; ++id) {
        socket.pop();
    }
    const uint8_t* newest = socket.front(&length);
    EXPECT_TRUE(holds(newest, length, numbered(39999)));
}

TEST_F(UDPSocketRing, ReportsEachDatagramsOwnLength)
{
    openRing(16);
    // The last one is longer than a slot and arrives cut to the slot size.
    const size_t lengths[] = {1, 100, 9014, 9100, 0};
    uint32_t id = 0;
    for (size_t length : lengths) {
        ASSERT_TRUE(sender.sendTo("127.0.0.1", socket.getBoundPort(), numbered(id++, length)));
    }
    id = 0;
    for (size_t expected : lengths) {
        size_t length = 12345;
        const uint8_t* slot = socket.read(std::chrono::milliseconds(2000), &length);
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(length, std::min<size_t>(expected, UDPController::c_packetSize));
        auto bytes = numbered(id++, expected);
        bytes.resize(length);
        EXPECT_TRUE(holds(slot, length, bytes));
        socket.pop();
    }
}

TEST_F(UDPSocketRing, UntouchedSlotsCostNoResidentMemory)
{
    const size_t before = kvtest::residentBytes();
    openRing(UDPSocket::c_defaultSlots); // 40000 slots of 9014 bytes: 360 MB mapped
    send(0, 99);
    ASSERT_TRUE(waitFor([&] { return socket.availablePackets() == 100; }));
    const size_t after = kvtest::residentBytes();
    EXPECT_LT(after - std::min(after, before), size_t(32) << 20);
}

TEST(UDPSocketLifecycle, CloseJoinsTheReceiveThreadAtOnce)
{
    const size_t threadsBefore = kvtest::threadCount();
    UDPSocket socket;
    ASSERT_TRUE(socket.open(0, kvtest::ipv4("127.0.0.1"), 4));
    EXPECT_TRUE(socket.isListening());
    EXPECT_EQ(kvtest::threadCount(), threadsBefore + 1);
    // A reader blocked in read() is woken by the abort.
    std::thread reader([&] { EXPECT_EQ(socket.read(std::chrono::milliseconds(10000)), nullptr); });
    const auto start = std::chrono::steady_clock::now();
    socket.close();
    reader.join();
    // Well inside one 500 ms receive time-out: the abort wakes the thread.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450));
    EXPECT_FALSE(socket.isOpen());
    EXPECT_FALSE(socket.isListening());
    EXPECT_EQ(kvtest::threadCount(), threadsBefore);
    // Closed sockets neither send nor wait.
    uint8_t byte = 0xA5;
    EXPECT_FALSE(socket.send(std::make_shared<NetEndpoint>("127.0.0.1", 9, 0), &byte, 1));
    EXPECT_EQ(socket.read(std::chrono::milliseconds(5000)), nullptr);
}

TEST(UDPControllerOptions, RxTimeoutAndReceiveBufferReachTheSocket)
{
    UDPController& controller = UDPController::get();
    const int sock = controller.open(0, kvtest::ipv4("127.0.0.1"), false, 1500, UDPSocket::c_rxBufferBytes);
    ASSERT_NE(sock, 0) << controller.getLastOpenError();

    struct Case {
        int ms;
        long seconds;
        long microseconds;
    };
    for (const Case& c : {Case{1500, 1, 500000}, Case{250, 0, 250000}}) {
        SCOPED_TRACE(c.ms);
        controller.setRxTimeout(sock, c.ms);
        timeval value{};
        socklen_t length = sizeof value;
        ASSERT_EQ(getsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &value, &length), 0);
        EXPECT_EQ(value.tv_sec, c.seconds);
        // The kernel keeps the time-out in scheduler ticks (1 to 10 ms).
        EXPECT_GE(value.tv_usec, c.microseconds);
        EXPECT_LT(value.tv_usec, c.microseconds + 10000);
    }

    const int obtained = controller.getRxBufferLng(sock);
    if (geteuid() == 0) {
        // Allowed past net.core.rmem_max: the whole request (the kernel doubles it).
        EXPECT_GE(obtained, UDPSocket::c_rxBufferBytes);
    } else {
        EXPECT_GT(obtained, 0);
    }
    controller.close(sock);
    EXPECT_THROW(controller.setRxTimeout(sock, 100), std::runtime_error);
    EXPECT_THROW(controller.getRxBufferLng(sock), std::runtime_error);
}

TEST(UDPControllerOptions, BusyPortMovesToTheNextOneAndTenBusyPortsFail)
{
    UDPController& controller = UDPController::get();
    // Ten consecutive ports held without port reuse.
    std::vector<std::unique_ptr<LoopbackPeer>> holders;
    for (int base = 0; base < 20 && holders.size() < 10; ++base) {
        holders.clear();
        holders.push_back(std::make_unique<LoopbackPeer>("127.0.0.1", 0));
        const uint16_t first = holders.front()->port();
        if (first > 65000) {
            continue;
        }
        for (uint16_t port = first + 1; port < first + 10; ++port) {
            auto holder = std::make_unique<LoopbackPeer>("127.0.0.1", port);
            if (!holder->ok()) {
                break;
            }
            holders.push_back(std::move(holder));
        }
    }
    ASSERT_EQ(holders.size(), 10u) << "no ten free consecutive ports";
    const uint16_t first = holders.front()->port();
    const uint32_t loopback = kvtest::ipv4("127.0.0.1");

    EXPECT_EQ(controller.newSocket(first, loopback), 0);
    EXPECT_EQ(controller.open(first, loopback, false, 500, 40000), 0);
    EXPECT_EQ(controller.getLastOpenError(), "[UDPCOMM] Failed to open socket");

    // Transport side: eleven attempts, then the error names the camera.
    UDPComm comm;
    auto camera = std::make_shared<NetEndpoint>("127.0.5.2", first, 0);
    camera->setNICIP("127.0.0.1");
    try {
        comm.openDevice(camera);
        FAIL() << "openDevice bound a busy port";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Failed to open socket. 127.0.5.2:" + std::to_string(first) + "\nAddress already in use");
    }
    EXPECT_FALSE(camera->getIsInitialized());
    EXPECT_EQ(comm.getCommandSocket(), nullptr);

    // With only the first port busy the socket takes the next one.
    holders.resize(1);
    comm.openDevice(camera);
    EXPECT_TRUE(camera->getIsInitialized());
    ASSERT_NE(comm.getCommandSocket(), nullptr);
    EXPECT_EQ(comm.getCommandSocket()->getBoundPort(), first + 1);
    comm.closeDevice(camera);
}

TEST(UDPCommDevice, CloseDeviceJoinsTheReceiveThreadAndFreesThePort)
{
    LoopbackPeer camera("127.0.5.2", 0);
    ASSERT_TRUE(camera.ok());
    auto endpoint = std::make_shared<NetEndpoint>("127.0.5.2", camera.port(), 0);
    endpoint->setNICIP("127.0.0.1");

    const size_t threadsBefore = kvtest::threadCount();
    UDPComm comm;
    comm.openDevice(endpoint);
    EXPECT_TRUE(endpoint->getIsInitialized());
    const UDPSocketPtr socket = comm.getCommandSocket();
    ASSERT_NE(socket, nullptr);
    EXPECT_TRUE(socket->isListening());
    EXPECT_EQ(socket->getBoundIP(), kvtest::ipv4("127.0.0.1"));
    EXPECT_EQ(kvtest::threadCount(), threadsBefore + 1);
    // Opening again keeps the socket.
    comm.openDevice(endpoint);
    EXPECT_EQ(comm.getCommandSocket(), socket);

    comm.closeDevice(endpoint);
    EXPECT_FALSE(endpoint->getIsInitialized());
    EXPECT_EQ(comm.getCommandSocket(), nullptr);
    EXPECT_FALSE(socket->isOpen());
    EXPECT_EQ(kvtest::threadCount(), threadsBefore);
    // The port is free again, even for a socket without port reuse.
    LoopbackPeer again("127.0.0.1", socket->getBoundPort());
    EXPECT_TRUE(again.ok());
}

TEST(UDPCommDevice, CommandSocketHearsOnlyItsCamera)
{
    LoopbackPeer camera("127.0.5.2", 0);
    LoopbackPeer stranger("127.0.5.3", camera.port());
    ASSERT_TRUE(camera.ok());
    ASSERT_TRUE(stranger.ok());
    auto endpoint = std::make_shared<NetEndpoint>("127.0.5.2", camera.port(), 0);
    endpoint->setNICIP("127.0.0.1");
    UDPComm comm;
    comm.openDevice(endpoint);
    const uint16_t local = comm.getCommandSocket()->getBoundPort();

    ASSERT_TRUE(stranger.sendTo("127.0.0.1", local, numbered(1)));
    ASSERT_TRUE(camera.sendTo("127.0.0.1", local, numbered(2)));
    uint8_t* data = nullptr;
    size_t length = 0;
    ASSERT_TRUE(waitFor([&] { return comm.peekRaw(data, length); }));
    EXPECT_TRUE(holds(data, length, numbered(2)));
    EXPECT_TRUE(comm.popRaw());
    EXPECT_EQ(comm.availablePackets(), 0u);

    // Raw frames go to the camera through the same socket.
    uint8_t frame[] = {0xA5, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_TRUE(comm.writeRaw(frame, sizeof frame, endpoint));
    uint16_t from = 0;
    EXPECT_EQ(camera.receive(std::chrono::milliseconds(2000), &from), std::vector<uint8_t>(frame, frame + 9));
    EXPECT_EQ(from, local);
    comm.closeDevice(endpoint);
}

TEST(UDPCommDevice, WriteRawUnboundSendsFromPort6363OfTheLocalAddress)
{
    LoopbackPeer listener("127.0.0.1", 0);
    ASSERT_TRUE(listener.ok());
    UDPComm comm;
    const uint8_t frame[] = {0xA5, 0x31, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00};
    EXPECT_TRUE(comm.writeRawUnbound(frame, sizeof frame,
                                     std::make_shared<NetEndpoint>("127.0.0.1", listener.port(), 0),
                                     kvtest::ipv4("127.0.0.1")));
    uint16_t from = 0;
    EXPECT_EQ(listener.receive(std::chrono::milliseconds(2000), &from), std::vector<uint8_t>(frame, frame + 9));
    EXPECT_GE(from, 6363);
    EXPECT_LE(from, 6372);
}
