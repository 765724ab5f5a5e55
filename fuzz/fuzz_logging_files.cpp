// Feeds arbitrary bytes to the two user files of the log and debug settings:
// as the global logging.conf (read at start and again for a camera directory
// that already exists) and as a camera's _DebugSettings.xml (save paths and
// image-save flags). Both must end in their fallback, never in a crash or an
// exception. The first byte picks the file; the rest is its content.
//
// Runs in a home directory of its own under /tmp, removed at exit.

#include "logging/DebugSettings.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string g_home;
const char* const c_serial = "KV0001";

void check(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

void removeHome()
{
    std::error_code error;
    fs::remove_all(g_home, error);
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool isMode(logging::ELoggingMode mode)
{
    switch (mode) {
    case logging::eDisabled:
    case logging::eRegMode:
    case logging::eDebugMode:
    case logging::eVerboseMode:
    case logging::eVerboseModeEx:
    case logging::eRawIOMode: return true;
    }
    return false;
}

void fuzzConf(const std::string& root, const std::string& text)
{
    const std::string conf = root + "logging.conf";
    writeFile(conf, text);
    kv::CDebugSettings settings(root);
    check(isMode(settings.getLogMode()));
    // The camera directory exists: its setup reads the file again.
    settings.createNewCamDirectory(c_serial);
    check(isMode(settings.getLogMode()));
    // Arbitrary bytes as message text too.
    settings.logMsg(logging::eFATAL, text, logging::eIndent2);
    settings.shutdownLogger();
    check(readFile(conf) == text);
}

void fuzzXml(const std::string& root, const std::string& text)
{
    writeFile(root + c_serial + "/" + c_serial + "_DebugSettings.xml", text);
    kv::CDebugSettings settings(root);
    for (const char* type : {"Locate_Image", "Cal_Image", "Track_Image", "Other"}) {
        (void)settings.getSavePath(type, c_serial);
        (void)settings.isThisImgSaved(c_serial, type);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/kvapi-fuzz-home-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::abort();
    }
    g_home = pattern;
    ::setenv("HOME", g_home.c_str(), 1);
    std::atexit(removeHome);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string root = kv::KVAPILogger::c_defaultLogPath();
    // A fresh tree each run, so that day logs do not pile up.
    std::error_code error;
    fs::remove_all(g_home + "/.kvapi", error);
    fs::create_directories(root + c_serial);

    if (data[0] & 1) {
        fuzzConf(root, text);
    } else {
        fuzzXml(root, text);
    }
    return 0;
}
