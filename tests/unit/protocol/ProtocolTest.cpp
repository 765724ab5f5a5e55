#include <gtest/gtest.h>

#include <cstring>

#include "protocol/BodyFactory.h"
#include "protocol/EmptyBody.h"
#include "protocol/protocol.h"
#include "unit/protocol/HexBytes.h"

using namespace kv;

namespace {

// Stand-ins of the two fixed-layout bodies with their sizes.
#pragma pack(push, 1)
struct TNetworkConfigPayload {
    uint8_t bytes[50];
};
struct TImageChannelsPayload {
    uint8_t bytes[16];
};
#pragma pack(pop)

template <typename TBody>
kv::IOBufferPtr fixedFrame(BodyType type)
{
    TMessage<TRequestHeader, TBody, TEmptyPayload> message;
    std::memset(&message, 0, sizeof message);
    message.preamble = {static_cast<uint8_t>(Cmd), static_cast<uint8_t>(type), V1Request, V1None};
    message.header = {0, static_cast<uint32_t>(sizeof(TBody))};
    std::memset(&message.body, 0x11, sizeof(TBody));
    return IOBuffer::newBuffer(reinterpret_cast<const char*>(&message), sizeof message);
}

} // namespace

TEST(Protocol, FixedLayoutFrames)
{
    struct Case {
        kv::IOBufferPtr frame;
        size_t length;
        std::string header;
    };
    const Case cases[] = {
        {fixedFrame<TNetworkConfigPayload>(SetNetworkConfig), 60, "a5 31 00 00 00 32 00 00 00"},
        {fixedFrame<TImageChannelsPayload>(SetImageChannels), 26, "a5 33 00 00 00 10 00 00 00"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.frame->length, c.length);
        EXPECT_EQ(hexbytes::toHex(c.frame->extract(0, 9)), c.header);
        EXPECT_EQ(c.frame->data[9], 0x11);
        EXPECT_EQ(c.frame->data[c.length - 2], 0x11);
        EXPECT_EQ(c.frame->data[c.length - 1], 0) << "pad byte";
    }
}

TEST(Protocol, NamesForLogs)
{
    EXPECT_EQ(Reflections::messageHeaderToString(V1Request), "V1Request");
    EXPECT_EQ(Reflections::messageHeaderToString(V1Response), "V1Response");
    EXPECT_EQ(Reflections::messageHeaderToString(2), "InvalidHeader");
    EXPECT_EQ(Reflections::messageFooterToString(V1None), "V1None");
    EXPECT_EQ(Reflections::messageFooterToString(V1SeqCrc16), "V1SeqCrc16");
    EXPECT_EQ(Reflections::messageFooterToString(V1CRC8), "V1CRC8");
    EXPECT_EQ(Reflections::messageFooterToString(3), "InvalidFooter");

    struct Case {
        uint32_t code;
        const char* name;
    };
    const Case cases[] = {
        {0, "GetCameraInfo"},         {24, "EchoRequest"},       {37, "GetHiddenSensorSetting"},
        {33, "ReservedBodyType"},     {54, "Disconnect"},        {81, "SetSerialNumber"},
        {158, "UnlockSpecialCommands"}, {55, "Invalid body type"}, {80, "Invalid body type"},
        {159, "Invalid body type"},   {255, "Invalid body type"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Reflections::messageBodyToString(c.code), c.name) << c.code;
}

TEST(BodyFactory, HeadersAndFooters)
{
    V1BodyFactory factory;
    EXPECT_NE(std::dynamic_pointer_cast<V1::RequestHeaderBody>(factory.generateHeader(V1Request)), nullptr);
    EXPECT_NE(std::dynamic_pointer_cast<V1::ResponseHeaderBody>(factory.generateHeader(V1Response)), nullptr);
    EXPECT_EQ(factory.generateHeader(LastHeaderType), nullptr);
    EXPECT_NE(std::dynamic_pointer_cast<V1::EmptyFooter>(factory.generateFooter(V1None)), nullptr);
    EXPECT_NE(std::dynamic_pointer_cast<V1::SeqCrc16Body>(factory.generateFooter(V1SeqCrc16)), nullptr);
    EXPECT_NE(std::dynamic_pointer_cast<V1::Crc8Body>(factory.generateFooter(V1CRC8)), nullptr);
    EXPECT_EQ(factory.generateFooter(LastFooterType), nullptr);
    EXPECT_EQ(factory.generateBody(LastHeaderType, GetCameraInfo), nullptr);
}

TEST(BodyFactory, EmptyBodiesPerDirection)
{
    const BodyType requests[] = {GetCameraInfo, GetSensorInfo, GetCameraStatus, GetSubframe, AbortExposure,
                                 GetNetwork, StartDownload, FWInit, FWGetStatus, AOInit, AOGetStatus,
                                 ReadMemoryConfig, ErrorBodyType, GetPeripheralInfo, GetCoolerState,
                                 GetImageMetadata, Disconnect, UnlockSpecialCommands};
    const BodyType responses[] = {SetSensorCalibration, SetSubframe, StartExposure, AbortExposure, ShutterControl,
                                  SetCooler, SetFanSpeed, SetNetwork, FWGoto, AOGoto, PulseGuide,
                                  ConfigDataUpload, WriteMemoryWord, WriteMemoryConfig, ErrorBodyType, BulkUpload,
                                  Disconnect, SetSerialNumber, UnlockSpecialCommands};
    V1BodyFactory factory;
    auto checkEmpty = [](const BaseBodyPtr& body, BodyType type) {
        ASSERT_NE(body, nullptr) << type;
        EXPECT_EQ(body->getBodyType(), type);
        EXPECT_EQ(body->getSohType(), Cmd);
        EXPECT_EQ(body->getBufferLength(), 0u);
        EXPECT_EQ(body->getBuffer(), nullptr);
        EXPECT_EQ(body->getMessageDataString(), "No Data");
        EXPECT_EQ(body->getProtocolVersion(), 1u);
    };
    for (BodyType type : requests)
        checkEmpty(factory.generateBody(V1Request, type), type);
    for (BodyType type : responses)
        checkEmpty(factory.generateBody(V1Response, type), type);
}

TEST(BodyFactory, NoBodyForUnlistedCodes)
{
    V1BodyFactory factory;
    const unsigned unlisted[] = {33, 48, 49, 50, 51, 53, 55, 56, 80, 82, 157, 159, 200, 255};
    for (unsigned code : unlisted) {
        EXPECT_EQ(factory.generateRequestBody(static_cast<BodyType>(code)), nullptr) << code;
        EXPECT_EQ(factory.generateResponseBody(static_cast<BodyType>(code)), nullptr) << code;
    }
    EXPECT_EQ(factory.generateRequestBody(GetFrameRequest), nullptr);
}
