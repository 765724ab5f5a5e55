#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "firmware/CameraConfig.h"
#include "firmware/VirtualCamera.h"

namespace kvsim {

// What kvsim is asked to do, from its command line.
struct DaemonOptions {
    bool help = false;
    bool listPresets = false;
    bool quiet = false;     // log only start, stop and errors
    bool readStdin = true;  // take fault commands from the standard input
    std::string address = "127.0.0.2";
    uint16_t port = 6363;
    std::optional<std::string> broadcast; // unset: the front end's default
    CameraConfig camera;
};

// A command line kvsim cannot run with; the text says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace CommandLine {

// The camera starts from --config (or the preset named by --model, Brisa by
// default); the other flags change it. UsageError for a bad command line.
DaemonOptions parse(const std::vector<std::string>& arguments);
std::string usage();

// Carries out a command typed while the daemon runs ("drop 0.2", "silent on",
// "state", ...) on the camera; returns what to print. UsageError when unknown.
std::string runCommand(const std::string& line, VirtualCamera& camera);

} // namespace CommandLine
} // namespace kvsim
