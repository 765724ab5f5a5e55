#include "LogFiles.h"

#include "logging/Logger.h"
#include "protocol/FWGotoRequestBody.h"
#include "protocol/Message.h"
#include "transport/MessageContext.h"
#include "transport/NetEndpoint.h"
#include "unit/protocol/HexBytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace kv;
using namespace logtest;
using namespace logging;

namespace {

// 2024-05-01 13:45:07.123456789 UTC.
std::chrono::system_clock::time_point fixedTime()
{
    std::tm parts{};
    parts.tm_year = 2024 - 1900;
    parts.tm_mon = 4;
    parts.tm_mday = 1;
    parts.tm_hour = 13;
    parts.tm_min = 45;
    parts.tm_sec = 7;
    return std::chrono::system_clock::from_time_t(::timegm(&parts)) +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(123456789));
}

// Parses the time stamp that starts a written line.
std::chrono::system_clock::time_point stampOf(const std::string& line)
{
    std::tm parts{};
    int micros = 0;
    if (std::sscanf(line.c_str(), "%d-%d-%d %d:%d:%d.%d", &parts.tm_year, &parts.tm_mon, &parts.tm_mday,
                    &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &micros) != 7) {
        ADD_FAILURE() << "no time stamp in: " << line;
        return {};
    }
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    return std::chrono::system_clock::from_time_t(::timegm(&parts)) + std::chrono::microseconds(micros);
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

void logOnePerSeverity(KVAPILogger& logger)
{
    logger.logMsg(eFATAL, "fatal");
    logger.logMsg(eERRORL1, "error one");
    logger.logMsg(eERRORL2, "error two");
    logger.logMsg(eWARN, "warn");
    logger.logMsg(eINFO, "info");
    logger.logMsg(eDEBUG, "debug");
    logger.logMsg(eDEBUGV, "verbose");
    logger.logMsg(eDEBUGV_EX, "verbose plus");
    logger.logMsg(eTRACE, "trace");
}

MessageContextPtr contextFor(MessagePtr request, MessagePtr response)
{
    return std::make_shared<MessageContext>(request, response, std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0),
                                            Medium, nullptr, "Test::exchange");
}

MessagePtr filterWheelGoto(uint8_t position)
{
    auto request = std::make_shared<V1RequestMessage>(FWGoto, V1None);
    request->getTypedBody<V1::FWGotoRequestBody>()->setPosition(position);
    return request;
}

} // namespace

TEST(LoggerLine, TimeStampTagIndentationAndText)
{
    struct Case {
        ELogSeverity severity;
        int indent;
        std::string text;
        std::string line;
    };
    const std::string stamp = "2024-05-01 13:45:07.123456 (UTC+0000)";
    const Case cases[] = {
        {eFATAL, 0, "a", stamp + " [FATAL] a"},
        {eERRORL1, 0, "a", stamp + " [ERROR] a"},
        {eERRORL2, 0, "a", stamp + " [ERROR] a"},
        {eWARN, 0, "a", stamp + " [WARN] a"},
        {eINFO, 0, "a", stamp + " [INFO] a"},
        {eDEBUG, 0, "a", stamp + " [DEBUG] a"},
        {eDEBUGV, 0, "a", stamp + " [DEBUG VERBOSE] a"},
        {eDEBUGV_EX, 0, "a", stamp + " [DEBUG VERBOSE+] a"},
        {eTRACE, 0, "a", stamp + " [TRACE] a"},
        {eRAWIO, 0, "a", stamp + "a"},
        {eINFO, 1, "one", stamp + " [INFO] \t- one"},
        {eINFO, 2, "two", stamp + " [INFO] \t- \t- two"},
        // Out-of-range indentation is held to the maximum of five.
        {eINFO, 9, "deep", stamp + " [INFO] \t- \t- \t- \t- \t- deep"},
        {eINFO, 0, "crlf\r\n", stamp + " [INFO] crlf"},
        {eINFO, 0, "two\nlines\n\n", stamp + " [INFO] two\nlines"},
        {eINFO, 0, "", stamp + " [INFO] "},
    };
    for (const auto& c : cases) {
        LogMessageData message(c.severity, c.text, static_cast<EIndentLevel>(c.indent));
        message.setTimeStamp(fixedTime());
        EXPECT_EQ(KVAPILogger::formatLine(message), c.line) << c.text;
    }
}

TEST(LoggerLine, MicrosecondsAreTruncatedAndPadded)
{
    struct Case {
        std::chrono::nanoseconds offset;
        std::string stamp;
    };
    using std::chrono::nanoseconds;
    const Case cases[] = {
        {nanoseconds(0), "2024-05-01 13:45:07.123456 (UTC+0000)"},
        {nanoseconds(210), "2024-05-01 13:45:07.123456 (UTC+0000)"},
        {nanoseconds(-123456789), "2024-05-01 13:45:07.000000 (UTC+0000)"},
        {nanoseconds(-123414789), "2024-05-01 13:45:07.000042 (UTC+0000)"},
        {nanoseconds(876543210), "2024-05-01 13:45:07.999999 (UTC+0000)"},
        {nanoseconds(876543211), "2024-05-01 13:45:08.000000 (UTC+0000)"},
        {nanoseconds(-86400LL * 1000000000LL), "2024-04-30 13:45:07.123456 (UTC+0000)"},
    };
    for (const auto& c : cases) {
        LogMessageData message(eINFO, "x", eNoIndent);
        message.setTimeStamp(fixedTime() + std::chrono::duration_cast<std::chrono::system_clock::duration>(c.offset));
        EXPECT_EQ(KVAPILogger::formatLine(message), c.stamp + " [INFO] x");
    }
}

TEST(LoggerLine, MessageDataStartsQueuedForTheLogger)
{
    LogMessageData message(eWARN, "text", eIndent1);
    EXPECT_EQ(message.getMessage(), "text\n");
    EXPECT_EQ(message.getStatus(), eFailed);
    EXPECT_EQ(message.getThreadID(), 0);
    EXPECT_EQ(message.getID(), 0u);
    EXPECT_EQ(message.getSeverity(), eWARN);
    EXPECT_EQ(message.getIndentLevel(), eIndent1);
}

TEST(Logger, EachLevelWritesItsSeverities)
{
    const std::string upToInfo = "<T> [FATAL] fatal\n<T> [ERROR] error one\n<T> [ERROR] error two\n"
                                 "<T> [WARN] warn\n<T> [INFO] info\n";
    const std::string debug = "<T> [DEBUG] debug\n";
    const std::string verbose = "<T> [DEBUG VERBOSE] verbose\n";
    const std::string verbosePlus = "<T> [DEBUG VERBOSE+] verbose plus\n";
    struct Case {
        unsigned short level;
        ELoggingMode mode;
        std::string file;
    };
    const Case cases[] = {
        {1, eRegMode, c_started + upToInfo + c_ended},
        {2, eDebugMode, c_started + upToInfo + debug + c_ended},
        {3, eVerboseMode, c_started + upToInfo + debug + verbose + c_ended},
        {4, eVerboseModeEx, c_started + upToInfo + debug + verbose + verbosePlus + c_ended},
        // Raw I/O only: neither the buffered banner nor any ordinary message.
        {5, eRawIOMode, ""},
        // Unknown levels keep FATAL only; writing it brings the buffered banner out first.
        {7, eDisabled, c_started + "<T> [FATAL] fatal\n"},
    };
    for (const auto& c : cases) {
        TempHome home;
        auto logger = startLog(home.logDir(), c.level);
        EXPECT_EQ(logger->getLogMode(), c.mode);
        logOnePerSeverity(*logger);
        EXPECT_EQ(finish(*logger), c.file) << "level " << c.level;
    }
}

TEST(Logger, LevelZeroWritesNothingAndBuffers)
{
    TempHome home;
    auto logger = startLog(home.logDir(), 0);
    EXPECT_TRUE(logger->getIsSuppressed());
    EXPECT_EQ(logger->getLogMode(), eDisabled);
    logOnePerSeverity(*logger);
    // The banner from construction and the FATAL line wait in the buffer.
    EXPECT_EQ(logger->getLogCount(), 2u);
    logger->shutdownLogger();
    EXPECT_EQ(logger->getTxtFilePath(), "");
    EXPECT_FALSE(std::filesystem::exists(home.logDir()));
}

TEST(Logger, DroppedSeveritiesAreNotLogged)
{
    struct Case {
        unsigned short level;
        ELogSeverity severity;
        bool logged;
    };
    const Case cases[] = {
        {0, eFATAL, true},   {0, eERRORL1, false}, {1, eINFO, true},     {1, eDEBUG, false},
        {4, eDEBUGV_EX, true}, {4, eTRACE, false},  {5, eFATAL, false},   {9, eFATAL, true},
        {9, eWARN, false},
    };
    KVAPILogger logger("");
    for (const auto& c : cases) {
        logger.setLogMode(c.level);
        EXPECT_EQ(logger.isLogged(c.severity), c.logged) << c.level << " " << c.severity;
    }
}

TEST(Logger, BufferKeepsTheNewestHundredAheadOfTheFirstWrittenMessage)
{
    TempHome home;
    KVAPILogger logger(home.logDir());
    for (int i = 0; i < 150; ++i) {
        logger.logMsg(eINFO, "early " + std::to_string(i));
    }
    EXPECT_EQ(logger.getLogCount(), 100u);
    // Let the clock move on, so that a stamp taken at write time would differ.
    const auto mark = std::chrono::system_clock::now();
    while (std::chrono::system_clock::now() < mark + std::chrono::milliseconds(2)) {
    }

    logger.setIsSuppressed(false);
    logger.setLogMode(1);
    logger.beginWriting();
    EXPECT_EQ(logger.getLogCount(), 100u);
    logger.logMsg(eINFO, "after start");
    EXPECT_EQ(logger.getLogCount(), 0u);

    logger.shutdownLogger();
    const std::string raw = readFile(logger.getTxtFilePath());
    std::string expected;
    for (int i = 50; i < 150; ++i) {
        expected += "<T> [INFO] early " + std::to_string(i) + "\n";
    }
    expected += "<T> [INFO] after start\n" + c_ended;
    EXPECT_EQ(stamped(raw), expected);

    const auto written = lines(raw);
    ASSERT_EQ(written.size(), 102u);
    EXPECT_LT(stampOf(written.front()), mark);
    EXPECT_GE(stampOf(written[100]), std::chrono::floor<std::chrono::microseconds>(mark));
}

TEST(Logger, FileIsNamedByTheUtcDateInTheLogDirectory)
{
    TempHome home;
    const std::string before = utcDate();
    auto logger = startLog(home.logDir(), 1);
    const std::string after = utcDate();
    const std::string file = logger->getTxtFilePath();
    EXPECT_TRUE(file == home.logDir() + before + ".log" || file == home.logDir() + after + ".log") << file;
    logger->logMsg(eINFO, "x");
    logger->shutdownLogger();
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

TEST(Logger, TimeStampIsTheMomentOfLogging)
{
    TempHome home;
    auto logger = startLog(home.logDir(), 1);
    const auto before = std::chrono::floor<std::chrono::microseconds>(std::chrono::system_clock::now());
    logger->logMsg(eINFO, "now");
    const auto after = std::chrono::system_clock::now();
    const std::string file = logger->getTxtFilePath();
    logger->shutdownLogger();
    const auto written = lines(readFile(file));
    ASSERT_EQ(written.size(), 3u);
    const auto stamp = stampOf(written[1]);
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
}

TEST(Logger, TextIsWrittenAsGivenWithoutTrailingLineBreaks)
{
    TempHome home;
    auto logger = startLog(home.logDir(), 1);
    logger->logMsg(eINFO, "braces {} {:x} and %v stay", eIndent1);
    logger->logMsg(eWARN, "carriage return\r\n", eIndent2);
    logger->logMsg(eINFO, "first\nsecond");
    EXPECT_EQ(finish(*logger), c_started +
                                   "<T> [INFO] \t- braces {} {:x} and %v stay\n"
                                   "<T> [WARN] \t- \t- carriage return\n"
                                   "<T> [INFO] first\nsecond\n" +
                                   c_ended);
}

TEST(Logger, BeginWritingAgainEndsTheFirstFileAndOpensTheNext)
{
    TempHome home;
    auto logger = startLog(home.logDir(), 1);
    logger->logMsg(eINFO, "in the first");
    const std::string first = logger->getTxtFilePath();

    logger->setLogFilePath(home.path() + "/elsewhere/");
    EXPECT_EQ(logger->getTxtFilePath(), first) << "the path takes effect at the next beginWriting";
    logger->beginWriting();
    logger->logMsg(eINFO, "in the second");
    const std::string second = logger->getTxtFilePath();
    EXPECT_EQ(second, home.path() + "/elsewhere/" + utcDate() + ".log");

    logger->shutdownLogger();
    EXPECT_EQ(stamped(readFile(first)), c_started + "<T> [INFO] in the first\n" + c_ended);
    EXPECT_EQ(stamped(readFile(second)), "<T> [INFO] in the second\n" + c_ended);
}

TEST(Logger, InfoTextBypassesFilterAndFormat)
{
    TempHome home;
    auto logger = startLog(home.logDir(), 5);
    logger->logInfo("plain {} text");
    logger->logMsg(eFATAL, "dropped in raw mode");
    EXPECT_EQ(finish(*logger), "plain {} text\n");
}

TEST(Logger, NoFileWithoutALogDirectory)
{
    KVAPILogger logger("");
    logger.setIsSuppressed(false);
    logger.setLogMode(2);
    logger.beginWriting();
    logger.logMsg(eINFO, "kept");
    EXPECT_EQ(logger.getTxtFilePath(), "");
    EXPECT_EQ(logger.getLogCount(), 2u);
}

TEST(Logger, DefaultLogPathFollowsHome)
{
    TempHome home;
    EXPECT_EQ(KVAPILogger::c_defaultLogPath(), home.path() + "/.kvapi/logs/");
    ::setenv("HOME", "relative/home", 1);
    EXPECT_EQ(KVAPILogger::c_defaultLogPath(), "");
    ::unsetenv("HOME");
    EXPECT_EQ(KVAPILogger::c_defaultLogPath(), "");
}

TEST(Logger, RequestResponseAndHeaderDumps)
{
    const std::string rule = KVAPILogger::c_logLineBreak;
    TempHome home;
    auto logger = startLog(home.logDir(), 4);

    MessagePtr request = filterWheelGoto(3);
    logger->logRequestData(request);

    auto errorResponse = std::make_shared<V1ResponseMessage>(ErrorBodyType, V1None);
    errorResponse->getTypedHeader<V1::ResponseHeaderBody>()->setStatusCode(EStatusCode::DeviceBusy);
    logger->logResponseData(*errorResponse, contextFor(request, errorResponse));
    logger->logResponseData(*errorResponse, nullptr);
    logger->logRequestData(std::make_shared<V1RequestMessage>(ErrorBodyType, V1None));

    // Status polls, with an empty body: the data line only.
    logger->logRequestData(std::make_shared<V1RequestMessage>(GetCameraStatus, V1None));
    logger->logHeaderData(request->getHeader(), "Request Header:");
    logger->logRequestData(nullptr);
    logger->logHeaderData(nullptr, "none");

    EXPECT_EQ(finish(*logger), c_started + "<T> [DEBUG] FWGoto Request Data | New FW Position: 3\n" +
                                   "<T> [DEBUG VERBOSE] FWGoto Request Body Raw Buffer:\n" + rule + "\n03 \n" + rule +
                                   "\n" +
                                   "<T> [ERROR] ErrorBodyType Request: FWGoto Device Error :: Device is Busy and "
                                   "cannot comply\n" +
                                   "<T> [ERROR] ErrorBodyType Device Error :: Device is Busy and cannot comply\n" +
                                   "<T> [ERROR] ErrorBodyType Unknown Error\n" +
                                   "<T> [DEBUG VERBOSE+] GetCameraStatus No Data\n" +
                                   "<T> [DEBUG VERBOSE] Request Header:" + request->getHeader()->toString() + "\n" +
                                   c_ended);
}

TEST(Logger, StatusPollDumpsOnlyInTheMostVerboseMode)
{
    TempHome home;
    auto logger = startLog(home.logDir(), 3);
    auto poll = std::make_shared<V1RequestMessage>(GetCameraStatus, V1None);
    logger->logRequestData(poll);
    logger->logHeaderData(poll->getHeader(), "Request Header:");
    logger->logRequestData(filterWheelGoto(1));
    EXPECT_EQ(finish(*logger), c_started + "<T> [DEBUG] FWGoto Request Data | New FW Position: 1\n" +
                                   "<T> [DEBUG VERBOSE] FWGoto Request Body Raw Buffer:\n" +
                                   KVAPILogger::c_logLineBreak + "\n01 \n" + KVAPILogger::c_logLineBreak + "\n" +
                                   c_ended);
}

TEST(Logger, ExceptionReports)
{
    const std::string rule(45, '-');
    MessagePtr request = filterWheelGoto(2);
    auto response = std::make_shared<V1ResponseMessage>(FWGoto, V1None);
    auto headerless = std::make_shared<V1RequestMessage>(IOBuffer::newBuffer(0));
    ASSERT_EQ(headerless->getHeader(), nullptr);

    struct Case {
        const char* name;
        std::exception_ptr exception;
        MessageContextPtr context;
        std::string text;
    };
    const Case cases[] = {
        {"standard", std::make_exception_ptr(std::runtime_error("boom")), nullptr, "\nException: boom"},
        {"string", std::make_exception_ptr(std::string("thrown text")), nullptr, "\nException: thrown text"},
        {"characters", std::make_exception_ptr("thrown chars"), nullptr, "\nException: thrown chars"},
        {"null characters", std::make_exception_ptr(static_cast<const char*>(nullptr)), nullptr, "\nException: "},
        {"other", std::make_exception_ptr(42), nullptr, "\nException: Unknown Exception"},
        {"headers", std::make_exception_ptr(std::runtime_error("bad")), contextFor(request, response),
         "\nRequest Header:\n" + request->getHeader()->toString() + "\n" + rule + "\nResponse Header:\n" +
             response->getHeader()->toString() + "\n" + rule + "\nException: bad"},
        {"no messages", std::make_exception_ptr(std::runtime_error("bad")), contextFor(nullptr, nullptr),
         "\nNo Request in packet \n" + rule + "\nNo Response in packet\n" + rule + "\nException: bad"},
        {"no headers", std::make_exception_ptr(std::runtime_error("bad")),
         contextFor(headerless, std::make_shared<V1ResponseMessage>(IOBuffer::newBuffer(0))),
         "\nNo header in Request\n\n" + rule + "\nNo header in response\n" + rule + "\nException: bad"},
    };
    for (const auto& c : cases) {
        TempHome home;
        auto logger = startLog(home.logDir(), 1);
        logger->logMsg(c.exception, c.context);
        EXPECT_EQ(finish(*logger), c_started + "<T> [ERROR] " + c.text + "\n" + c_ended) << c.name;
    }

    KVAPILogger logger("");
    EXPECT_THROW(logger.logMsg(std::exception_ptr(), nullptr), std::bad_exception);
}

TEST(Logger, RawDumpsAtLevelFiveOnly)
{
    const std::string rule = KVAPILogger::c_logLineBreak;
    MessagePtr request = filterWheelGoto(3);
    // Image packets: header and footer only (the packet answer holds its 2-byte id).
    auto packet = std::make_shared<V1ResponseMessage>(PacketRequest, V1SeqCrc16);
    MessageContextPtr context = contextFor(request, packet);

    TempHome home;
    auto logger = startLog(home.logDir(), 5);
    logger->logRAWIO(rawTX, context);
    logger->logRAWIO(rawRX, context);
    logger->logRAWIO(rawRX, contextFor(request, nullptr));
    logger->logRAWIO(rawTX, nullptr);
    EXPECT_EQ(finish(*logger), rule + "\n<R> FWGoto [OUT: 127.0.0.2]: \n\ta5 13 00 00 00 01 00 00 00 03 \n" + rule +
                                   "\n<R> PacketRequest [IN: 127.0.0.2]: \n\ta5 19 01 01 ff 00 02 00 00 00 ... "
                                   "\n\t00 00 00 \n" +
                                   rule + "\n<R> Invalid body type [IN: 127.0.0.2]:  \n");

    TempHome otherHome;
    auto verbose = startLog(otherHome.logDir(), 4);
    verbose->logRAWIO(rawTX, context);
    EXPECT_EQ(finish(*verbose), c_started + c_ended);
}

TEST(Logger, ThreadsLogWhileTheFileIsReopened)
{
    TempHome home;
    auto logger = startLog(home.logDir(), 1);
    constexpr int c_threads = 3;
    constexpr int c_perThread = 300;
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < c_threads; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) {
            }
            for (int i = 0; i < c_perThread; ++i) {
                logger->logMsg(eINFO, "worker " + std::to_string(t) + " " + std::to_string(i));
            }
        });
    }
    go = true;
    const std::string dirs[] = {home.path() + "/a/", home.path() + "/b/"};
    for (int i = 0; i < 6; ++i) {
        logger->setLogFilePath(dirs[i % 2]);
        logger->beginWriting();
    }
    for (auto& thread : threads) {
        thread.join();
    }
    logger->shutdownLogger();

    int written = 0;
    for (const std::string& file :
         {home.logDir() + utcDate() + ".log", dirs[0] + utcDate() + ".log", dirs[1] + utcDate() + ".log"}) {
        for (const auto& line : lines(readFile(file))) {
            written += line.find("[INFO] worker ") != std::string::npos ? 1 : 0;
        }
    }
    EXPECT_EQ(written, c_threads * c_perThread);
}
