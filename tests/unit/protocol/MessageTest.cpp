#include <gtest/gtest.h>

#include <stdexcept>

#include "protocol/EmptyBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "protocol/ReadMemoryConfigResponseBody.h"
#include "protocol/Message.h"
#include "protocol/crypto.h"
#include "transport/NetEndpoint.h"
#include "transport/UsbEndpoint.h"
#include "unit/protocol/HexBytes.h"

using namespace kv;
using hexbytes::fromHex;
using hexbytes::toHex;

namespace {

template <BodyType B>
using Empty = V1::EmptyBody<Cmd, B>;

std::shared_ptr<V1ResponseMessage> parsedResponse(const std::string& hex, BodyType pretype = GetCameraStatus)
{
    auto message = std::make_shared<V1ResponseMessage>(pretype, V1None);
    message->setBuffer(fromHex(hex));
    return message;
}

} // namespace

TEST(Message, EmptyRequestsSerialiseToNineBytes)
{
    struct Case {
        BodyType body;
        std::string frame;
    };
    const Case cases[] = {
        {GetCameraInfo, "a5 00 00 00 00 00 00 00 00"},
        {GetCameraStatus, "a5 06 00 00 00 00 00 00 00"},
        {UnlockSpecialCommands, "a5 9e 00 00 00 00 00 00 00"},
    };
    for (const auto& c : cases) {
        V1RequestMessage request(c.body, V1None);
        EXPECT_EQ(toHex(request.getBuffer()), c.frame);
        EXPECT_EQ(request.getBufferLength(), 9u);
        EXPECT_EQ(request.getHeader()->getBodyLength(), 0u);
    }
}

TEST(Message, ConstructorFillsTheHeaderFromItsParts)
{
    V1ResponseMessage response(AbortExposure, V1SeqCrc16);
    EXPECT_EQ(response.getHeaderType(), V1Response);
    EXPECT_EQ(response.getBodyType(), AbortExposure);
    EXPECT_EQ(response.getFooterType(), V1SeqCrc16);
    EXPECT_NE(response.getTypedBody<Empty<AbortExposure>>(), nullptr);
    EXPECT_NE(response.getTypedHeader<V1::ResponseHeaderBody>(), nullptr);
    // Header (status not yet known) and a zeroed footer.
    EXPECT_EQ(toHex(response.getBuffer()), "a5 0a 01 01 ff 00 00 00 00 00 00 00 00");
    EXPECT_EQ(response.getBufferLength(), 13u);
}

TEST(Message, SensorIdIsWrittenToTheHeader)
{
    V1RequestMessage request(GetSensorInfo, V1None);
    request.setSensorId(1);
    EXPECT_EQ(toHex(request.getBuffer()), "a5 01 00 00 01 00 00 00 00");
}

TEST(Message, StatusCode)
{
    struct Case {
        std::string frame;
        EStatusCode status;
        const char* why;
    };
    const Case cases[] = {
        {"a5 0a 01 00 00 00 00 00 00 00", EStatusCode::Success, "success"},
        {"a5 0a 01 00 81 00 00 00 00 00", EStatusCode::DeviceBusy, "busy"},
        {"a5 0a 01 00 07 00 00 00 00 00", EStatusCode::InvalidParameter, "camera complaint"},
        {"83 0a 01 00 00 00 00 00 00 00", EStatusCode::InvalidStatus, "other start byte"},
        {"a5 0a 00 00 00 00 00 00 00 00", EStatusCode::InvalidStatus, "request header type"},
        {"a5 0a 01", EStatusCode::InvalidStatus, "no header"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parsedResponse(c.frame)->getStatusCode(), c.status) << c.why;

    EXPECT_EQ(V1RequestMessage(GetCameraInfo, V1None).getStatusCode(), EStatusCode::InvalidStatus);
    EXPECT_EQ(V1ResponseMessage(GetCameraInfo, V1None).getStatusCode(), EStatusCode::InvalidStatus);
}

TEST(Message, SetBufferCreatesABodyOfTheNewClass)
{
    V1ResponseMessage response(AbortExposure, V1None);
    const auto before = response.getBody();
    response.setBuffer(fromHex("a5 0c 01 00 00 00 00 00 00 00")); // SetCooler
    EXPECT_EQ(response.getBodyType(), SetCooler);
    EXPECT_NE(response.getTypedBody<Empty<SetCooler>>(), nullptr);
    EXPECT_EQ(response.getTypedBody<Empty<AbortExposure>>(), nullptr);
    EXPECT_NE(response.getBody(), before);
    EXPECT_TRUE(response.validate());

    // The same type again still gives a new object, never the old one.
    const auto second = response.getBody();
    response.setBuffer(fromHex("a5 0c 01 00 00 00 00 00 00 00"));
    EXPECT_NE(response.getBody(), second);
    EXPECT_NE(response.getTypedBody<Empty<SetCooler>>(), nullptr);
}

// What the asker prepared on the expected answer's body decides how the answer is read,
// although parsing makes a new body object.
TEST(Message, SetBufferKeepsHowTheAnswerIsToBeRead)
{
    // Cooler power 0x40 as a percentage, not as the converted code.
    V1ResponseMessage status(GetCameraStatus, V1None);
    status.getTypedBody<V1::GetCameraStatusResponseBody>()->setConvertCoolerPower(false);
    status.setBuffer(fromHex("a5 06 01 00 00 00 0c 00 00 00 08 08 00 00 40 00 00 00 00 00 00 00"));
    const auto body = status.getTypedBody<V1::GetCameraStatusResponseBody>();
    ASSERT_NE(body, nullptr);
    EXPECT_FALSE(body->getConvertCoolerPower());
    EXPECT_FLOAT_EQ(body->getCoolerPower(), 64.0f);

    // A revision with the flags word reads 64 bytes, flags at offset 32.
    V1ResponseMessage config(ReadMemoryConfig, V1None);
    config.getBody()->setProtocolVersion(8);
    std::string frame = "a5 1f 01 00 00 00 40 00 00 00";
    for (int i = 0; i < 32; ++i)
        frame += i == 16 ? " 34 12" : " 00 00"; // byte offset 32
    config.setBuffer(fromHex(frame));
    const auto memory = config.getTypedBody<V1::ReadMemoryConfigResponseBody>();
    ASSERT_NE(memory, nullptr);
    EXPECT_TRUE(config.validate());
    EXPECT_EQ(memory->getProtocolVersion(), 8u);
    EXPECT_EQ(memory->getData().flags, 0x1234);

    // A frame of another type than prepared starts from the defaults.
    V1ResponseMessage other(ReadMemoryConfig, V1None);
    other.getBody()->setProtocolVersion(8);
    other.setBuffer(fromHex("a5 06 01 00 00 00 0c 00 00 00 08 08 00 00 40 00 00 00 00 00 00 00"));
    EXPECT_EQ(other.getBody()->getProtocolVersion(), 1u);
}

TEST(Message, SetBufferReadsBodyLengthLittleEndianAndRecordsTheParts)
{
    // A 1002-byte body (EA 03 00 00) after the header, then a CRC-8 footer.
    std::string frame = "a5 0a 01 02 00 00 ea 03 00 00";
    for (int i = 0; i < 1002; ++i)
        frame += " 5a";
    frame += " 3c";
    auto response = parsedResponse(frame);
    EXPECT_FALSE(response->isMalformed());
    EXPECT_EQ(response->getHeader()->getBodyLength(), 1002u);
    ASSERT_NE(response->getBodyBuffer(), nullptr);
    EXPECT_EQ(response->getBodyBuffer()->length, 1002u);
    EXPECT_EQ(toHex(response->getHeaderBuffer()), "a5 0a 01 02 00 00 ea 03 00 00");
    EXPECT_EQ(toHex(response->getFooterBuffer()), "3c");
    EXPECT_EQ(response->getFooterType(), V1CRC8);
    EXPECT_EQ(response->getTypedFooter<V1::Crc8Body>()->getCrc8(), 0x3c);
}

TEST(Message, MalformedFramesDoNotValidate)
{
    struct Case {
        const char* frame;
        const char* why;
    };
    const Case cases[] = {
        {"", "no bytes"},
        {"a5 0a 01 00 00", "header cut short"},
        {"a5 0a 01 00 00 00 00 00 00", "one byte short of a header"},
        {"a5 0a 01 00 00 00 05 00 00 00 01 02", "body length beyond the bytes"},
        {"a5 0a 01 00 00 00 ff ff ff ff", "body length 4 GiB"},
        {"a5 0a 01 01 00 00 00 00 00 00 07", "sequence/CRC-16 footer cut short"},
        {"a5 0a 01 01 00 00 02 00 00 00 aa bb 07 01", "footer cut short after a body"},
        {"a5 0a 01 02 00 00 00 00 00 00", "CRC-8 footer missing"},
        {"a5 21 01 00 00 00 02 00 00 00 aa bb", "reserved body type with bytes"},
        {"a5 37 01 00 00 00 01 00 00 00 aa", "body type without class, in range"},
        {"a5 c8 01 00 00 00 01 00 00 00 aa", "body type 200 with bytes"},
    };
    for (const auto& c : cases) {
        auto response = parsedResponse(c.frame);
        EXPECT_TRUE(response->isMalformed()) << c.why;
        EXPECT_FALSE(response->validate()) << c.why;
        // Still usable for logs.
        EXPECT_NE(response->getBuffer(), nullptr) << c.why;
    }
    auto response = std::make_shared<V1ResponseMessage>(GetCameraStatus, V1None);
    response->setBuffer(nullptr);
    EXPECT_FALSE(response->validate());
}

TEST(Message, MalformedStateDoesNotOutliveTheNextFrame)
{
    auto response = parsedResponse("a5 0a 01 00 00 00 05 00 00 00 01 02");
    EXPECT_FALSE(response->validate());
    response->setBuffer(fromHex("a5 0a 01 00 81 00 00 00 00 00"));
    EXPECT_TRUE(response->validate());
    EXPECT_EQ(response->getStatusCode(), EStatusCode::DeviceBusy);
}

TEST(Message, TrailingBytesAfterTheFooterAreIgnored)
{
    auto response = parsedResponse("a5 0a 01 00 00 00 00 00 00 00 ee ee");
    EXPECT_TRUE(response->validate());
    EXPECT_EQ(response->getBufferLength(), 10u);
}

TEST(Message, BodyLengthZeroLeavesAFreshDefaultBody)
{
    V1ResponseMessage response(StartExposure, V1None);
    response.setBuffer(fromHex("a5 09 01 00 00 00 00 00 00 00"));
    EXPECT_TRUE(response.validate());
    EXPECT_NE(response.getTypedBody<Empty<StartExposure>>(), nullptr);
    EXPECT_EQ(response.getBodyBuffer(), nullptr);
}

TEST(Message, CopyingThrows)
{
    V1RequestMessage request(GetCameraInfo, V1None);
    try {
        V1RequestMessage copy(request);
        FAIL() << "copy succeeded";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "Message copy constructor unimplemented.");
    }
}

TEST(Message, RequestRebuiltFromItsBytes)
{
    V1RequestMessage info(fromHex("a5 00 00 00 00 00 00 00 00"));
    EXPECT_FALSE(info.isMalformed());
    EXPECT_NE(info.getTypedBody<Empty<GetCameraInfo>>(), nullptr);
    EXPECT_EQ(toHex(info.getBuffer()), "a5 00 00 00 00 00 00 00 00");

    V1RequestMessage withFooter(fromHex("a5 06 00 01 02 00 00 00 00 05 34 12"));
    EXPECT_FALSE(withFooter.isMalformed());
    const auto footer = withFooter.getTypedFooter<V1::SeqCrc16Body>();
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->getSequenceNumber(), 5);
    EXPECT_EQ(footer->getCrc16(), 0x1234);
    EXPECT_EQ(withFooter.getHeader()->getSensorId(), 2);
}

TEST(Message, RequestThatCannotBeRebuiltLacksItsParts)
{
    struct Case {
        const char* frame;
        const char* why;
    };
    const Case cases[] = {
        {"", "no bytes"},
        {"a5 00 00 00 00", "header cut short"},
        {"a5 00 00 09 00 00 00 00 00", "unknown footer type"},
        {"a5 21 00 00 00 00 00 00 00", "reserved body type"},
        {"a5 24 00 00 00 00 00 00 00", "no request body for GetFrameRequest"},
        {"a5 00 00 00 00 04 00 00 00 01 02", "body length beyond the bytes"},
        {"a5 00 00 00 00 ff ff ff ff", "body length 4 GiB"},
        {"a5 00 00 01 00 00 00 00 00 05 34", "footer cut short"},
    };
    for (const auto& c : cases) {
        V1RequestMessage request(fromHex(c.frame));
        EXPECT_TRUE(request.isMalformed()) << c.why;
        EXPECT_FALSE(request.validate()) << c.why;
        EXPECT_EQ(request.getBody(), nullptr) << c.why;
        EXPECT_EQ(request.getFooter(), nullptr) << c.why;
        request.setSensorId(1); // harmless on a partial message
    }
    V1RequestMessage nothing(IOBufferPtr{});
    EXPECT_TRUE(nothing.isMalformed());
    EXPECT_EQ(nothing.getHeader(), nullptr);
}

TEST(Message, UpdateRetypesOnlyWhatChanged)
{
    V1RequestMessage request(GetCameraInfo, V1None);
    const auto body = request.getBody();
    const auto footer = request.getFooter();
    request.update(V1Request, GetCameraInfo, V1CRC8);
    EXPECT_EQ(request.getBody(), body);
    EXPECT_NE(request.getFooter(), footer);
    EXPECT_NE(request.getTypedFooter<V1::Crc8Body>(), nullptr);
    request.update(V1Request, GetSensorInfo, V1CRC8);
    EXPECT_NE(request.getTypedBody<Empty<GetSensorInfo>>(), nullptr);
    EXPECT_EQ(request.getBodyType(), GetSensorInfo);
    // A foreign header type falls back to the message's own kind.
    request.update(V1Response, GetSensorInfo, V1CRC8);
    EXPECT_EQ(request.getHeaderType(), V1Request);
}

TEST(Message, UpdateEndpointSetsTheExpectedLengthOfUsbResponses)
{
    struct Case {
        BodyType body;
        FooterType footer;
        int length;
        EEndpointType kind;
        uint32_t expected;
    };
    const Case cases[] = {
        {AbortExposure, V1None, -1, EEndpointType::USB, 10},
        {AbortExposure, V1SeqCrc16, -1, EEndpointType::USB, 13},
        {AbortExposure, V1CRC8, -1, EEndpointType::USB, 11},
        {AbortExposure, V1None, 1234, EEndpointType::USB, 1234},
        {AbortExposure, V1None, -1, EEndpointType::USB3, 77}, // USB3 endpoints are left alone
    };
    for (const auto& c : cases) {
        auto endpoint = std::make_shared<UsbEndpoint>(0, 77, UsbEndpoint::noHandle(), "KV1");
        endpoint->setType(c.kind);
        V1RequestMessage request(c.body, c.footer);
        request.updateEndpoint(endpoint, c.length);
        EXPECT_EQ(endpoint->getExpectedLength(), c.expected) << c.body << "/" << c.footer << "/" << c.length;
    }
}

TEST(Message, SequenceNumberAdvancesPerRequestAndWraps)
{
    auto endpoint = std::make_shared<NetEndpoint>("127.0.0.2", 6363, 254);
    const uint8_t expected[] = {255, 0, 1};
    for (uint8_t sequence : expected) {
        V1RequestMessage request(GetCameraInfo, V1SeqCrc16);
        request.updateEndpoint(endpoint, -1);
        auto frame = request.getBuffer();
        ASSERT_EQ(frame->length, 12u);
        EXPECT_EQ(static_cast<uint8_t>(frame->data[9]), sequence);
        EXPECT_EQ(static_cast<uint8_t>(frame->data[3]), V1SeqCrc16);
        // CRC-16 over header ‖ sequence byte, little-endian.
        const uint16_t crc = utl::crypto::crc16_ccitt(frame->data, 10);
        EXPECT_EQ(static_cast<uint8_t>(frame->data[10]), crc & 0xFF);
        EXPECT_EQ(static_cast<uint8_t>(frame->data[11]), crc >> 8);
    }
    EXPECT_EQ(endpoint->getSequenceNumber(), 1);

    // A response carries the counter without advancing it; a fresh endpoint's first request carries 1.
    V1ResponseMessage response(GetCameraInfo, V1SeqCrc16);
    response.updateEndpoint(endpoint, -1);
    EXPECT_EQ(response.getTypedFooter<V1::SeqCrc16Body>()->getSequenceNumber(), 1);
    auto fresh = std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0);
    V1RequestMessage first(GetCameraInfo, V1SeqCrc16);
    first.updateEndpoint(fresh, -1);
    EXPECT_EQ(first.getTypedFooter<V1::SeqCrc16Body>()->getSequenceNumber(), 1);
}

TEST(Message, RawEndpointGetsACrc8)
{
    auto endpoint = std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0);
    endpoint->setType(EEndpointType::RAW);
    V1RequestMessage request(GetCameraStatus, V1CRC8);
    request.updateEndpoint(endpoint, -1);
    auto frame = request.getBuffer();
    ASSERT_EQ(frame->length, 10u);
    EXPECT_EQ(toHex(frame->extract(0, 9)), "a5 06 00 02 00 00 00 00 00");
    EXPECT_EQ(static_cast<uint8_t>(frame->data[9]), utl::crypto::crc8_ccitt(frame->data, 9));

    // Checked on receipt over the header.
    V1RequestMessage back(frame);
    back.getFooter()->validate(frame, 9);
    EXPECT_TRUE(back.validate());
    frame->data[1] = 7;
    back.getFooter()->validate(frame, 9);
    EXPECT_FALSE(back.validate());
}
