#pragma once

// A fresh home directory per test and helpers to read back what the logger
// wrote, with time stamps replaced by markers so that whole files can be
// compared.

#include "logging/Logger.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

namespace logtest {

// The line prefixes the logger writes for its own session.
inline const std::string c_started = "<T> [INFO] ------KVAPI Logging Session Started------\n";
inline const std::string c_ended = "<T> [INFO] -------KVAPI Logging Session Ended-------\n";
inline const std::string c_startedGlobal = "------KVAPI Logging Session Started via Global Log Settings------\n";

// HOME points to a new empty directory for the fixture's lifetime; the old
// value comes back afterwards. Nothing is ever written to the real home.
class TempHome {
public:
    TempHome()
    {
        if (const char* old = std::getenv("HOME")) {
            m_hadHome = true;
            m_oldHome = old;
        }
        char pattern[] = "/tmp/kvapi-home-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        m_path = pattern;
        ::setenv("HOME", m_path.c_str(), 1);
    }
    ~TempHome()
    {
        if (m_hadHome) {
            ::setenv("HOME", m_oldHome.c_str(), 1);
        } else {
            ::unsetenv("HOME");
        }
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return m_path; }
    // The default log directory under this home, with its trailing "/".
    std::string logDir() const { return m_path + "/.kvapi/logs/"; }

private:
    std::string m_path;
    std::string m_oldHome;
    bool m_hadHome = false;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Line stamps "2024-05-01 13:45:07.123456 (UTC+0000)" become "<T>", raw-dump
// stamps "2024-05-01 13:45:07.123456" become "<R>".
inline std::string stamped(const std::string& text)
{
    static const std::string shape = "dddd-dd-dd dd:dd:dd.dddddd";
    static const std::string zone = " (UTC+0000)";
    const auto stampAt = [&](size_t at) {
        if (text.size() - at < shape.size()) {
            return false;
        }
        for (size_t i = 0; i < shape.size(); ++i) {
            const char c = text[at + i];
            if (shape[i] == 'd' ? (c < '0' || c > '9') : c != shape[i]) {
                return false;
            }
        }
        return true;
    };
    std::string result;
    for (size_t at = 0; at < text.size();) {
        if (!stampAt(at)) {
            result += text[at++];
            continue;
        }
        at += shape.size();
        if (text.compare(at, zone.size(), zone) == 0) {
            result += "<T>";
            at += zone.size();
        } else {
            result += "<R>";
        }
    }
    return result;
}

// Today's UTC date as the file name has it.
inline std::string utcDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::gmtime_r(&now, &parts);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &parts);
    return text;
}

// A logger set to `level` the way the debug control does it: suppressed at 0,
// the file opened otherwise.
inline std::shared_ptr<kv::KVAPILogger> startLog(const std::string& directory, unsigned short level)
{
    auto logger = std::make_shared<kv::KVAPILogger>(directory);
    logger->setIsSuppressed(level == 0);
    logger->setLogMode(level);
    if (level != 0) {
        logger->beginWriting();
    }
    return logger;
}

// Ends the session (the writer has finished when this returns) and reads the file.
inline std::string finish(kv::KVAPILogger& logger)
{
    const std::string file = logger.getTxtFilePath();
    logger.shutdownLogger();
    return stamped(readFile(file));
}

// Waits until the file holds `text`, asking the writer to flush meanwhile.
inline bool waitForText(kv::KVAPILogger& logger, const std::string& file, const std::string& text,
                        std::chrono::milliseconds timeout = std::chrono::milliseconds(5000))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        logger.flush();
        if (readFile(file).find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

} // namespace logtest
