#include <gtest/gtest.h>

#include "protocol/HeaderBody.h"
#include "unit/protocol/HexBytes.h"

using namespace kv;

TEST(HeaderBody, BodyLengthIsLittleEndian)
{
    struct Case {
        uint32_t bodyLength;
        std::string request, response;
    };
    const Case cases[] = {
        {1002, "a5 19 00 00 00 ea 03 00 00", "a5 19 01 00 ff 00 ea 03 00 00"},
        {0x12345678, "a5 19 00 00 00 78 56 34 12", "a5 19 01 00 ff 00 78 56 34 12"},
        {0, "a5 19 00 00 00 00 00 00 00", "a5 19 01 00 ff 00 00 00 00 00"},
    };
    for (const auto& c : cases) {
        V1::RequestHeaderBody request;
        V1::ResponseHeaderBody response;
        for (V1::BaseHeaderBody* header : {static_cast<V1::BaseHeaderBody*>(&request),
                                           static_cast<V1::BaseHeaderBody*>(&response)}) {
            header->setSoh(Cmd);
            header->setBodyType(PacketRequest);
            header->setBodyLength(c.bodyLength);
        }
        EXPECT_EQ(hexbytes::toHex(request.getBuffer()), c.request);
        EXPECT_EQ(hexbytes::toHex(response.getBuffer()), c.response);

        V1::RequestHeaderBody parsedRequest;
        parsedRequest.setBuffer(hexbytes::fromHex(c.request));
        EXPECT_EQ(parsedRequest.getBodyLength(), c.bodyLength);
        V1::ResponseHeaderBody parsedResponse;
        parsedResponse.setBuffer(hexbytes::fromHex(c.response));
        EXPECT_EQ(parsedResponse.getBodyLength(), c.bodyLength);
    }
}

TEST(HeaderBody, ResponseFieldsParseFromTheirOffsets)
{
    V1::ResponseHeaderBody header;
    header.setBuffer(hexbytes::fromHex("a5 06 01 02 81 03 0c 00 00 00"));
    EXPECT_EQ(header.getSoh(), 0xA5);
    EXPECT_EQ(header.getBodyType(), GetCameraStatus);
    EXPECT_EQ(header.getHeaderType(), V1Response);
    EXPECT_EQ(header.getFooterType(), V1CRC8);
    EXPECT_EQ(header.getStatusCode(), EStatusCode::DeviceBusy);
    EXPECT_EQ(header.getSensorId(), 3);
    EXPECT_EQ(header.getBodyLength(), 12u);
}

TEST(HeaderBody, ShortBufferIsNotRead)
{
    V1::ResponseHeaderBody response;
    response.setBuffer(hexbytes::fromHex("a5 06 01 00 00 00 0c 00 00"));
    response.setBuffer(nullptr);
    EXPECT_EQ(response.getSoh(), 0);
    EXPECT_EQ(response.getStatusCode(), EStatusCode::InvalidStatus);
    V1::RequestHeaderBody request;
    request.setBuffer(hexbytes::fromHex("a5 06 00 00 00 0c 00 00"));
    EXPECT_EQ(request.getSoh(), 0);
}

TEST(HeaderBody, Defaults)
{
    V1::RequestHeaderBody request;
    V1::ResponseHeaderBody response;
    EXPECT_EQ(request.getBufferLength(), 9u);
    EXPECT_EQ(response.getBufferLength(), 10u);
    EXPECT_EQ(request.getHeaderType(), V1Request);
    EXPECT_EQ(response.getHeaderType(), V1Response);
    EXPECT_EQ(response.getStatusCode(), EStatusCode::InvalidStatus);
    EXPECT_TRUE(request.valid());
}

TEST(HeaderBody, ResponseHeaderValidity)
{
    struct Case {
        const char* frame;
        bool valid;
        const char* why;
    };
    const Case cases[] = {
        {"a5 00 01 00 00 00 00 00 00 00", true, "plain response"},
        {"83 00 01 00 00 00 00 00 00 00", false, "start byte 0x83"},
        {"00 00 01 00 00 00 00 00 00 00", false, "start byte 0"},
        {"a5 00 02 00 00 00 00 00 00 00", true, "header type 2"},
        {"a5 00 03 00 00 00 00 00 00 00", false, "header type 3"},
        {"a5 00 01 03 00 00 00 00 00 00", true, "footer type 3"},
        {"a5 00 01 04 00 00 00 00 00 00", false, "footer type 4"},
        {"a5 36 01 00 00 00 00 00 00 00", true, "body type 54"},
        {"a5 37 01 00 00 00 00 00 00 00", true, "body type 55"},
        {"a5 38 01 00 00 00 00 00 00 00", false, "body type 56"},
        {"a5 50 01 00 00 00 00 00 00 00", false, "body type 80"},
        {"a5 51 01 00 00 00 00 00 00 00", true, "body type 81"},
        {"a5 9f 01 00 00 00 00 00 00 00", true, "body type 159"},
        {"a5 a0 01 00 00 00 00 00 00 00", false, "body type 160"},
        {"a5 ff 01 00 00 00 00 00 00 00", false, "body type 255"},
    };
    for (const auto& c : cases) {
        V1::ResponseHeaderBody header;
        header.setBuffer(hexbytes::fromHex(c.frame));
        EXPECT_EQ(header.valid(), c.valid) << c.why;
    }
}

TEST(HeaderBody, ToStringNamesTheTypes)
{
    V1::RequestHeaderBody header;
    header.setSoh(Cmd);
    header.setBodyType(EchoRequest);
    header.setFooterType(V1SeqCrc16);
    header.setBodyLength(4);
    EXPECT_EQ(header.toString(),
              "\n\t - Header Type: V1Request"
              "\n\t - Body Type: EchoRequest"
              "\n\t - Footer Type: V1SeqCrc16"
              "\n\t - Buffer Length: 9"
              "\n\t - Body Length: 4"
              "\n\t - Raw Header Buffer : a5 18 00 01 00 04 00 00 00 ");
}
