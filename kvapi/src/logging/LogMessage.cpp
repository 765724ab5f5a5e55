#include "logging/LogMessage.h"

namespace kv {

LogMessageData::LogMessageData(logging::ELogSeverity severity, const std::string& text, logging::EIndentLevel indent)
    : m_timeStamp(std::chrono::system_clock::now()), m_severity(severity), m_indentLevel(indent),
      m_message(text + "\n")
{
}

} // namespace kv
