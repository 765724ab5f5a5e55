#include <gtest/gtest.h>

#include <string>

#include "protocol/crypto.h"

TEST(Crypto, CatalogueCheckValues)
{
    struct Case {
        std::string input;
        uint16_t crc16;
        uint8_t crc8;
    };
    const Case cases[] = {
        {"123456789", 0x31C3, 0xF4}, // CRC-16/XMODEM and CRC-8/SMBUS check values
        {"", 0, 0},
        {std::string("\x00", 1), 0, 0},
        {"\xA5", 0xE54F, 0x72}, // one byte, bitwise reference
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utl::crypto::crc16_ccitt(c.input.data(), c.input.size()), c.crc16) << c.input;
        EXPECT_EQ(utl::crypto::crc8_ccitt(c.input.data(), c.input.size()), c.crc8) << c.input;
    }
}

TEST(Crypto, NullInputGivesZero)
{
    EXPECT_EQ(utl::crypto::crc16_ccitt(nullptr, 0), 0);
    EXPECT_EQ(utl::crypto::crc16_ccitt(nullptr, 100), 0);
    EXPECT_EQ(utl::crypto::crc8_ccitt(nullptr, 0), 0);
    EXPECT_EQ(utl::crypto::crc8_ccitt(nullptr, 100), 0);
}
