#pragma once

#include <chrono>
#include <cstddef>
#include <string>

// Severities, modes and the other small vocabularies of the log.
namespace logging {

// Smaller is more severe. A message is kept when the mode's value is at least
// its severity's value.
enum ELogSeverity : int {
    eFATAL = 0,
    eERRORL1 = 1,
    eERRORL2 = 2,
    eWARN = 3,
    eINFO = 4,
    eDEBUG = 5,
    eDEBUGV = 6,
    eDEBUGV_EX = 7,
    eTRACE = 8,
    eRAWIO = 9,
};

// Compared directly with severities; eRawIOMode keeps raw dumps only.
enum ELoggingMode : int {
    eDisabled = 0,
    eRegMode = 4,
    eDebugMode = 5,
    eVerboseMode = 6,
    eVerboseModeEx = 7,
    eRawIOMode = 8,
};

enum EIndentLevel : int {
    eNoIndent = 0,
    eIndent1 = 1,
    eIndent2 = 2,
};

enum ELogStatus : int {
    eQueued = 0,
    eWritten = 1,
    eFailed = 2,
};

enum ERawIOMode : int {
    rawTX = 0,
    rawRX = 1,
};

} // namespace logging

namespace kv {

// One message of the log, kept with the time it was logged so that messages
// buffered before the log starts are written with their own time stamps.
class LogMessageData {
public:
    using timepoint_t = std::chrono::system_clock::time_point;

    // The text gets a line break appended; status and thread id are filled in
    // by the logger.
    LogMessageData(logging::ELogSeverity severity, const std::string& text, logging::EIndentLevel indent);

    size_t getID() const { return m_ID; }
    void setID(size_t id) { m_ID = id; }
    timepoint_t getTimeStamp() const { return m_timeStamp; }
    void setTimeStamp(timepoint_t timeStamp) { m_timeStamp = timeStamp; }
    logging::ELogStatus getStatus() const { return m_status; }
    void setStatus(logging::ELogStatus status) { m_status = status; }
    logging::ELogSeverity getSeverity() const { return m_severity; }
    void setSeverity(logging::ELogSeverity severity) { m_severity = severity; }
    logging::EIndentLevel getIndentLevel() const { return m_indentLevel; }
    void setIndentLevel(logging::EIndentLevel indent) { m_indentLevel = indent; }
    const std::string& getMessage() const { return m_message; }
    void setMessage(const std::string& message) { m_message = message; }
    int getThreadID() const { return m_threadID; }
    void setThreadID(int threadID) { m_threadID = threadID; }

private:
    size_t m_ID = 0;
    timepoint_t m_timeStamp;
    logging::ELogStatus m_status = logging::eFailed;
    logging::ELogSeverity m_severity;
    logging::EIndentLevel m_indentLevel;
    std::string m_message;
    int m_threadID = 0;
};

} // namespace kv
