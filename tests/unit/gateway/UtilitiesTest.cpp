#include <gtest/gtest.h>

#include <cstdint>

#include "gateway/utilities.h"
#include "unit/protocol/HexBytes.h"

namespace {

template <typename T>
std::string written(T value)
{
    auto buffer = kv::IOBuffer::newBuffer(sizeof(T));
    EXPECT_EQ(utl::copy::to(buffer->data, value), sizeof(T));
    return hexbytes::toHex(buffer);
}

template <typename T>
T readBack(const std::string& hex)
{
    auto buffer = hexbytes::fromHex(hex);
    T value{};
    EXPECT_EQ(utl::copy::from(&value, buffer->data), sizeof(T));
    return value;
}

} // namespace

TEST(Utilities, HostIsLittleEndian)
{
    EXPECT_FALSE(utl::endian::is_big_endian());
    EXPECT_EQ(utl::endian::byte_swap<uint32_t>(0x01020304u), 0x04030201u);
}

TEST(Utilities, FieldsAreWrittenLittleEndian)
{
    EXPECT_EQ(written<unsigned short>(0x1234), "34 12");
    EXPECT_EQ(written<short>(-2), "fe ff");
    EXPECT_EQ(written<unsigned int>(1002), "ea 03 00 00");
    EXPECT_EQ(written<int>(-1), "ff ff ff ff");
    EXPECT_EQ(written<unsigned long>(0x0102030405060708ul), "08 07 06 05 04 03 02 01");
    EXPECT_EQ(written<float>(1.0f), "00 00 80 3f");
    EXPECT_EQ(written<double>(-2.0), "00 00 00 00 00 00 00 c0");
    EXPECT_EQ(written<bool>(true), "01");
    EXPECT_EQ(written<unsigned char>(0xA5), "a5");
}

TEST(Utilities, FieldsAreReadLittleEndian)
{
    EXPECT_EQ(readBack<unsigned short>("34 12"), 0x1234);
    EXPECT_EQ(readBack<unsigned int>("ea 03 00 00"), 1002u);
    EXPECT_EQ(readBack<int>("fe ff ff ff"), -2);
    EXPECT_EQ(readBack<float>("00 00 80 3f"), 1.0f);
    EXPECT_EQ(readBack<double>("00 00 00 00 00 00 00 c0"), -2.0);
    // Any non-zero byte reads as true.
    EXPECT_FALSE(readBack<bool>("00"));
    EXPECT_TRUE(readBack<bool>("01"));
    EXPECT_TRUE(readBack<bool>("7f"));
}

TEST(Utilities, ArraysAreCopiedElementByElement)
{
    const unsigned short words[] = {0x0102, 0x0304, 0xA5A5};
    auto buffer = kv::IOBuffer::newBuffer(sizeof words);
    EXPECT_EQ(utl::copy::to(buffer->data, words, 3), 6u);
    EXPECT_EQ(hexbytes::toHex(buffer), "02 01 04 03 a5 a5");

    unsigned short back[3] = {};
    EXPECT_EQ(utl::copy::from(back, buffer->data, 3), 6u);
    EXPECT_EQ(back[0], 0x0102);
    EXPECT_EQ(back[1], 0x0304);
    EXPECT_EQ(back[2], 0xA5A5);
}
