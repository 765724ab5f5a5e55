#pragma once

#include "Arguments.h"
#include "Report.h"
#include "Session.h"

#include <vector>

namespace kvcam {

// What a command works with.
struct Context {
    Session& session;
    const Arguments& args;
    Report& report;
};

struct Command {
    const char* name;
    const char* usage;       // arguments after the name
    const char* summary;     // one line for the list of commands
    const char* description; // the rest of `kvcam NAME --help`
    std::vector<OptionInfo> options;
    size_t minArguments;
    size_t maxArguments;
    void (*run)(Context&);
};

// Identity, status, capabilities, network: CameraCommands.cpp.
void runList(Context& context);
void runInfo(Context& context);
void runStatus(Context& context);
void runCapabilities(Context& context);
void runNetwork(Context& context);
// Cooler, filter wheel, adaptive optics, guide port: PeripheralCommands.cpp.
void runCool(Context& context);
void runWheel(Context& context);
void runAo(Context& context);
void runGuide(Context& context);
// Sensor: SensorCommands.cpp.
void runSensor(Context& context);
void runSetting(Context& context);
void runSubframe(Context& context);
void runExpose(Context& context);
void runAbort(Context& context);

const std::vector<Command>& commands();

// Seconds since a steady-clock time point.
double secondsSince(std::chrono::steady_clock::time_point start);
// Sleeps up to `seconds`, returning early when interrupted.
void pause(double seconds);

} // namespace kvcam
