#include "logging/Logger.h"

#include "protocol/Message.h"
#include "transport/Endpoint.h"

#include <date/date.h>
#include <spdlog/async.h>
#include <spdlog/async_logger.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/spdlog.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace kv {

namespace {

constexpr const char* c_sessionStarted = "------KVAPI Logging Session Started------";
constexpr const char* c_sessionEnded = "-------KVAPI Logging Session Ended-------";
constexpr size_t c_exceptionRuleLength = 45;
constexpr size_t c_dumpLineLimit = 16;

int currentThreadId()
{
    return static_cast<int>(::syscall(SYS_gettid));
}

spdlog::level::level_enum writerLevel(logging::ELogSeverity severity)
{
    switch (severity) {
    case logging::eFATAL: return spdlog::level::critical;
    case logging::eERRORL1:
    case logging::eERRORL2: return spdlog::level::err;
    case logging::eWARN: return spdlog::level::warn;
    case logging::eINFO: return spdlog::level::info;
    case logging::eDEBUG:
    case logging::eDEBUGV:
    case logging::eDEBUGV_EX: return spdlog::level::debug;
    case logging::eTRACE: return spdlog::level::trace;
    default: return spdlog::level::off;
    }
}

std::string microsecondStamp(std::chrono::system_clock::time_point time, const char* format)
{
    return date::format(format, std::chrono::floor<std::chrono::microseconds>(time));
}

// Appends "%F %T (UTC%z)" with microseconds. Lines come in bursts within one
// second, so the calendar part is formatted once per second and thread; the
// microseconds are appended by hand.
void appendLineStamp(std::string& out, std::chrono::system_clock::time_point time)
{
    struct Cache {
        date::sys_seconds second{date::sys_seconds::min()};
        std::string date;
        std::string zone;
    };
    thread_local Cache cache;
    const auto micros = std::chrono::floor<std::chrono::microseconds>(time);
    const auto second = std::chrono::floor<std::chrono::seconds>(micros);
    if (second != cache.second) {
        cache.second = second;
        cache.date = date::format("%F %T", second);
        cache.zone = date::format(" (UTC%z)", second);
    }
    auto fraction = static_cast<unsigned>((micros - second).count());
    char digits[8] = {'.', '0', '0', '0', '0', '0', '0', '\0'};
    for (int i = 6; i > 0; --i, fraction /= 10) {
        digits[i] = static_cast<char>('0' + fraction % 10);
    }
    out += cache.date;
    out += digits;
    out += cache.zone;
}

// "\n\t" and every byte as two hex digits and a blank; " " for no bytes.
std::string byteGroup(const IOBufferPtr& bytes)
{
    if (!bytes || bytes->length == 0) {
        return " ";
    }
    static const char c_digits[] = "0123456789abcdef";
    std::string text = "\n\t";
    text.reserve(2 + bytes->length * 3);
    for (size_t i = 0; i < bytes->length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes->data[i]);
        text += c_digits[byte >> 4];
        text += c_digits[byte & 0x0F];
        text += ' ';
    }
    return text;
}

bool omitsRawBody(BodyType bodyType)
{
    const auto& ignored = KVAPILogger::c_RAWIOIgnoreBodies;
    return std::find(std::begin(ignored), std::end(ignored), bodyType) != std::end(ignored);
}

} // namespace

std::string KVAPILogger::c_defaultLogPath()
{
    const char* home = std::getenv("HOME");
    // A relative or missing home would put the log wherever the application
    // happens to run.
    if (home == nullptr || home[0] != '/') {
        return "";
    }
    return std::string(home) + "/.kvapi/logs/";
}

KVAPILogger::KVAPILogger(std::string logDirectory)
    : m_loggingSuppressed(true), m_logFilePath(std::move(logDirectory)), m_loggingMode(logging::eRegMode)
{
    logMsg(logging::eINFO, c_sessionStarted);
}

KVAPILogger::~KVAPILogger()
{
    try {
        shutdownLogger();
    } catch (...) {
        // Nothing sensible is left to report to.
    }
}

void KVAPILogger::setLogMode(unsigned short level)
{
    logging::ELoggingMode mode = logging::eDisabled;
    switch (level) {
    case 1: mode = logging::eRegMode; break;
    case 2: mode = logging::eDebugMode; break;
    case 3: mode = logging::eVerboseMode; break;
    case 4: mode = logging::eVerboseModeEx; break;
    case 5: mode = logging::eRawIOMode; break;
    default: break;
    }
    LockGuard lock(m_mutex);
    m_loggingMode = mode;
}

logging::ELoggingMode KVAPILogger::getLogMode() const
{
    LockGuard lock(m_mutex);
    return m_loggingMode;
}

void KVAPILogger::setIsSuppressed(bool suppressed)
{
    LockGuard lock(m_mutex);
    m_loggingSuppressed = suppressed;
}

bool KVAPILogger::getIsSuppressed() const
{
    LockGuard lock(m_mutex);
    return m_loggingSuppressed;
}

void KVAPILogger::setLogFilePath(const std::string& path)
{
    LockGuard lock(m_mutex);
    m_logFilePath = path;
}

std::string KVAPILogger::getLogFilePath() const
{
    LockGuard lock(m_mutex);
    return m_logFilePath;
}

std::string KVAPILogger::getTxtFilePath() const
{
    LockGuard lock(m_mutex);
    return m_txtFilePath;
}

size_t KVAPILogger::getLogCount() const
{
    LockGuard lock(m_mutex);
    return m_logBuffer.size();
}

void KVAPILogger::beginWriting()
{
    std::string file;
    {
        LockGuard lock(m_mutex);
        // Without a directory the name would be relative to wherever the
        // application runs.
        if (m_logFilePath.empty()) {
            return;
        }
        file = m_logFilePath + date::format("%Y%m%d", std::chrono::system_clock::now()) + ".log";
        m_txtFilePath = file;
    }
    initLogger(file);
}

void KVAPILogger::initLogger(const std::string& file)
{
    LockGuard lock(m_mutex);
    if (m_pLogger) {
        shutdownLocked();
    }
    // The sink first: when the file cannot be opened no writer thread is started.
    auto sink = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(file, c_maxFileSize, c_maxFileRotations);
    auto pool = std::make_shared<spdlog::details::thread_pool>(spdlog::details::default_async_q_size, 1U);
    auto logger = std::make_shared<spdlog::async_logger>(c_logRegistryName, std::move(sink), pool,
                                                         spdlog::async_overflow_policy::block);
    logger->set_pattern(c_logFormatPattern);
    // Everything the mode lets through reaches the file.
    logger->set_level(spdlog::level::debug);
    logger->flush_on(spdlog::level::err);
    // Registered for the periodic flusher.
    spdlog::drop(c_logRegistryName);
    spdlog::register_logger(logger);
    spdlog::flush_every(std::chrono::seconds(c_logFlushIntervalSec));
    m_pThreadPool = std::move(pool);
    m_pLogger = std::move(logger);
}

void KVAPILogger::shutdownLogger()
{
    LockGuard lock(m_mutex);
    shutdownLocked();
}

void KVAPILogger::shutdownLocked()
{
    if (!m_pLogger) {
        return;
    }
    logLocked(logging::eINFO, c_sessionEnded, logging::eNoIndent);
    m_pLogger->flush();
    if (spdlog::get(c_logRegistryName) == m_pLogger) {
        spdlog::drop(c_logRegistryName);
    }
    // The pool's destructor lets the writer finish every queued line and joins it.
    m_pThreadPool.reset();
    m_pLogger.reset();
}

void KVAPILogger::flush()
{
    LockGuard lock(m_mutex);
    if (m_pLogger) {
        m_pLogger->flush();
    }
}

bool KVAPILogger::isLogged(logging::ELogSeverity severity) const
{
    LockGuard lock(m_mutex);
    return isLoggedLocked(severity);
}

bool KVAPILogger::isLoggedLocked(logging::ELogSeverity severity) const
{
    return m_loggingMode != logging::eRawIOMode && static_cast<int>(m_loggingMode) >= static_cast<int>(severity);
}

void KVAPILogger::logMsg(logging::ELogSeverity severity, const std::string& text, logging::EIndentLevel indent)
{
    LockGuard lock(m_mutex);
    logLocked(severity, text, indent);
}

void KVAPILogger::logLocked(logging::ELogSeverity severity, const std::string& text, logging::EIndentLevel indent)
{
    if (!isLoggedLocked(severity)) {
        return;
    }
    LogMessageData message(severity, text, indent);
    message.setStatus(logging::eQueued);
    message.setThreadID(currentThreadId());
    if (m_loggingSuppressed || !m_pLogger) {
        m_logBuffer.push_back(std::move(message));
        while (m_logBuffer.size() > c_maxLogQueueSize) {
            m_logBuffer.pop_front();
        }
        return;
    }
    for (auto& buffered : m_logBuffer) {
        writeLocked(buffered);
    }
    m_logBuffer.clear();
    writeLocked(message);
}

void KVAPILogger::writeLocked(LogMessageData& message)
{
    const spdlog::level::level_enum level = writerLevel(message.getSeverity());
    if (level == spdlog::level::off) {
        return;
    }
    const std::string line = formatLine(message);
    // Passed as a view: the text is never read as a format string.
    m_pLogger->log(level, spdlog::string_view_t(line));
    message.setStatus(logging::eWritten);
}

void KVAPILogger::logInfo(const std::string& text)
{
    LockGuard lock(m_mutex);
    if (m_pLogger) {
        m_pLogger->log(spdlog::level::info, spdlog::string_view_t(text));
    }
}

std::string KVAPILogger::formatLine(const LogMessageData& message)
{
    const int indent = std::clamp(static_cast<int>(message.getIndentLevel()), c_minIndentLevel, c_maxIndentLevel);
    std::string line;
    line.reserve(64 + 3 * indent + message.getMessage().size());
    appendLineStamp(line, message.getTimeStamp());
    line += severityTag(message.getSeverity());
    for (int i = 0; i < indent; ++i) {
        line += "\t- ";
    }
    line += message.getMessage();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

const char* KVAPILogger::severityTag(logging::ELogSeverity severity)
{
    switch (severity) {
    case logging::eFATAL: return " [FATAL] ";
    case logging::eERRORL1:
    case logging::eERRORL2: return " [ERROR] ";
    case logging::eWARN: return " [WARN] ";
    case logging::eINFO: return " [INFO] ";
    case logging::eDEBUG: return " [DEBUG] ";
    case logging::eDEBUGV: return " [DEBUG VERBOSE] ";
    case logging::eDEBUGV_EX: return " [DEBUG VERBOSE+] ";
    case logging::eTRACE: return " [TRACE] ";
    default: return "";
    }
}

void KVAPILogger::logMsg(std::exception_ptr exception, MessageContextPtr context)
{
    if (!exception) {
        throw std::bad_exception();
    }
    if (!isLogged(logging::eERRORL2)) {
        return;
    }
    const std::string rule(c_exceptionRuleLength, '-');
    std::string text;
    if (context) {
        const MessagePtr request = context->getRequest();
        if (!request) {
            text += "\nNo Request in packet ";
        } else if (request->getHeader()) {
            text += "\nRequest Header:\n" + request->getHeader()->toString();
        } else {
            text += "\nNo header in Request\n";
        }
        text += "\n" + rule;
        const MessagePtr response = context->getResponse();
        if (!response) {
            text += "\nNo Response in packet";
        } else if (response->getHeader()) {
            text += "\nResponse Header:\n" + response->getHeader()->toString();
        } else {
            text += "\nNo header in response";
        }
        text += "\n" + rule;
    }
    text += "\nException: ";
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception& e) {
        const char* what = e.what();
        text += what != nullptr ? what : "";
        text += "\n";
    } catch (const std::string& s) {
        text += s + "\n";
    } catch (const char* s) {
        text += s != nullptr ? s : "";
        text += "\n";
    } catch (...) {
        text += "Unknown Exception\n";
    }
    logMsg(logging::eERRORL2, text);
}

void KVAPILogger::logRAWIO(logging::ERawIOMode mode, MessageContextPtr context)
{
    if (!context) {
        return;
    }
    {
        LockGuard lock(m_mutex);
        if (m_loggingMode != logging::eRawIOMode || !m_pLogger) {
            return;
        }
    }
    const MessagePtr message = mode == logging::rawTX ? context->getRequest() : context->getResponse();
    const BodyType bodyType = message ? message->getBodyType() : InvalidBody;
    const EndpointPtr endpoint = context->getEndpoint();

    std::string text = c_logLineBreak;
    text += "\n";
    text += microsecondStamp(std::chrono::system_clock::now(), "%F %T");
    text += " " + messageBodyToString(bodyType) + " [" + (mode == logging::rawTX ? "OUT" : "IN") + ": ";
    text += (endpoint ? endpoint->toStringConcise() : std::string()) + "]: ";
    if (!message) {
        text += byteGroup(nullptr);
    } else if (omitsRawBody(bodyType)) {
        // Image packets are too large to dump; the frame around them is kept.
        text += byteGroup(message->getHeader() ? message->getHeader()->getBuffer() : nullptr);
        text += "... ";
        text += byteGroup(message->getFooter() ? message->getFooter()->getBuffer() : nullptr);
    } else {
        text += byteGroup(message->getBuffer());
    }
    logInfo(text);
}

void KVAPILogger::logRequestData(MessagePtr request)
{
    if (!request) {
        return;
    }
    const BodyType bodyType = request->getBodyType();
    const std::string name = messageBodyToString(bodyType);
    if (bodyType == ErrorBodyType) {
        if (isLogged(logging::eERRORL1)) {
            logMsg(logging::eERRORL1, name + " " + errors::getErrorString(request->getStatusCode()));
        }
        return;
    }
    logBodyData(*request, name, " Request Body Raw Buffer:\n");
}

void KVAPILogger::logResponseData(const Message& response, MessageContextPtr context)
{
    const BodyType bodyType = response.getBodyType();
    const std::string name = messageBodyToString(bodyType);
    if (bodyType == ErrorBodyType) {
        if (isLogged(logging::eERRORL1)) {
            std::string text = name;
            if (context && context->getRequest()) {
                text += " Request: " + messageBodyToString(context->getRequest()->getBodyType());
            }
            text += " " + errors::getErrorString(response.getStatusCode());
            logMsg(logging::eERRORL1, text);
        }
        return;
    }
    logBodyData(response, name, " Response Body Raw Buffer:\n");
}

void KVAPILogger::logBodyData(const Message& message, const std::string& name, const char* rawTitle)
{
    // Status polls are frequent: they only show in the most verbose mode.
    const bool statusPoll = message.getBodyType() == GetCameraStatus;
    const logging::ELogSeverity dataSeverity = statusPoll ? logging::eDEBUGV_EX : logging::eDEBUG;
    const logging::ELogSeverity rawSeverity = statusPoll ? logging::eDEBUGV_EX : logging::eDEBUGV;
    const BaseBodyPtr& body = message.getBody();

    if (isLogged(dataSeverity)) {
        const std::string data = body ? body->getMessageDataString() : std::string();
        if (!name.empty() || !data.empty()) {
            logMsg(dataSeverity, name + " " + data);
        }
    }
    if (body && isLogged(rawSeverity)) {
        const IOBufferPtr bytes = body->getBuffer();
        if (bytes && bytes->length > 0) {
            logMsg(rawSeverity, name + rawTitle + c_logLineBreak + "\n" + bytes->toString(c_dumpLineLimit) + "\n" +
                                    c_logLineBreak);
        }
    }
}

void KVAPILogger::logHeaderData(BaseHeaderPtr header, const std::string& prefix)
{
    if (!header) {
        return;
    }
    const logging::ELogSeverity severity =
        header->getBodyType() == GetCameraStatus ? logging::eDEBUGV_EX : logging::eDEBUGV;
    if (isLogged(severity)) {
        logMsg(severity, prefix + header->toString());
    }
}

std::string KVAPILogger::messageBodyToString(BodyType bodyType)
{
    return Reflections::messageBodyToString(bodyType);
}

std::string KVAPILogger::messageHeaderToString(HeaderType headerType)
{
    return Reflections::messageHeaderToString(headerType);
}

std::string KVAPILogger::messageFooterToString(FooterType footerType)
{
    return Reflections::messageFooterToString(footerType);
}

} // namespace kv
