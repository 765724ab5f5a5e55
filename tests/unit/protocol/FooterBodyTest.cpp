#include <gtest/gtest.h>

#include "protocol/FooterBody.h"
#include "protocol/crypto.h"
#include "unit/protocol/HexBytes.h"

using namespace kv;

namespace {

std::shared_ptr<V1::RequestHeaderBody> header(BodyType type)
{
    auto result = std::make_shared<V1::RequestHeaderBody>();
    result->setSoh(Cmd);
    result->setBodyType(type);
    return result;
}

uint16_t crc16Of(const std::string& hex)
{
    auto bytes = hexbytes::fromHex(hex);
    return utl::crypto::crc16_ccitt(bytes->data, bytes->length);
}

} // namespace

TEST(FooterBody, KindsAndLengths)
{
    V1::EmptyFooter none;
    V1::SeqCrc16Body seq;
    V1::Crc8Body crc8;
    EXPECT_EQ(none.getFooterType(), InvalidFooter);
    EXPECT_EQ(seq.getFooterType(), V1SeqCrc16);
    EXPECT_EQ(crc8.getFooterType(), V1CRC8);
    EXPECT_EQ(none.getBufferLength(), 0u);
    EXPECT_EQ(seq.getBufferLength(), 3u);
    EXPECT_EQ(crc8.getBufferLength(), 1u);
    EXPECT_EQ(none.getBuffer(), nullptr);
    EXPECT_TRUE(none.isValid() && seq.isValid() && crc8.isValid());
}

TEST(FooterBody, SeqCrc16CoversHeaderAndSequenceByte)
{
    V1::SeqCrc16Body footer;
    footer.setSequenceNumber(7);
    footer.update(header(GetCameraInfo), nullptr);
    const uint16_t expected = crc16Of("a5 00 00 00 00 00 00 00 00 07");
    EXPECT_EQ(footer.getCrc16(), expected);
    char crc[3];
    std::snprintf(crc, sizeof crc, "%02x", expected & 0xFF);
    std::string low = crc;
    std::snprintf(crc, sizeof crc, "%02x", expected >> 8);
    EXPECT_EQ(hexbytes::toHex(footer.getBuffer()), "07 " + low + " " + crc);

    V1::SeqCrc16Body parsed;
    parsed.setBuffer(footer.getBuffer());
    EXPECT_EQ(parsed.getSequenceNumber(), 7);
    EXPECT_EQ(parsed.getCrc16(), expected);
}

TEST(FooterBody, ReceivedChecksumsAreChecked)
{
    // A frame made by update() checks out; a changed byte or a length beyond the frame does not.
    auto head = header(GetCameraStatus);
    V1::SeqCrc16Body seqOut;
    seqOut.setSequenceNumber(200);
    seqOut.update(head, nullptr);
    V1::Crc8Body crc8Out;
    crc8Out.update(head, nullptr);

    // corruptAt SIZE_MAX: no byte changed.
    auto check = [&](V1::BaseFooterBody& out, V1::BaseFooterBody& in, size_t corruptAt, size_t length) {
        auto frame = head->getBuffer() + out.getBuffer();
        in.setBuffer(frame->extract(9, out.getBufferLength()));
        if (corruptAt < frame->length)
            frame->data[corruptAt] ^= 0x01;
        in.validate(frame, length);
        return in.isValid();
    };
    for (int kind = 0; kind < 2; ++kind) {
        V1::BaseFooterBody& out = kind ? static_cast<V1::BaseFooterBody&>(crc8Out) : seqOut;
        auto fresh = [kind]() -> std::shared_ptr<V1::BaseFooterBody> {
            if (kind)
                return std::make_shared<V1::Crc8Body>();
            return std::make_shared<V1::SeqCrc16Body>();
        };
        EXPECT_TRUE(check(out, *fresh(), SIZE_MAX, 9)) << kind;
        EXPECT_FALSE(check(out, *fresh(), 1, 9)) << kind;
        EXPECT_FALSE(check(out, *fresh(), SIZE_MAX, 100)) << kind;
        auto footer = fresh();
        footer->validate(nullptr, 0);
        EXPECT_FALSE(footer->isValid()) << kind;
    }
}

TEST(FooterBody, Crc8CoversHeaderAndBody)
{
    V1::Crc8Body footer;
    footer.update(header(GetCameraInfo), nullptr);
    auto bytes = hexbytes::fromHex("a5 00 00 00 00 00 00 00 00");
    EXPECT_EQ(footer.getCrc8(), utl::crypto::crc8_ccitt(bytes->data, bytes->length));
    EXPECT_EQ(footer.getBuffer()->length, 1u);
    EXPECT_EQ(static_cast<uint8_t>(footer.getBuffer()->data[0]), footer.getCrc8());
}
