// Cost of logging on the caller's thread: a message the level drops, a message
// written (composed, time-stamped and queued for the writer), the line format
// alone, and a request dump the level drops. The log goes to a home directory
// of its own under /tmp.

#include "logging/Logger.h"
#include "protocol/Message.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

class BenchHome {
public:
    BenchHome()
    {
        char pattern[] = "/tmp/kvapi-bench-home-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        m_path = pattern;
        ::setenv("HOME", m_path.c_str(), 1);
    }
    ~BenchHome()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }

private:
    std::string m_path;
};

std::unique_ptr<kv::KVAPILogger> openLog(unsigned short level)
{
    auto logger = std::make_unique<kv::KVAPILogger>(kv::KVAPILogger::c_defaultLogPath());
    logger->setIsSuppressed(false);
    logger->setLogMode(level);
    logger->beginWriting();
    return logger;
}

void BM_LogDropped(benchmark::State& state)
{
    BenchHome home;
    auto logger = openLog(1);
    const std::string text = "Sending request: GetCameraStatus | Target Port: 6363 | Target IP: 127.0.0.2";
    for (auto _ : state) {
        logger->logMsg(logging::eDEBUG, text);
    }
}
BENCHMARK(BM_LogDropped);

void BM_LogWritten(benchmark::State& state)
{
    BenchHome home;
    auto logger = openLog(1);
    const std::string text = "Sending request: GetCameraStatus | Target Port: 6363 | Target IP: 127.0.0.2";
    for (auto _ : state) {
        logger->logMsg(logging::eINFO, text, logging::eIndent1);
    }
    // Includes waiting for the writer to finish the file.
    logger->shutdownLogger();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LogWritten);

void BM_FormatLine(benchmark::State& state)
{
    const kv::LogMessageData message(logging::eINFO, "Receiving response: GetCameraStatus", logging::eIndent1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::KVAPILogger::formatLine(message));
    }
}
BENCHMARK(BM_FormatLine);

void BM_RequestDumpDropped(benchmark::State& state)
{
    BenchHome home;
    auto logger = openLog(1);
    auto request = std::make_shared<kv::V1RequestMessage>(kv::SetCooler, kv::V1None);
    for (auto _ : state) {
        logger->logRequestData(request);
    }
}
BENCHMARK(BM_RequestDumpDropped);

} // namespace
