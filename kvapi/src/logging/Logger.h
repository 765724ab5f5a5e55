#pragma once

#include "logging/LogMessage.h"
#include "protocol/HeaderBody.h"
#include "protocol/protocol.h"
#include "transport/MessageContext.h"

#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>

namespace spdlog {
class logger;
namespace details {
class thread_pool;
}
} // namespace spdlog

namespace kv {

class KVAPILogger;
using KVAPILoggerPtr = std::shared_ptr<KVAPILogger>;

// The library's log: one text file per UTC day, written by a background
// writer. Until logging is switched on (and while it is suppressed) messages
// are kept in a buffer of c_maxLogQueueSize and written, with their own time
// stamps, ahead of the next message written.
//
// Any thread may log. m_mutex guards the mode, the suppression flag, the
// paths, the buffer and the writer itself, which beginWriting() replaces
// while transports may be logging.
class KVAPILogger {
public:
    using TLogList = std::deque<LogMessageData>;
    using TLoggerPtr = std::shared_ptr<spdlog::logger>;
    using LogMutex = std::mutex;
    using LockGuard = std::lock_guard<LogMutex>;

    static constexpr const char* c_logRegistryName = "KVAPI_LOG";
    static constexpr const char* c_logFormatPattern = "%v";
    static constexpr const char* c_logLineBreak = "--------------------------------------------------------";
    static constexpr size_t c_maxFileSize = 5242880;
    static constexpr size_t c_maxFileRotations = 100;
    static constexpr int c_logFlushIntervalSec = 5;
    static constexpr size_t c_maxLogQueueSize = 100;
    static constexpr int c_minIndentLevel = 0;
    static constexpr int c_maxIndentLevel = 5;
    static constexpr BodyType c_RAWIOIgnoreBodies[] = {PacketRequest, GetFrameRequest};

    // $HOME + "/.kvapi/logs/", read at each call. Empty when HOME is unset or
    // not an absolute path: the library then keeps no log and writes no files.
    static std::string c_defaultLogPath();

    // Suppressed, in eRegMode, with the session-start line buffered.
    explicit KVAPILogger(std::string logDirectory);
    // Ends the session (shutdownLogger).
    virtual ~KVAPILogger();
    KVAPILogger(const KVAPILogger&) = delete;
    KVAPILogger& operator=(const KVAPILogger&) = delete;

    // Level 0 to 5 as in logging.conf; any other value keeps FATAL only.
    // The suppression flag is set separately.
    void setLogMode(unsigned short level);
    logging::ELoggingMode getLogMode() const;
    void setIsSuppressed(bool suppressed);
    bool getIsSuppressed() const;
    void setLogFilePath(const std::string& path);
    std::string getLogFilePath() const;
    // The file opened by the last beginWriting(), empty before.
    std::string getTxtFilePath() const;
    // Messages waiting in the buffer.
    size_t getLogCount() const;

    // Opens the file named for the log path and today's UTC date, closing the
    // previous one. Throws when the file cannot be opened; the log then keeps
    // buffering. Does nothing without a log path.
    void beginWriting();
    void initLogger(const std::string& file);
    // Writes the session-end line, then waits for the writer to finish.
    void shutdownLogger();
    // Asks the writer to flush; returns before it has.
    void flush();

    // Whether a message of this severity would be kept (written or buffered).
    // Check it before composing an expensive text.
    bool isLogged(logging::ELogSeverity severity) const;

    void logMsg(logging::ELogSeverity severity, const std::string& text,
                logging::EIndentLevel indent = logging::eNoIndent);
    // The text as it is, at information level, when a file is open.
    void logInfo(const std::string& text);
    // Reports the exception caught around an exchange, with the request and
    // response headers. Throws std::bad_exception for an empty pointer.
    void logMsg(std::exception_ptr exception, MessageContextPtr context);
    void logRAWIO(logging::ERawIOMode mode, MessageContextPtr context);
    void logRequestData(MessagePtr request);
    void logResponseData(const Message& response, MessageContextPtr context);
    void logHeaderData(BaseHeaderPtr header, const std::string& prefix);

    static std::string messageBodyToString(BodyType bodyType);
    static std::string messageHeaderToString(HeaderType headerType);
    static std::string messageFooterToString(FooterType footerType);

    // A message as it appears in the file: UTC time stamp with microseconds,
    // severity tag, indentation, text without trailing line breaks.
    static std::string formatLine(const LogMessageData& message);
    static const char* severityTag(logging::ELogSeverity severity);

private:
    bool isLoggedLocked(logging::ELogSeverity severity) const;
    void logLocked(logging::ELogSeverity severity, const std::string& text, logging::EIndentLevel indent);
    void writeLocked(LogMessageData& message);
    void shutdownLocked();
    // The data line and the raw body dump shared by requests and responses.
    void logBodyData(const Message& message, const std::string& name, const char* rawTitle);

    bool m_loggingSuppressed;
    TLogList m_logBuffer;
    std::string m_txtFilePath;
    std::string m_logFilePath;
    mutable LogMutex m_mutex;
    logging::ELoggingMode m_loggingMode;
    TLoggerPtr m_pLogger;
    // The writer thread of this log alone, so that ending the session leaves
    // any other user of the logging library in the process alone.
    std::shared_ptr<spdlog::details::thread_pool> m_pThreadPool;
};

} // namespace kv
