// cool, wheel, ao, guide.
#include "Commands.h"
#include "Names.h"

#include <cmath>
#include <cstdio>
#include <thread>

namespace kvcam {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void pause(double seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!g_interrupted && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

namespace {

std::string degrees(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f °C", value);
    return text;
}

std::string percent(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f%%", value);
    return text;
}

// Follows the sensor temperature to the set-point until it stays there.
void followCooling(Context& context, float setpoint)
{
    Report& out = context.report;
    const double tolerance = context.args.number("--tolerance", 0.5, 0.01, 50.0);
    const double settle = context.args.number("--settle", 3.0, 0.0, 3600.0);
    const double timeout = context.args.number("--timeout", 900.0, 1.0, 86400.0);
    const double stall = context.args.number("--stall", 30.0, 1.0, 3600.0);
    const double interval = 0.5;

    Progress progress(out.json());
    const auto start = std::chrono::steady_clock::now();
    kv::ICamera::Status status = context.session.status();
    const float first = status.sensorTemperature;
    double best = std::fabs(first - setpoint);
    auto lastProgress = start;
    std::chrono::steady_clock::time_point inBandSince{};
    bool settled = false;

    for (;;) {
        const float t = status.sensorTemperature;
        const double distance = std::fabs(t - setpoint);
        const auto now = std::chrono::steady_clock::now();
        if (distance <= tolerance) {
            if (inBandSince == std::chrono::steady_clock::time_point{})
                inBandSince = now;
            if (std::chrono::duration<double>(now - inBandSince).count() >= settle) {
                settled = true;
                break;
            }
        } else {
            inBandSince = {};
        }
        if (distance < best - 0.05) {
            best = distance;
            lastProgress = now;
        }
        const double span = std::fabs(first - setpoint);
        const double fraction = span > tolerance ? 1.0 - (distance - tolerance) / (span - tolerance) : 1.0;
        progress.update("Cooling to " + degrees(setpoint) + "  " + Progress::bar(fraction) + "  sensor " + degrees(t) +
                        ", power " + percent(status.coolerPower) + ", heat sink " + degrees(status.heatSinkTemperature) +
                        "  " + formatDuration(secondsSince(start)));
        if (g_interrupted) {
            progress.done();
            throw Failure("Interrupted at " + degrees(t) + "; the cooler stays on at " + degrees(setpoint));
        }
        if (secondsSince(start) >= timeout) {
            progress.done();
            throw Failure("The sensor is at " + degrees(t) + ", not settled at " + degrees(setpoint) + " after " +
                          formatDuration(timeout));
        }
        if (std::chrono::duration<double>(now - lastProgress).count() >= stall) {
            progress.done();
            throw Failure("The sensor holds at " + degrees(t) + ", " + degrees(distance) + " from the set-point, at " +
                          percent(status.coolerPower) + " power: the cooler cannot reach " + degrees(setpoint));
        }
        pause(interval);
        status = context.session.status();
    }
    const double seconds = secondsSince(start);
    progress.done("Settled at " + degrees(status.sensorTemperature) + " after " + formatDuration(seconds));
    out.field("Settled", "settled", settled);
    out.field("Sensor temperature", "sensorTemperature", status.sensorTemperature, "°C");
    out.field("Cooler power", "coolerPower", status.coolerPower, "%");
    out.field("Heat-sink temperature", "heatSinkTemperature", status.heatSinkTemperature, "°C");
    out.show("Time", formatDuration(seconds));
    out.set("seconds", seconds);
}

} // namespace

void runCool(Context& context)
{
    Report& out = context.report;
    const std::string& what = context.args.positional.at(0);
    kv::ICameraPtr camera = context.session.camera();
    kv::ITECPtr tec = camera->getTEC();
    if (!tec)
        throw Failure("Camera " + Session::serialText(camera) + " has no cooler");

    if (lower(what) == "off") {
        Session::await(tec->setState(false, tec->getSetpoint()), "Switching the cooler off");
        out.show("Cooler", "off");
        out.set("enabled", false);
        if (!out.json())
            out.line("The cooler is off; the sensor warms to ambient.");
        return;
    }
    const double setpoint = parseNumber(what, "SETPOINT", -100.0, 50.0);
    // The camera refuses a set-point outside the sensor's range; say so in its terms.
    if (kv::ISensorPtr sensor = camera->getSensor(0)) {
        const kv::ISensor::Info info = sensor->getInfo();
        if (info.minCoolerSetpoint < info.maxCoolerSetpoint &&
            (setpoint < info.minCoolerSetpoint || setpoint > info.maxCoolerSetpoint))
            throw Failure("The set-point " + degrees(setpoint) + " is outside this sensor's range, " +
                          std::to_string(info.minCoolerSetpoint) + " to " + std::to_string(info.maxCoolerSetpoint) + " °C");
    }
    Session::await(tec->setState(true, static_cast<float>(setpoint)), "Setting the cooler");
    out.show("Cooler", "on");
    out.set("enabled", true);
    out.field("Set-point", "setpoint", static_cast<float>(setpoint), "°C");
    if (context.args.has("--no-wait"))
        return;
    followCooling(context, static_cast<float>(setpoint));
}

namespace {

kv::IFWPtr wheelOf(kv::ICameraPtr camera)
{
    kv::IFWPtr wheel = camera->getFW();
    if (!wheel || wheel->getSlots() == 0)
        throw Failure("Camera " + Session::serialText(camera) + " has no filter wheel");
    return wheel;
}

void reportWheel(Report& out, kv::IFWPtr wheel)
{
    auto* extended = dynamic_cast<kv::IFWExtended*>(wheel);
    out.field("Model", "model", extended ? extended->getModelName(0) : std::to_string(wheel->getModel()));
    out.set("modelId", static_cast<unsigned>(wheel->getModel()));
    out.field("Positions", "slots", wheel->getSlots());
    out.field("Position", "position", wheel->getPosition() + 1);
    out.field("Status", "status", wheelStatusName(wheel->getStatus()));
    if (!extended)
        return;
    Json children = Json::array();
    // Entry 0 is the wheel itself; the others stand behind it, by address.
    for (uint32_t i = 1; i < extended->getChildCount(); ++i) {
        if (extended->getChildModel(i) == kv::IFW::UnknownFWModel)
            continue;
        Json& child = children.push(Json::object());
        child["address"] = i;
        child["model"] = extended->getModelName(i);
        child["slots"] = extended->getChildSlots(i);
        out.show("Behind it, address " + std::to_string(i),
                 std::string(extended->getModelName(i)) + " (" + std::to_string(extended->getChildSlots(i)) + " positions)");
    }
    out.set("children", children);
}

} // namespace

void runWheel(Context& context)
{
    Report& out = context.report;
    kv::ICameraPtr camera = context.session.camera();
    kv::IFWPtr wheel = wheelOf(camera);
    if (context.args.positional.empty()) {
        Session::await(wheel->queryStatus(), "Reading the filter wheel");
        reportWheel(out, wheel);
        return;
    }
    const long slots = static_cast<long>(wheel->getSlots());
    const long target = parseInteger(context.args.positional[0], "POSITION", 1, 1000);
    if (target > slots)
        throw Failure("Position " + std::to_string(target) + " is outside 1 to " + std::to_string(slots) +
                      " of this wheel");
    const double timeout = context.args.number("--timeout", 60.0, 1.0, 3600.0);

    Session::await(wheel->setPosition(static_cast<int>(target - 1)), "Moving the filter wheel");
    Progress progress(out.json());
    const auto start = std::chrono::steady_clock::now();
    bool sawBusy = false;
    for (;;) {
        Session::await(wheel->queryStatus(), "Reading the filter wheel");
        const kv::IFW::Status status = wheel->getStatus();
        if (status == kv::IFW::FWError) {
            progress.done();
            throw Failure("The filter wheel reports an error while moving to position " + std::to_string(target));
        }
        sawBusy = sawBusy || status == kv::IFW::FWBusy;
        // The library completes a move on an idle report after a busy one, or
        // after a second when the move was too short to be seen busy.
        const bool arrived = status == kv::IFW::FWIdle && wheel->getPosition() == target - 1;
        if (arrived && (sawBusy || secondsSince(start) > 1.2))
            break;
        progress.update("Moving the wheel to position " + std::to_string(target) + ": " + wheelStatusName(status) + "  " +
                        formatDuration(secondsSince(start)));
        if (g_interrupted) {
            progress.done();
            throw Failure("Interrupted while the wheel moves to position " + std::to_string(target));
        }
        if (secondsSince(start) >= timeout) {
            progress.done();
            throw Failure("The filter wheel did not reach position " + std::to_string(target) + " within " +
                          formatDuration(timeout) + " (it reports " + wheelStatusName(status) + " at position " +
                          std::to_string(wheel->getPosition() + 1) + ")");
        }
        pause(0.1);
    }
    progress.done("The wheel is at position " + std::to_string(target) + " after " + formatDuration(secondsSince(start)));
    reportWheel(out, wheel);
}

void runAo(Context& context)
{
    Report& out = context.report;
    kv::ICameraPtr camera = context.session.camera();
    kv::IAOPtr ao = camera->getAO();
    // Without a unit attached the camera names no model it knows.
    if (!ao || ao->getModel() == kv::IAO::InvalidAOModel || ao->getModel() == kv::IAO::UnknownAOModel)
        throw Failure("Camera " + Session::serialText(camera) + " has no adaptive-optics unit (it reports the model " +
                      (ao ? aoModelName(ao->getModel()) : std::string("none")) + ")");
    size_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    ao->getLimits(minX, maxX, minY, maxY);
    const auto& args = context.args.positional;
    if (!args.empty()) {
        long x = 0, y = 0;
        if (args.size() == 1 && lower(args[0]) == "center") {
            x = static_cast<long>((minX + maxX + 1) / 2);
            y = static_cast<long>((minY + maxY + 1) / 2);
        } else if (args.size() == 2) {
            x = parseInteger(args[0], "X", static_cast<long>(minX), static_cast<long>(maxX));
            y = parseInteger(args[1], "Y", static_cast<long>(minY), static_cast<long>(maxY));
        } else {
            throw UsageError("ao takes X and Y, or 'center'");
        }
        Session::await(ao->setPosition(static_cast<int16_t>(x), static_cast<int16_t>(y)), "Moving the adaptive optics");
        const double timeout = context.args.number("--timeout", 10.0, 0.1, 600.0);
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            Session::await(ao->queryStatus(), "Reading the adaptive optics");
            if (ao->getStatus() == kv::IAO::Idle)
                break;
            if (ao->getStatus() == kv::IAO::Error)
                throw Failure("The adaptive-optics unit reports an error after the move");
            if (g_interrupted || secondsSince(start) >= timeout)
                throw Failure("The adaptive-optics unit is still " + aoStatusName(ao->getStatus()) + " after " +
                              formatDuration(secondsSince(start)));
            pause(0.02);
        }
    } else {
        Session::await(ao->queryStatus(), "Reading the adaptive optics");
    }
    int16_t x = 0, y = 0;
    ao->getPosition(x, y);
    out.field("Model", "model", aoModelName(ao->getModel()));
    out.field("Status", "status", aoStatusName(ao->getStatus()));
    out.field("Position X", "x", static_cast<int>(x));
    out.field("Position Y", "y", static_cast<int>(y));
    out.show("Limits",
             std::to_string(minX) + " to " + std::to_string(maxX) + " (X), " + std::to_string(minY) + " to " +
                  std::to_string(maxY) + " (Y)");
    Json limits = Json::object();
    limits["minX"] = minX;
    limits["maxX"] = maxX;
    limits["minY"] = minY;
    limits["maxY"] = maxY;
    out.set("limits", limits);
}

void runGuide(Context& context)
{
    Report& out = context.report;
    const auto direction = parseDirection(context.args.positional.at(0));
    if (!direction)
        throw UsageError("DIRECTION is north, south, east or west, not '" + context.args.positional[0] + "'");
    const long duration = parseInteger(context.args.positional.at(1), "MILLISECONDS", 1, 60000);
    kv::ICameraPtr camera = context.session.camera();
    Session::await(camera->pulseGuide(*direction, static_cast<uint32_t>(duration), false), "The guide pulse");
    out.field("Direction", "direction", directionName(*direction));
    out.field("Duration", "milliseconds", duration, "ms");
    if (context.args.has("--no-wait"))
        return;
    Progress progress(out.json());
    const auto start = std::chrono::steady_clock::now();
    const double limit = static_cast<double>(duration) / 1000.0 + 5.0;
    for (;;) {
        const kv::ICamera::Status status = context.session.status();
        const double elapsed = secondsSince(start);
        if (status.pulseGuideStatus == 0)
            break;
        if (g_interrupted || elapsed >= limit) {
            progress.done();
            throw Failure("The guide port still reports a pulse after " + formatDuration(elapsed));
        }
        progress.update("Guiding " + directionName(*direction) + "  " +
                        Progress::bar(elapsed * 1000.0 / static_cast<double>(duration)) + "  " + formatDuration(elapsed));
        pause(0.02);
    }
    progress.done();
    const double seconds = secondsSince(start);
    out.show("Finished after", formatDuration(seconds));
    out.set("seconds", seconds);
}

} // namespace kvcam
