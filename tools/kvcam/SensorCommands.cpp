// sensor, setting, subframe, expose, abort.
#include "Commands.h"
#include "Names.h"

#include <cstdio>

namespace kvcam {

namespace {

std::vector<std::string> readoutModes(kv::ISensorPtr sensor)
{
    std::string text(4096, '\0');
    size_t length = text.size();
    sensor->getReadoutModes(&text[0], length);
    text.resize(length < text.size() ? length : text.size());
    std::vector<std::string> modes;
    size_t begin = 0;
    while (begin <= text.size() && !text.empty()) {
        const auto end = text.find('\n', begin);
        modes.push_back(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
        if (end == std::string::npos)
            break;
        begin = end + 1;
    }
    return modes;
}

std::vector<int> gains(kv::ISensorPtr sensor, kv::ISensor::AdjustableGainMode mode)
{
    uint32_t count = sensor->getAdjustableGainCount(mode);
    std::vector<int> values(count);
    if (count)
        sensor->getAdjustableGains(mode, values.data(), count);
    values.resize(count < values.size() ? count : values.size());
    return values;
}

std::string join(const std::vector<int>& values)
{
    std::string text;
    for (size_t i = 0; i < values.size(); ++i)
        text += (i ? ", " : "") + std::to_string(values[i]);
    return text;
}

kv::ISensor::Status sensorState(const kv::ICamera::Status& status, long sensor)
{
    return sensor == 0 ? status.mainSensorState : status.extSensorState;
}

Json subframeJson(const kv::TSubframe& s)
{
    Json j = Json::object();
    j["left"] = s.left;
    j["top"] = s.top;
    j["width"] = s.width;
    j["height"] = s.height;
    j["binX"] = s.binX;
    j["binY"] = s.binY;
    return j;
}

void reportSubframe(Report& out, const kv::TSubframe& s)
{
    out.show("Subframe",
              std::to_string(s.width) + " x " + std::to_string(s.height) + " at (" + std::to_string(s.left) + ", " +
                  std::to_string(s.top) + "), binned " + std::to_string(s.binX) + " x " + std::to_string(s.binY));
    out.set("subframe", subframeJson(s));
}

} // namespace

void runSensor(Context& context)
{
    Report& out = context.report;
    kv::ISensorPtr sensor = context.session.sensor();
    const kv::ISensor::Info info = sensor->getInfo();
    out.field("Sensor", "id", sensor->getSensorId());
    out.field("Model", "model", sensorModelName(info.model));
    out.show("Pixels", std::to_string(info.pixelsX) + " x " + std::to_string(info.pixelsY));
    out.set("pixelsX", info.pixelsX);
    out.set("pixelsY", info.pixelsY);
    out.show("Pixel size", formatNumber(info.pixelSizeX, true) + " x " + formatNumber(info.pixelSizeY, true) + " µm");
    out.set("pixelSizeX", info.pixelSizeX);
    out.set("pixelSizeY", info.pixelSizeY);
    out.field("Readout channels", "channels", info.numberOfChannelsAvailable);
    out.field("Filter", "filterType", filterTypeName(info.filterType));
    out.field("Frame", "frameType", frameTypeName(info.frameType));
    out.show("Cooler set-points",
              std::to_string(info.minCoolerSetpoint) + " to " + std::to_string(info.maxCoolerSetpoint) + " °C");
    out.set("minCoolerSetpoint", info.minCoolerSetpoint);
    out.set("maxCoolerSetpoint", info.maxCoolerSetpoint);
    out.show("Largest binning", std::to_string(info.maxBinX) + " x " + std::to_string(info.maxBinY));
    out.set("maxBinX", info.maxBinX);
    out.set("maxBinY", info.maxBinY);
    out.field("Shortest exposure", "minExposureDuration", info.minExposureDuration, "s");
    out.field("Exposure precision", "exposurePrecision", info.exposurePrecision, "s");
    out.field("RBI preflash", "hasRBIPreflash", info.hasRBIPreflash);

    const auto modes = readoutModes(sensor);
    Json modeList = Json::array();
    out.line("Readout modes:");
    for (size_t i = 0; i < modes.size(); ++i) {
        out.line("  " + std::to_string(i) + "  " + modes[i]);
        modeList.push(modes[i]);
    }
    out.set("readoutModes", modeList);

    Json gainJson = Json::object();
    const struct {
        kv::ISensor::AdjustableGainMode mode;
        const char* label;
        const char* key;
    } gainModes[] = {{kv::ISensor::eAdjustableADCGain0, "ADC gain 0", "adcGain0"},
                     {kv::ISensor::eAdjustableADCGain1, "ADC gain 1", "adcGain1"}};
    for (const auto& g : gainModes) {
        const auto values = gains(sensor, g.mode);
        if (values.empty()) {
            out.show(g.label, "not adjustable");
            continue;
        }
        out.show(g.label,
                  join(values) + " (default " + std::to_string(sensor->getDefaultAdjustableGain(g.mode)) + ")");
        Json& entry = gainJson[g.key];
        entry["default"] = sensor->getDefaultAdjustableGain(g.mode);
        Json list = Json::array();
        for (int v : values)
            list.push(v);
        entry["values"] = list;
    }
    out.set("gains", gainJson);
}

void runSetting(Context& context)
{
    Report& out = context.report;
    kv::ISensorPtr sensor = context.session.sensor();
    const auto& args = context.args.positional;
    if (args.empty()) {
        size_t count = 0;
        const SettingName* names = settingNames(count);
        for (size_t i = 0; i < count; ++i) {
            std::string error;
            if (Session::tryAwait(sensor->querySetting(names[i].setting), error))
                out.field(names[i].name, names[i].name, sensor->getSetting(names[i].setting));
            else
                out.field(names[i].name, names[i].name, Json(), "");
        }
        return;
    }
    const auto setting = parseSetting(args[0]);
    if (!setting)
        throw UsageError("Unknown setting '" + args[0] + "' (kvcam setting --help lists them)");
    size_t count = 0;
    const std::string name = settingNames(count)[*setting].name;
    if (args.size() == 2) {
        const long value = parseInteger(args[1], "VALUE", -2147483647L - 1, 2147483647L);
        Session::await(sensor->setSetting(*setting, static_cast<int>(value)), "Setting " + name);
    } else {
        Session::await(sensor->querySetting(*setting), "Reading " + name);
    }
    out.field(name, name, sensor->getSetting(*setting));
}

void runSubframe(Context& context)
{
    Report& out = context.report;
    kv::ISensorPtr sensor = context.session.sensor();
    const auto& args = context.args.positional;
    if (!args.empty()) {
        const kv::ISensor::Info info = sensor->getInfo();
        kv::TSubframe s;
        if (context.args.has("--bin")) {
            const std::string bin = context.args.value("--bin");
            const auto x = bin.find('x');
            s.binX = static_cast<int32_t>(parseInteger(bin.substr(0, x), "--bin", 1, 255));
            s.binY = x == std::string::npos ? s.binX
                                            : static_cast<int32_t>(parseInteger(bin.substr(x + 1), "--bin", 1, 255));
        }
        // The window counts binned pixels.
        const long maxX = (info.pixelsX ? static_cast<long>(info.pixelsX) : 65535) / s.binX;
        const long maxY = (info.pixelsY ? static_cast<long>(info.pixelsY) : 65535) / s.binY;
        if (maxX < 1 || maxY < 1)
            throw UsageError("--bin is larger than the sensor");
        if (args.size() == 1 && lower(args[0]) == "full") {
            s.width = static_cast<int32_t>(maxX);
            s.height = static_cast<int32_t>(maxY);
        } else if (args.size() == 4) {
            s.left = static_cast<int32_t>(parseInteger(args[0], "LEFT", 0, maxX - 1));
            s.top = static_cast<int32_t>(parseInteger(args[1], "TOP", 0, maxY - 1));
            s.width = static_cast<int32_t>(parseInteger(args[2], "WIDTH", 1, maxX - s.left));
            s.height = static_cast<int32_t>(parseInteger(args[3], "HEIGHT", 1, maxY - s.top));
        } else {
            throw UsageError("subframe takes LEFT TOP WIDTH HEIGHT, or 'full'");
        }
        Session::await(sensor->setSubframe(s), "Setting the subframe");
        out.set("requested", subframeJson(s));
    }
    Session::await(sensor->querySubframe(), "Reading the subframe");
    reportSubframe(out, sensor->getSubframe());
}

void runExpose(Context& context)
{
    Report& out = context.report;
    kv::ISensorPtr sensor = context.session.sensor();
    const long sensorId = context.session.selection().sensor;
    const double duration = parseNumber(context.args.positional.at(0), "SECONDS", 0.0, 86400.0);

    kv::TExposureOptions options;
    options.duration = static_cast<float>(duration);
    options.isLightFrame = !context.args.has("--dark");
    options.useRBIPreflash = context.args.has("--rbi");
    options.useExtTrigger = context.args.has("--trigger");
    const auto modes = readoutModes(sensor);
    if (context.args.has("--mode")) {
        const std::string mode = context.args.value("--mode");
        bool named = false;
        for (size_t i = 0; i < modes.size(); ++i) {
            if (lower(modes[i]) == lower(mode)) {
                options.readoutMode = static_cast<uint32_t>(i);
                named = true;
            }
        }
        if (!named)
            options.readoutMode = static_cast<uint32_t>(
                parseInteger(mode, "--mode", 0, modes.empty() ? 0 : static_cast<long>(modes.size()) - 1));
    }
    const double readout = context.args.number("--timeout", 120.0, 1.0, 86400.0);

    Session::await(sensor->startExposure(options), "Starting the exposure");
    const auto start = std::chrono::steady_clock::now();
    const std::string modeName = options.readoutMode < modes.size() ? modes[options.readoutMode] : "";
    out.field("Sensor", "sensor", sensorId);
    out.field("Duration", "duration", duration, "s");
    out.field("Readout mode", "readoutMode", options.readoutMode);
    out.set("readoutModeName", modeName);
    out.field("Frame", "frame", options.isLightFrame ? "light" : "dark");
    if (context.args.has("--no-wait"))
        return;

    Progress progress(out.json());
    bool active = false;
    kv::ISensor::Status state = kv::ISensor::InvalidSensorState;
    for (;;) {
        state = sensorState(context.session.status(), sensorId);
        const double elapsed = secondsSince(start);
        if (state == kv::ISensor::ReadyToDownload)
            break;
        if (state != kv::ISensor::Idle)
            active = true;
        else if (active || elapsed > 2.0) {
            progress.done();
            throw Failure("The exposure ended without an image: the sensor is Idle after " + formatDuration(elapsed));
        }
        if (g_interrupted) {
            progress.done();
            std::string error;
            const bool aborted = Session::tryAwait(sensor->abortExposure(), error);
            throw Failure(aborted ? "Interrupted: the exposure was aborted"
                                  : "Interrupted; aborting the exposure failed: " + error);
        }
        if (elapsed >= duration + readout) {
            progress.done();
            throw Failure("The sensor is still " + sensorStateName(state) + " " + formatDuration(elapsed) +
                          " after the start of a " + formatDuration(duration) + " exposure");
        }
        const double fraction = duration > 0.0 ? elapsed / duration : 1.0;
        progress.update("Exposure " + formatDuration(duration) + "  " + Progress::bar(fraction) + "  " +
                        sensorStateName(state) + "  " + formatDuration(elapsed));
        pause(0.1);
    }
    const double seconds = secondsSince(start);
    progress.done("ReadyToDownload after " + formatDuration(seconds));
    out.field("State", "state", sensorStateName(state));
    out.show("Time", formatDuration(seconds));
    out.set("seconds", seconds);
}

void runAbort(Context& context)
{
    Report& out = context.report;
    kv::ISensorPtr sensor = context.session.sensor();
    Session::await(sensor->abortExposure(), "Aborting the exposure");
    const kv::ICamera::Status status = context.session.status();
    out.field("Sensor", "sensor", context.session.selection().sensor);
    out.field("State", "state", sensorStateName(sensorState(status, context.session.selection().sensor)));
}

} // namespace kvcam
