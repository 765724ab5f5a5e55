#include <gtest/gtest.h>

#include "transport/NetEndpoint.h"
#include "transport/UsbEndpoint.h"

using namespace kv;

namespace {

EndpointPtr net(const std::string& ip, uint16_t port, uint8_t sequence = 0, const std::string& nic = "0.0.0.0")
{
    auto endpoint = std::make_shared<NetEndpoint>(ip, port, sequence);
    endpoint->setNICIP(nic);
    return endpoint;
}

EndpointPtr usb(const std::string& serial, EEndpointType type = EEndpointType::USB, uint32_t index = 0)
{
    auto endpoint = std::make_shared<UsbEndpoint>(index, 0, UsbEndpoint::noHandle(), serial);
    endpoint->setType(type);
    return endpoint;
}

EndpointPtr raw(const std::string& ip, uint16_t port)
{
    auto endpoint = net(ip, port);
    endpoint->setType(EEndpointType::RAW);
    return endpoint;
}

} // namespace

TEST(Endpoint, Texts)
{
    EXPECT_EQ(net("10.0.0.5", 6363)->toString(), "Net: ip=\"10.0.0.5\", port=6363");
    EXPECT_EQ(net("10.0.0.5", 6363)->toStringConcise(), "10.0.0.5");
    EXPECT_EQ(usb("KV123")->toString(), "USB: sn=KV123");
    EXPECT_EQ(usb("KV123")->toStringConcise(), "KV123");
}

TEST(Endpoint, Compare)
{
    struct Case {
        EndpointPtr a, b;
        bool equal;
        const char* why;
    };
    const Case cases[] = {
        {net("10.0.0.5", 6363, 1, "10.0.0.1"), net("10.0.0.5", 6363, 9, "192.168.1.2"), true,
         "NIC and sequence do not count"},
        {net("10.0.0.5", 6363), net("10.0.0.6", 6363), false, "other address"},
        {net("10.0.0.5", 6363), net("10.0.0.5", 6364), false, "other port"},
        {net("10.0.0.5", 6363), raw("10.0.0.5", 6363), false, "other kind"},
        {usb("KV1"), net("KV1", 0), false, "USB against network"},
        {net("KV1", 0), usb("KV1"), false, "network against USB"},
        {usb("KV1", EEndpointType::USB, 0), usb("KV1", EEndpointType::USB, 3), true, "index does not count"},
        {usb("KV1"), usb("KV2"), false, "other serial"},
        {usb("KV1", EEndpointType::USB), usb("KV1", EEndpointType::USB3), false, "USB against USB3"},
        {usb("KV1"), nullptr, false, "null"},
        {net("10.0.0.5", 6363), nullptr, false, "null"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.a->compare(c.b), c.equal) << c.why;
}

TEST(Endpoint, NetCopy)
{
    auto original = std::make_shared<NetEndpoint>("10.0.0.5", 6363, 42);
    original->setNICIP("10.0.0.1");
    original->setIsInitialized(true);
    auto copy = std::dynamic_pointer_cast<NetEndpoint>(original->copy());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_EQ(copy->getIp(), "10.0.0.5");
    EXPECT_EQ(copy->getPort(), 6363);
    EXPECT_EQ(copy->getSequenceNumber(), 42);
    EXPECT_EQ(copy->getNICIP(), "0.0.0.0");
    EXPECT_EQ(copy->getType(), EEndpointType::Net);
    EXPECT_EQ(raw("10.0.0.5", 6363)->copy(), nullptr);
}

TEST(Endpoint, UsbDefaultsAndCopy)
{
    UsbEndpoint empty;
    EXPECT_EQ(empty.getType(), EEndpointType::USB);
    EXPECT_EQ(empty.getFtdiHandle(), UsbEndpoint::noHandle());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(empty.getFtdiHandle()), ~uintptr_t(0));
    EXPECT_EQ(empty.getFtdiIndex(), 0xFFFFFFFFu);
    EXPECT_EQ(empty.getExpectedLength(), 0u);
    EXPECT_FALSE(empty.getIsInitialized());

    int device = 0;
    for (EEndpointType type : {EEndpointType::USB, EEndpointType::USB3}) {
        auto original = std::make_shared<UsbEndpoint>(3, 1024, &device, "KV9");
        original->setType(type);
        auto copy = std::dynamic_pointer_cast<UsbEndpoint>(original->copy());
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->getType(), type);
        EXPECT_EQ(copy->getFtdiIndex(), 3u);
        EXPECT_EQ(copy->getExpectedLength(), 1024u);
        EXPECT_EQ(copy->getFtdiHandle(), &device);
        EXPECT_EQ(copy->getSerial(), "KV9");
    }
    EXPECT_EQ(usb("KV9", EEndpointType::Net)->copy(), nullptr);
}

TEST(Endpoint, SequenceCounterWraps)
{
    NetEndpoint endpoint("127.0.0.2", 6363, 253);
    EXPECT_EQ(endpoint.incrementSequenceNumber(), 254);
    EXPECT_EQ(endpoint.incrementSequenceNumber(), 255);
    EXPECT_EQ(endpoint.incrementSequenceNumber(), 0);
    EXPECT_EQ(endpoint.getSequenceNumber(), 0);
}
