#include "protocol/BulkUploadRequestBody.h"
#include "protocol/ConfigControlExtRequestBody.h"
#include "protocol/ConfigControlRequestBody.h"
#include "protocol/ConfigControlResponseBody.h"
#include "protocol/ConfigDataDownloadExtRequestBody.h"
#include "protocol/ConfigDataDownloadExtResponseBody.h"
#include "protocol/ConfigDataDownloadRequestBody.h"
#include "protocol/ConfigDataDownloadResponseBody.h"
#include "protocol/ConfigDataUploadRequestBody.h"
#include "protocol/Message.h"
#include "protocol/ReadMemoryConfigResponseBody.h"
#include "protocol/ReadMemoryWordRequestBody.h"
#include "protocol/ReadMemoryWordResponseBody.h"
#include "protocol/SetSerialNumberRequestBody.h"
#include "protocol/WriteMemoryConfigRequestBody.h"
#include "protocol/WriteMemoryWordRequestBody.h"

#include "unit/protocol/GoldenBodies.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace kv;
using namespace kv::V1;
using hexbytes::fromHex;
using hexbytes::toHex;
using namespace goldenbodies;

namespace {

// n zero bytes as hex.
std::string zeros(size_t n)
{
    return toHex(IOBuffer::newBuffer(n));
}

// The bytes 00 01 02 ... (wrapping at 256), n of them.
std::vector<unsigned char> counting(size_t n)
{
    std::vector<unsigned char> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<unsigned char>(i);
    return bytes;
}

std::string hexOf(const std::vector<unsigned char>& bytes)
{
    return toHex(IOBuffer::newBuffer(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}


// The memory-configuration record used throughout: every field distinct.
MemoryConfig::Payload samplePayload()
{
    MemoryConfig::Payload p;
    p.offsetA = 1;
    p.offsetB = 2;
    p.offsetC = 3;
    p.gainA = 0x10;
    p.gainB = 0x20;
    p.gainC = 0x30;
    p.eGainIMG = 1.5f;
    p.unused1 = 0x0504;
    p.unused2 = 0x0706;
    p.eGainTRK = 0.25f;
    p.unused3 = 0x0908;
    p.unused4 = 0x0b0a;
    p.coolerCutoffThreshold = 900;
    p.subVolt = 0x0155;
    p.flags = 0xa5c3;
    return p;
}

// Its 32 bytes before the flags word.
const std::string c_payloadFields =
    "01 00 02 00 03 00 10 00 20 00 30 00 00 00 c0 3f 04 05 06 07 00 00 80 3e 08 09 0a 0b 84 03 55 01";

void expectPayload(const MemoryConfig::Payload& actual, const MemoryConfig::Payload& expected)
{
    EXPECT_EQ(actual.offsetA, expected.offsetA);
    EXPECT_EQ(actual.offsetB, expected.offsetB);
    EXPECT_EQ(actual.offsetC, expected.offsetC);
    EXPECT_EQ(actual.gainA, expected.gainA);
    EXPECT_EQ(actual.gainB, expected.gainB);
    EXPECT_EQ(actual.gainC, expected.gainC);
    EXPECT_FLOAT_EQ(actual.eGainIMG, expected.eGainIMG);
    EXPECT_EQ(actual.unused1, expected.unused1);
    EXPECT_EQ(actual.unused2, expected.unused2);
    EXPECT_FLOAT_EQ(actual.eGainTRK, expected.eGainTRK);
    EXPECT_EQ(actual.unused3, expected.unused3);
    EXPECT_EQ(actual.unused4, expected.unused4);
    EXPECT_EQ(actual.coolerCutoffThreshold, expected.coolerCutoffThreshold);
    EXPECT_EQ(actual.subVolt, expected.subVolt);
    EXPECT_EQ(actual.flags, expected.flags);
}

std::vector<GoldenCase> goldenCases()
{
    const std::vector<unsigned char> block = counting(ConfigDataDownloadResponseBody::c_bodyLength);
    const unsigned char upload[] = {0xAA, 0xBB, 0xCC};
    return {
        {"ConfigControlRequest", ConfigControl,
         filledBody<ConfigControlRequestBody>([](auto& b) {
             b.setCommand(flashSectorErase);
             b.setParameter(20);
         }),
         defaultBody<ConfigControlRequestBody>(), parsedBody<ConfigControlRequestBody>(), "02 14",
         "Request Data | Command: flashSectorErase | Parameter: 20", true},
        {"ConfigControlRequest status write", ConfigControl,
         filledBody<ConfigControlRequestBody>([](auto& b) {
             b.setCommand(flashWriteStatus);
             b.setParameter(Factory::IFactoryCamera::FlashUnprotected);
         }),
         defaultBody<ConfigControlRequestBody>(), parsedBody<ConfigControlRequestBody>(), "01 f0",
         "Request Data | Command: flashWriteStatus | Parameter: 240", true},
        {"ConfigControlExtRequest", ConfigControlExt,
         filledBody<V2::ConfigControlExtRequestBody>([](auto& b) {
             b.setCommand(flashSectorErase);
             b.setParameter(258);
         }),
         defaultBody<V2::ConfigControlExtRequestBody>(), parsedBody<V2::ConfigControlExtRequestBody>(),
         "02 00 00 01 02", "Request Data | Command: 2 | Parameter: 258", true},
        {"ConfigControlExtRequest full word", ConfigControlExt,
         filledBody<V2::ConfigControlExtRequestBody>([](auto& b) {
             b.setCommand(flashErasePartition);
             b.setParameter(0xDEADBEEF);
         }),
         defaultBody<V2::ConfigControlExtRequestBody>(), parsedBody<V2::ConfigControlExtRequestBody>(),
         "03 de ad be ef", "Request Data | Command: 3 | Parameter: 3735928559", true},
        {"ConfigControlResponse", ConfigControl,
         filledBody<ConfigControlResponseBody>(
             [](auto& b) { b.setStatusRequest(Factory::IFactoryCamera::FlashProtected); }),
         defaultBody<ConfigControlResponseBody>(), parsedBody<ConfigControlResponseBody>(), "0f",
         "Response Data | Status Request: 15", true},
        {"ConfigDataUploadRequest", ConfigDataUpload,
         [upload] {
             auto body = std::make_shared<ConfigDataUploadRequestBody>();
             body->setAddress(0x1000);
             body->setData(upload, sizeof upload);
             return body;
         },
         defaultBody<ConfigDataUploadRequestBody>(), parsedBody<ConfigDataUploadRequestBody>(),
         "03 00 10 00 00 aa bb cc", "Request Data | Address: 4096 | Data Length: 3", false},
        {"BulkUploadRequest", BulkUpload,
         [upload] {
             auto body = std::make_shared<V2::BulkUploadRequestBody>();
             body->setAddress(0x20000);
             body->setData(upload, sizeof upload);
             return body;
         },
         defaultBody<V2::BulkUploadRequestBody>(), parsedBody<V2::BulkUploadRequestBody>(),
         "03 00 00 00 00 00 02 00 aa bb cc", "Request Data | Address: 131072 | Data Length: 3", false},
        {"ConfigDataDownloadRequest", ConfigDataDownload,
         filledBody<ConfigDataDownloadRequestBody>([](auto& b) {
             b.setDataLength(64);
             b.setAddress(0x1000);
         }),
         defaultBody<ConfigDataDownloadRequestBody>(), parsedBody<ConfigDataDownloadRequestBody>(),
         "40 00 10 00 00", "Request Data | Address: 4096 | Data Length: 64", true},
        {"ConfigDataDownloadResponse", ConfigDataDownload,
         [block] {
             auto body = std::make_shared<ConfigDataDownloadResponseBody>();
             body->setData(block.data(), block.size());
             return body;
         },
         defaultBody<ConfigDataDownloadResponseBody>(), parsedBody<ConfigDataDownloadResponseBody>(), hexOf(block),
         "", false},
        {"ConfigDataDownloadExtRequest", ConfigDataDownloadExt,
         filledBody<V2::ConfigDataDownloadExtRequestBody>([](auto& b) {
             b.setDataLength(4096);
             b.setAddress(0x123456);
         }),
         defaultBody<V2::ConfigDataDownloadExtRequestBody>(), parsedBody<V2::ConfigDataDownloadExtRequestBody>(),
         "00 10 00 00 56 34 12 00", "", true},
        {"ReadMemoryWordRequest", ReadMemoryWord,
         filledBody<ReadMemoryWordRequestBody>([](auto& b) { b.setAddress(7); }),
         defaultBody<ReadMemoryWordRequestBody>(), parsedBody<ReadMemoryWordRequestBody>(), "07",
         "Request Data | Address: 7", true},
        {"ReadMemoryWordResponse", ReadMemoryWord,
         filledBody<ReadMemoryWordResponseBody>([](auto& b) {
             ReadMemory::Buffer word;
             word.data = 0xBEEF;
             b.setData(word);
         }),
         defaultBody<ReadMemoryWordResponseBody>(), parsedBody<ReadMemoryWordResponseBody>(), "ef be",
         "Response Data | Data: 48879", true},
        {"WriteMemoryWordRequest", WriteMemoryWord,
         filledBody<WriteMemoryWordRequestBody>([](auto& b) {
             b.setAddress(9);
             b.setWord(0x1234);
         }),
         defaultBody<WriteMemoryWordRequestBody>(), parsedBody<WriteMemoryWordRequestBody>(), "09 34 12",
         "Request Data | Address: 9", true},
        {"ReadMemoryConfigResponse", ReadMemoryConfig,
         filledBody<ReadMemoryConfigResponseBody>([](auto& b) { b.setData(samplePayload()); }),
         defaultBody<ReadMemoryConfigResponseBody>(), parsedBody<ReadMemoryConfigResponseBody>(),
         c_payloadFields + " " + zeros(30), "", true},
        {"WriteMemoryConfigRequest", WriteMemoryConfig,
         filledBody<WriteMemoryConfigRequestBody>([](auto& b) { b.setData(samplePayload()); }),
         defaultBody<WriteMemoryConfigRequestBody>(), parsedBody<WriteMemoryConfigRequestBody>(),
         c_payloadFields + " " + zeros(30), "", true},
        {"SetSerialNumberRequest", SetSerialNumber,
         filledBody<SetSerialNumberRequestBody>([](auto& b) { b.setSerialNumber(808386602); }),
         defaultBody<SetSerialNumberRequestBody>(), parsedBody<SetSerialNumberRequestBody>(), "2a 00 2f 30",
         "Request Data | Sensor Serial Number: 808386602", true},
    };
}

} // namespace

// Every body whose two directions agree: setters to golden bytes, golden bytes back
// through the parsing constructor and through setBuffer of a fresh body, the log
// text both ways.
TEST(ConfigBodies, GoldenBytesBothWays)
{
    goldenbodies::expectGoldenBothWays(goldenCases());
}

// A fixed layout given fewer bytes parses nothing; a null or empty buffer changes
// nothing; bytes after the layout are ignored (a ConfigControlExt body above 5 bytes
// takes the first 5).
TEST(ConfigBodies, FixedLayoutBadLengths)
{
    goldenbodies::expectFixedLayoutBadLengths(goldenCases());
}

TEST(ConfigBodies, Defaults)
{
    expectDefaults({
        {"ConfigControlRequest", defaultBody<ConfigControlRequestBody>(), "00 00"},
        {"ConfigControlExtRequest", defaultBody<V2::ConfigControlExtRequestBody>(), "00 00 00 00 00"},
        {"ConfigControlResponse", defaultBody<ConfigControlResponseBody>(), "00"},
        {"ConfigDataUploadRequest", defaultBody<ConfigDataUploadRequestBody>(), "00 00 00 00 00"},
        // A BulkUpload of 0 bytes is 8 bytes long.
        {"BulkUploadRequest", defaultBody<V2::BulkUploadRequestBody>(), zeros(8)},
        {"ConfigDataDownloadRequest", defaultBody<ConfigDataDownloadRequestBody>(), "00 00 00 00 00"},
        {"ConfigDataDownloadResponse", defaultBody<ConfigDataDownloadResponseBody>(), zeros(104)},
        {"ConfigDataDownloadExtRequest", defaultBody<V2::ConfigDataDownloadExtRequestBody>(), zeros(8)},
        // One zero byte of payload behind its length.
        {"ConfigDataDownloadExtResponse", defaultBody<V2::ConfigDataDownloadExtResponseBody>(), "01 00 00 00 00"},
        {"ReadMemoryWordRequest", defaultBody<ReadMemoryWordRequestBody>(), "00"},
        {"ReadMemoryWordResponse", defaultBody<ReadMemoryWordResponseBody>(), "00 00"},
        {"WriteMemoryWordRequest", defaultBody<WriteMemoryWordRequestBody>(), "00 00 00"},
        {"ReadMemoryConfigResponse", defaultBody<ReadMemoryConfigResponseBody>(), zeros(62)},
        {"WriteMemoryConfigRequest", defaultBody<WriteMemoryConfigRequestBody>(), zeros(62)},
        {"SetSerialNumberRequest", defaultBody<SetSerialNumberRequestBody>(), "00 00 00 00"},
    });
}

TEST(ConfigControlBodies, CommandsAndBigEndianParameter)
{
    // Codes are kept as received; only the first three commands have names.
    struct Case {
        std::string hex;
        ConfigControlCommand command;
        const char* name;
    };
    const std::vector<Case> cases = {
        {"00 00", flashReadStatus, "flashReadStatus"},
        {"01 0f", flashWriteStatus, "flashWriteStatus"},
        {"02 05", flashSectorErase, "flashSectorErase"},
        {"03 00", flashErasePartition, ""},
        {"09 01", static_cast<ConfigControlCommand>(9), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hex);
        const ConfigControlRequestBody body(fromHex(c.hex));
        EXPECT_EQ(body.getCommand(), c.command);
        EXPECT_EQ(body.getMessageDataString(), std::string("Request Data | Command: ") + c.name +
                                                   " | Parameter: " + std::to_string(body.getParameter()));
        EXPECT_EQ(toHex(body.getBuffer()), c.hex);
    }

    V2::ConfigControlExtRequestBody ext;
    ext.setParameter(0x01020304);
    EXPECT_EQ(toHex(ext.getBuffer()), "00 01 02 03 04");
    EXPECT_EQ(ext.getParameter(), 0x01020304u);
    const V2::ConfigControlExtRequestBody parsed(fromHex("01 00 00 00 f0"));
    EXPECT_EQ(parsed.getCommand(), flashWriteStatus);
    EXPECT_EQ(parsed.getParameter(), 240u);

    const ConfigControlResponseBody extAnswer(fromHex("f0"), ConfigControlExt);
    EXPECT_EQ(extAnswer.getBodyType(), ConfigControlExt);
    EXPECT_EQ(extAnswer.getStatusRequest(), Factory::IFactoryCamera::FlashUnprotected);
}

// A received length field is clamped to the array and to the bytes present, so that
// the body never copies past either and serialises back to what it holds.
TEST(UploadBodies, ReceivedLengthsAreClamped)
{
    const std::string data100 = hexOf(counting(100));
    const std::string data5000 = hexOf(counting(5000));
    struct Case {
        const char* name;
        bool bulk;
        std::string hex;
        size_t dataLength;
        uint32_t address;
        std::string reserialised;
    };
    const std::vector<Case> cases = {
        {"length above bytes present", false, "0a 00 10 00 00 aa bb cc", 3, 0x1000, "03 00 10 00 00 aa bb cc"},
        {"length above 64", false, "c8 00 10 00 00 " + data100, 64, 0x1000,
         "40 00 10 00 00 " + hexOf(counting(64))},
        {"length below bytes present", false, "02 00 10 00 00 aa bb cc", 2, 0x1000, "02 00 10 00 00 aa bb"},
        {"no data", false, "00 78 56 34 12", 0, 0x12345678, "00 78 56 34 12"},
        {"bulk length above bytes present", true, "ff ff ff ff 00 00 02 00 aa bb cc", 3, 0x20000,
         "03 00 00 00 00 00 02 00 aa bb cc"},
        {"bulk length above 4096", true, "88 13 00 00 00 00 02 00 " + data5000, 4096, 0x20000,
         "00 10 00 00 00 00 02 00 " + hexOf(counting(4096))},
        {"bulk no data", true, "00 00 00 00 04 03 02 01", 0, 0x01020304, "00 00 00 00 04 03 02 01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BaseBodyPtr body;
        size_t dataLength = 0;
        uint32_t address = 0;
        if (c.bulk) {
            auto bulk = std::make_shared<V2::BulkUploadRequestBody>(fromHex(c.hex));
            dataLength = bulk->getDataLength();
            address = bulk->getAddress();
            body = bulk;
        } else {
            auto small = std::make_shared<ConfigDataUploadRequestBody>(fromHex(c.hex));
            dataLength = small->getDataLength();
            address = small->getAddress();
            body = small;
        }
        EXPECT_EQ(dataLength, c.dataLength);
        EXPECT_EQ(address, c.address);
        EXPECT_EQ(toHex(body->getBuffer()), c.reserialised);
        EXPECT_EQ(body->getBufferLength(), fromHex(c.reserialised)->length);
    }

    // Too short for length and address: the earlier content stays.
    ConfigDataUploadRequestBody small(fromHex("01 00 10 00 00 aa"));
    small.setBuffer(fromHex("03 00 20 00"));
    EXPECT_EQ(toHex(small.getBuffer()), "01 00 10 00 00 aa");
    V2::BulkUploadRequestBody bulk(fromHex("01 00 00 00 00 10 00 00 aa"));
    bulk.setBuffer(fromHex("03 00 00 00 00 20 00"));
    EXPECT_EQ(toHex(bulk.getBuffer()), "01 00 00 00 00 10 00 00 aa");

    // A later, shorter block leaves zeros behind it, not the earlier bytes.
    small.setBuffer(fromHex("04 00 10 00 00 11 22 33 44"));
    small.setBuffer(fromHex("01 00 10 00 00 55"));
    EXPECT_EQ(small.getData()[1], 0);
}

TEST(UploadBodies, SettersKeepTheArrays)
{
    const std::vector<unsigned char> bytes = counting(5000);

    ConfigDataUploadRequestBody small;
    small.setData(bytes.data(), 100);
    EXPECT_EQ(small.getDataLength(), 64);
    EXPECT_EQ(small.getBufferLength(), 69u);
    // A length above 64 set by hand goes out with zeros after the 64 bytes.
    small.setDataLength(70);
    EXPECT_EQ(toHex(small.getBuffer()), "46 00 00 00 00 " + hexOf(counting(64)) + " " + zeros(6));
    small.setData(nullptr, 10);
    EXPECT_EQ(small.getDataLength(), 0);
    EXPECT_EQ(small.getData()[0], 0);

    V2::BulkUploadRequestBody bulk;
    EXPECT_EQ(V2::BulkUploadRequestBody::getMaxDataLength(), 4096u);
    bulk.setData(bytes.data(), bytes.size());
    EXPECT_EQ(bulk.getDataLength(), 4096u);
    EXPECT_EQ(bulk.getBufferLength(), 4104u);
    bulk.setDataLength(0xFFFFFFFF);
    EXPECT_EQ(bulk.getDataLength(), 4096u);
    EXPECT_EQ(bulk.getBuffer()->length, 4104u);
    bulk.setDataLength(2);
    EXPECT_EQ(toHex(bulk.getBuffer()), "02 00 00 00 00 00 00 00 00 01");
}

TEST(ConfigDataDownloadBodies, BlockTakesWhatFitsAndZeroesTheRest)
{
    const std::vector<unsigned char> block = counting(200);
    struct Case {
        const char* name;
        size_t length;
        std::string hex;
    };
    const std::vector<Case> cases = {
        {"exactly 104", 104, hexOf(counting(104))},
        {"above 104", 200, hexOf(counting(104))},
        {"shorter", 10, hexOf(counting(10)) + " " + zeros(94)},
        {"one byte", 1, "00 " + zeros(103)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IOBufferPtr payload = IOBuffer::newBuffer(reinterpret_cast<const char*>(block.data()), c.length);
        ConfigDataDownloadResponseBody parsed;
        parsed.setData(std::vector<unsigned char>(104, 0xEE).data(), 104);
        parsed.setBuffer(payload);
        EXPECT_EQ(toHex(parsed.getBuffer()), c.hex);

        ConfigDataDownloadResponseBody set;
        set.setData(block.data(), c.length);
        EXPECT_EQ(toHex(set.getBuffer()), c.hex);
    }

    ConfigDataDownloadResponseBody kept(fromHex(hexOf(counting(104))));
    kept.setBuffer(IOBufferPtr());
    kept.setBuffer(IOBuffer::newBuffer(0));
    EXPECT_EQ(toHex(kept.getBuffer()), hexOf(counting(104)));

    ConfigDataDownloadResponseBody::BufferArray array = {};
    array[103] = 0x7F;
    kept.setData(array);
    EXPECT_EQ(kept.getData()[103], 0x7F);
    EXPECT_EQ(kept.getData()[0], 0);
}

// A received body is the payload alone; serialising puts its 32-bit length in front.
TEST(ConfigDataDownloadBodies, ExtResponseDirectionsDiffer)
{
    struct Case {
        const char* name;
        std::string received;
        std::string serialised;
    };
    const std::vector<Case> cases = {
        {"three bytes", "aa bb cc", "03 00 00 00 aa bb cc"},
        {"one byte", "00", "01 00 00 00 00"},
        {"nothing", "", "00 00 00 00"},
        {"4096 bytes", hexOf(counting(4096)), "00 10 00 00 " + hexOf(counting(4096))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const V2::ConfigDataDownloadExtResponseBody body(fromHex(c.received));
        EXPECT_EQ(body.getBodyType(), ConfigDataDownloadExt);
        EXPECT_EQ(body.getPayload().size(), fromHex(c.received)->length);
        EXPECT_EQ(toHex(body.getBuffer()), c.serialised);
        EXPECT_EQ(body.getBufferLength(), fromHex(c.serialised)->length);
        EXPECT_EQ(body.getMessageDataString(), "");
    }

    V2::ConfigDataDownloadExtResponseBody body;
    body.setBuffer(fromHex("01 02"));
    body.setBuffer(IOBufferPtr());
    EXPECT_TRUE(body.getPayload().empty());
    const unsigned char bytes[] = {9, 8, 7};
    body.setData(bytes, sizeof bytes);
    EXPECT_EQ(toHex(body.getBuffer()), "03 00 00 00 09 08 07");
    body.setData(nullptr, 5);
    EXPECT_TRUE(body.getPayload().empty());
}

TEST(ConfigDataDownloadBodies, ExtResponseGetDataReusesOrReplaces)
{
    const V2::ConfigDataDownloadExtResponseBody body(fromHex("aa bb cc dd"));

    // No buffer yet: one of the payload's size.
    unsigned char* data = nullptr;
    size_t length = 0;
    body.getData(data, length);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(toHex(IOBuffer::newBuffer(reinterpret_cast<char*>(data), length)), "aa bb cc dd");
    delete[] data;

    // Large enough: reused, and the length becomes the payload's.
    unsigned char* large = new unsigned char[16]();
    data = large;
    length = 16;
    body.getData(data, length);
    EXPECT_EQ(data, large);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(data[3], 0xDD);
    EXPECT_EQ(data[4], 0);

    // Exactly the payload's size: still reused.
    body.getData(data, length);
    EXPECT_EQ(data, large);

    // Smaller: released and replaced.
    const V2::ConfigDataDownloadExtResponseBody bigger(fromHex(hexOf(counting(10))));
    bigger.getData(data, length);
    EXPECT_NE(data, large);
    EXPECT_EQ(length, 10u);
    EXPECT_EQ(data[9], 9);
    delete[] data;

    // An empty payload with no buffer hands out nothing.
    const V2::ConfigDataDownloadExtResponseBody empty(IOBuffer::newBuffer(0));
    data = nullptr;
    length = 7;
    empty.getData(data, length);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(length, 0u);
}

// The record is 31 words up to revision 4 and 32 words, with flags at offset 32,
// from revision 5 (ExtendedConfigData) on.
TEST(MemoryConfigBodies, LengthFollowsTheProtocolRevision)
{
    const std::string withoutFlags = c_payloadFields + " " + zeros(30);
    const std::string withFlags = c_payloadFields + " c3 a5 " + zeros(30);
    struct Case {
        size_t version;
        size_t words;
    };
    const std::vector<Case> cases = {{0, 31}, {1, 31}, {4, 31}, {5, 32}, {7, 32}, {8, 32}, {12, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const bool flags = c.words == 32;
        const std::string hex = flags ? withFlags : withoutFlags;
        MemoryConfig::Payload expected = samplePayload();
        if (!flags)
            expected.flags = 0;

        WriteMemoryConfigRequestBody request;
        request.setProtocolVersion(c.version);
        request.setData(samplePayload());
        EXPECT_EQ(request.getDataSize(), c.words);
        EXPECT_EQ(request.getBufferLength(), 2 * c.words);
        EXPECT_EQ(toHex(request.getBuffer()), hex);

        const ReadMemoryConfigResponseBody response(fromHex(hex), c.version);
        EXPECT_EQ(response.getDataSize(), c.words);
        expectPayload(response.getData(), expected);
        EXPECT_EQ(toHex(response.getBuffer()), hex);

        const WriteMemoryConfigRequestBody readBack(fromHex(hex), c.version);
        expectPayload(readBack.getData(), expected);
    }

    // 64 bytes read with the short layout: no flags, not those of an earlier record.
    ReadMemoryConfigResponseBody response(fromHex(withFlags), 5);
    response.setProtocolVersion(1);
    response.setBuffer(fromHex(withFlags));
    EXPECT_EQ(response.getData().flags, 0);
    EXPECT_EQ(toHex(response.getBuffer()), withoutFlags);

    // 62 bytes are too short for the long layout: nothing is parsed.
    ReadMemoryConfigResponseBody longLayout;
    longLayout.setProtocolVersion(5);
    longLayout.setBuffer(fromHex(withoutFlags));
    expectPayload(longLayout.getData(), MemoryConfig::Payload());
}

// The camera's firmware decides the layout through its protocol revision.
TEST(MemoryConfigBodies, RevisionFromTheCamera)
{
    struct Case {
        ICamera::Model model;
        uint32_t firmware;
        size_t words;
    };
    const std::vector<Case> cases = {
        {ICamera::Brisa, 12, 31}, {ICamera::Brisa, 13, 32}, {ICamera::Brisa, 2, 31}, {ICamera::BrisaBC455, 1, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.model) + "/" + std::to_string(c.firmware));
        ICamera::Info info;
        info.model = c.model;
        info.firmwareRevision = c.firmware;
        WriteMemoryConfigRequestBody body;
        body.setProtocolVersion(static_cast<size_t>(getProtocolRevision(info)));
        EXPECT_EQ(body.getDataSize(), c.words);
    }
}

// Whole frames: requests filled through their typed bodies, answers parsed into the
// classes their headers name, and a sent ConfigControl read back from its bytes.
TEST(ConfigBodies, FramesCarryTheBodies)
{
    V1RequestMessage ext(ConfigControlExt, V1None);
    const auto extBody = ext.getTypedBody<V2::ConfigControlExtRequestBody>();
    ASSERT_TRUE(extBody);
    extBody->setCommand(flashSectorErase);
    extBody->setParameter(258);
    ext.updateEndpoint(nullptr, -1);
    EXPECT_EQ(toHex(ext.getBuffer()), "a5 2e 00 00 00 05 00 00 00 02 00 00 01 02");

    V1RequestMessage upload(ConfigDataUpload, V1None);
    const unsigned char bytes[] = {0xAA, 0xBB, 0xCC};
    const auto uploadBody = upload.getTypedBody<ConfigDataUploadRequestBody>();
    ASSERT_TRUE(uploadBody);
    uploadBody->setAddress(0x1000);
    uploadBody->setData(bytes, sizeof bytes);
    upload.updateEndpoint(nullptr, -1);
    EXPECT_EQ(toHex(upload.getBuffer()), "a5 1b 00 00 00 08 00 00 00 03 00 10 00 00 aa bb cc");

    V1RequestMessage memory(WriteMemoryConfig, V1None);
    const auto memoryBody = memory.getTypedBody<WriteMemoryConfigRequestBody>();
    ASSERT_TRUE(memoryBody);
    memoryBody->setProtocolVersion(5);
    memoryBody->setData(samplePayload());
    memory.updateEndpoint(nullptr, -1);
    EXPECT_EQ(toHex(memory.getBuffer()), "a5 20 00 00 00 40 00 00 00 " + c_payloadFields + " c3 a5 " + zeros(30));

    V1RequestMessage control(ConfigControl, V1None);
    const auto controlBody = control.getTypedBody<ConfigControlRequestBody>();
    ASSERT_TRUE(controlBody);
    controlBody->setCommand(flashWriteStatus);
    controlBody->setParameter(Factory::IFactoryCamera::FlashProtected);
    control.updateEndpoint(nullptr, -1);
    const V1RequestMessage readBack(control.getBuffer());
    const auto readBody = readBack.getTypedBody<ConfigControlRequestBody>();
    ASSERT_TRUE(readBody);
    EXPECT_EQ(readBody->getCommand(), flashWriteStatus);
    EXPECT_EQ(readBody->getParameter(), Factory::IFactoryCamera::FlashProtected);

    V1ResponseMessage status(ConfigControlExt, V1None);
    status.setBuffer(fromHex("a5 2e 01 00 00 00 01 00 00 00 0f"));
    EXPECT_TRUE(status.validate());
    const auto statusBody = status.getTypedBody<ConfigControlResponseBody>();
    ASSERT_TRUE(statusBody);
    EXPECT_EQ(statusBody->getBodyType(), ConfigControlExt);
    EXPECT_EQ(statusBody->getStatusRequest(), 15);

    V1ResponseMessage download(ConfigDataDownloadExt, V1None);
    download.setBuffer(fromHex("a5 2f 01 00 00 00 03 00 00 00 aa bb cc"));
    EXPECT_TRUE(download.validate());
    const auto downloadBody = download.getTypedBody<V2::ConfigDataDownloadExtResponseBody>();
    ASSERT_TRUE(downloadBody);
    EXPECT_EQ(hexOf(downloadBody->getPayload()), "aa bb cc");

    // Parsing a frame makes a fresh body at the default version, so a 32-word record
    // is read from the frame's body bytes with the camera's revision.
    V1ResponseMessage record(ReadMemoryConfig, V1None);
    record.setBuffer(fromHex("a5 1f 01 00 00 00 40 00 00 00 " + c_payloadFields + " c3 a5 " + zeros(30)));
    EXPECT_TRUE(record.validate());
    ASSERT_TRUE(record.getTypedBody<ReadMemoryConfigResponseBody>());
    const ReadMemoryConfigResponseBody withRevision(record.getBodyBuffer(), 5);
    expectPayload(withRevision.getData(), samplePayload());

    V1ResponseMessage word(ReadMemoryWord, V1None);
    word.setBuffer(fromHex("a5 1d 01 00 00 00 02 00 00 00 34 12"));
    const auto wordBody = word.getTypedBody<ReadMemoryWordResponseBody>();
    ASSERT_TRUE(wordBody);
    EXPECT_EQ(wordBody->getData().data, 0x1234);
}
