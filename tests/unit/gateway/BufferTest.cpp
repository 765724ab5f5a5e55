#include <gtest/gtest.h>

#include <numeric>

#include "gateway/types.h"
#include "unit/protocol/HexBytes.h"

using kv::IOBuffer;
using kv::IOBufferPtr;

namespace {

// Bytes 00, 01, 02, ... (n of them).
IOBufferPtr counting(size_t n)
{
    auto buffer = IOBuffer::newBuffer(n);
    std::iota(buffer->data, buffer->data + n, char(0));
    return buffer;
}

const std::string c_line0 = "00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f ";
const std::string c_line1 = "10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f ";

} // namespace

TEST(Buffer, SizedBufferIsZeroFilledAndCopiesAreDeep)
{
    auto buffer = IOBuffer::newBuffer(4);
    EXPECT_EQ(hexbytes::toHex(buffer), "00 00 00 00");
    IOBuffer copy(*buffer);
    copy.data[0] = 7;
    EXPECT_EQ(buffer->data[0], 0);

    kv::Buffer<unsigned short> pixels(3);
    EXPECT_EQ(pixels.length, 3u);
    EXPECT_EQ(pixels.data[2], 0);
}

TEST(Buffer, ConcatenateAndPlus)
{
    auto a = hexbytes::fromHex("01 02");
    auto b = hexbytes::fromHex("03");
    EXPECT_EQ(hexbytes::toHex(a->concatenate(b)), "01 02 03");
    EXPECT_EQ(hexbytes::toHex(a + b), "01 02 03");
    EXPECT_EQ(a + IOBufferPtr(), a);
    EXPECT_EQ(IOBufferPtr() + b, b);
    EXPECT_EQ(IOBufferPtr() + IOBufferPtr(), nullptr);
}

TEST(Buffer, ExtractIsClippedToTheElementsThatExist)
{
    struct Case {
        size_t offset, count;
        std::string expected;
    };
    const Case cases[] = {
        {0, 2, "00 01"}, {2, 2, "02 03"}, {3, 5, "03"}, {4, 1, ""}, {100, 1, ""}, {1, SIZE_MAX, "01 02 03"},
    };
    auto buffer = counting(4);
    for (const auto& c : cases)
        EXPECT_EQ(hexbytes::toHex(buffer->extract(c.offset, c.count)), c.expected)
            << "offset " << c.offset << " count " << c.count;
}

TEST(Buffer, HexDumpStopsAfterTheLineLimit)
{
    struct Case {
        size_t bytes, lineLimit;
        std::string expected;
    };
    const Case cases[] = {
        {0, 16, ""},
        {3, 16, "00 01 02 "},
        {16, 1, c_line0 + "\n"},
        {17, 1, c_line0 + "\n\n..."},
        {20, 5, c_line0 + "\n10 11 12 13 "},
        {33, 2, c_line0 + "\n" + c_line1 + "\n\n..."},
        {32, 2, c_line0 + "\n" + c_line1 + "\n"},
        {1, 0, "\n..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(counting(c.bytes)->toString(c.lineLimit), c.expected)
            << c.bytes << " bytes, limit " << c.lineLimit;
}

TEST(Buffer, HexDumpListHasOneElementPerLine)
{
    struct Case {
        size_t bytes, lineLimit;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {0, 16, {""}},
        {3, 16, {"00 01 02 "}},
        {16, 1, {c_line0, ""}},
        {17, 1, {c_line0, "..."}},
        {20, 5, {c_line0, "10 11 12 13 "}},
        {33, 2, {c_line0, c_line1, "..."}},
        {32, 2, {c_line0, c_line1, ""}},
        {1, 0, {"..."}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(counting(c.bytes)->toStringList(c.lineLimit), c.expected)
            << c.bytes << " bytes, limit " << c.lineLimit;
}
