#include "daemon/CommandLine.h"

#include "firmware/ConfigFile.h"
#include "firmware/Presets.h"

#include <sstream>

namespace kvsim {
namespace CommandLine {

namespace {

double fraction(const std::string& text, const std::string& flag)
{
    try {
        size_t used = 0;
        const double value = std::stod(text, &used);
        if (used != text.size() || !(value >= 0.0 && value <= 1.0))
            throw std::invalid_argument(text);
        return value;
    } catch (const std::exception&) {
        throw UsageError(flag + " takes a fraction from 0 to 1, not '" + text + "'");
    }
}

unsigned long whole(const std::string& text, const std::string& flag, unsigned long max)
{
    try {
        size_t used = 0;
        if (text.empty() || text[0] == '-')
            throw std::invalid_argument(text);
        const unsigned long value = std::stoul(text, &used, 0);
        if (used != text.size() || value > max)
            throw std::invalid_argument(text);
        return value;
    } catch (const std::exception&) {
        throw UsageError(flag + " takes a number up to " + std::to_string(max) + ", not '" + text + "'");
    }
}

} // namespace

std::string usage()
{
    std::ostringstream out;
    out << "Usage: kvsim [options]\n"
           "\n"
           "A virtual camera on UDP: answers the camera protocol from its own address and\n"
           "hears the discovery broadcast. Stops cleanly on SIGINT or SIGTERM.\n"
           "\n"
           "Camera:\n"
           "  --model NAME         start from the preset of that camera model (default Brisa)\n"
           "  --config FILE        start from a YAML description of the camera instead\n"
           "  --serial SERIAL      serial text (BR694M-24011542, BC455M-000123-07) or number\n"
           "  --firmware N         FPGA firmware revision\n"
           "  --wifi-firmware N    Wi-Fi firmware revision\n"
           "  --sensors N          number of sensors, 1 or 2 (copies of the first)\n"
           "  --list-presets       print the camera presets and exit\n"
           "\n"
           "Network:\n"
           "  --address IP         the camera's own address (default 127.0.0.2; never the host's)\n"
           "  --port N             UDP port (default 6363)\n"
           "  --broadcast IP|none  where discovery broadcasts are heard\n"
           "                       (default 127.255.255.255 for a loopback address)\n"
           "\n"
           "Faults (also typed on the standard input while running):\n"
           "  --drop FRACTION      lose this fraction of answers            (drop 0.2)\n"
           "  --drop-images F      lose this fraction of image datagrams    (drop-images 0.1)\n"
           "  --delay MS           send every answer this much later        (delay 50)\n"
           "  --silent             answer nothing                           (silent on|off)\n"
           "  --status CODE[:N]    refuse the next N requests (default 1)   (status BadChecksum 3)\n"
           "                       with CODE, a name such as DeviceBusy or a number\n"
           "  --foreign N          send N foreign datagrams before answers  (foreign 1)\n"
           "  --truncated N        send N cut-short copies before answers   (truncated 1)\n"
           "  --seed N             seed of the loss decisions\n"
           "                                                                (clear: all faults off)\n"
           "Other commands on the standard input: trigger [SENSOR] (external trigger),\n"
           "state (print the camera's state), help.\n"
           "\n"
           "Logging:\n"
           "  --quiet              log only start, stop and errors, not every exchange\n"
           "  --no-stdin           do not read commands from the standard input\n"
           "  --help               print this text and exit\n"
           "\n"
           "Camera presets: ";
    const auto names = Presets::names();
    for (size_t i = 0; i < names.size(); ++i)
        out << (i ? ", " : "") << names[i];
    out << "\n";
    return out.str();
}

DaemonOptions parse(const std::vector<std::string>& arguments)
{
    DaemonOptions options;
    std::optional<std::string> model;
    std::optional<std::string> config;
    std::vector<std::pair<std::string, std::string>> changes; // applied after the base camera

    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& flag = arguments[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= arguments.size())
                throw UsageError(flag + " needs a value");
            return arguments[++i];
        };
        if (flag == "--help" || flag == "-h")
            options.help = true;
        else if (flag == "--list-presets")
            options.listPresets = true;
        else if (flag == "--quiet")
            options.quiet = true;
        else if (flag == "--no-stdin")
            options.readStdin = false;
        else if (flag == "--address")
            options.address = value();
        else if (flag == "--port")
            options.port = static_cast<uint16_t>(whole(value(), flag, 65535));
        else if (flag == "--broadcast") {
            const std::string address = value();
            options.broadcast = address == "none" ? std::string() : address;
        } else if (flag == "--model" || flag == "--preset")
            model = value();
        else if (flag == "--config")
            config = value();
        else if (flag == "--silent")
            changes.emplace_back(flag, "");
        else if (flag == "--serial" || flag == "--firmware" || flag == "--wifi-firmware" || flag == "--sensors" ||
                 flag == "--drop" || flag == "--drop-images" || flag == "--delay" || flag == "--status" ||
                 flag == "--foreign" || flag == "--truncated" || flag == "--seed")
            changes.emplace_back(flag, value());
        else
            throw UsageError("Unknown option " + flag + " (kvsim --help lists them)");
    }
    if (options.help || options.listPresets)
        return options;
    if (model && config)
        throw UsageError("--model and --config both name the camera; give one");

    try {
        options.camera = config ? ConfigFile::load(*config) : Presets::camera(model ? *model : "Brisa");
    } catch (const std::exception& e) {
        throw UsageError(e.what());
    }
    CameraConfig& c = options.camera;
    for (const auto& [flag, text] : changes) {
        try {
            if (flag == "--serial")
                c.serialNumber = ConfigFile::serialFromText(text);
            else if (flag == "--firmware")
                c.firmwareRevision = static_cast<uint16_t>(whole(text, flag, 65535));
            else if (flag == "--wifi-firmware")
                c.wifiFirmwareRevision = static_cast<uint16_t>(whole(text, flag, 65535));
            else if (flag == "--sensors") {
                const auto count = whole(text, flag, 2);
                const SensorConfig first = c.sensors.empty() ? SensorConfig() : c.sensors.front();
                c.sensors.assign(count, first);
            } else if (flag == "--drop")
                c.faults.dropAnswers = fraction(text, flag);
            else if (flag == "--drop-images")
                c.faults.dropImageDatagrams = fraction(text, flag);
            else if (flag == "--delay")
                c.faults.answerDelay = std::chrono::milliseconds(whole(text, flag, 60000));
            else if (flag == "--silent")
                c.faults.silent = true;
            else if (flag == "--status") {
                const auto colon = text.find(':');
                c.faults.status = ConfigFile::statusFromName(text.substr(0, colon));
                c.faults.statusCount =
                    colon == std::string::npos ? 1 : static_cast<uint32_t>(whole(text.substr(colon + 1), flag, 1u << 30));
            } else if (flag == "--foreign")
                c.faults.foreignBefore = static_cast<uint32_t>(whole(text, flag, 100));
            else if (flag == "--truncated")
                c.faults.truncatedBefore = static_cast<uint32_t>(whole(text, flag, 100));
            else if (flag == "--seed")
                c.faults.seed = whole(text, flag, ~0ul);
        } catch (const UsageError&) {
            throw;
        } catch (const std::exception& e) {
            throw UsageError(flag + ": " + e.what());
        }
    }
    return options;
}

} // namespace CommandLine
} // namespace kvsim

namespace kvsim {
namespace CommandLine {

std::string runCommand(const std::string& line, VirtualCamera& camera)
{
    std::istringstream in(line);
    std::string command, first, second;
    in >> command >> first >> second;
    Faults& faults = camera.faults();
    if (command.empty())
        return "";
    if (command == "help")
        return "commands: drop F, drop-images F, delay MS, silent on|off, status CODE [N], foreign N, "
               "truncated N, clear, trigger [SENSOR], state";
    if (command == "clear") {
        faults.clear();
        return "faults cleared";
    }
    if (command == "drop") {
        faults.dropAnswers(fraction(first, command));
        return "dropping " + first + " of the answers";
    }
    if (command == "drop-images") {
        faults.dropImageDatagrams(fraction(first, command));
        return "dropping " + first + " of the image datagrams";
    }
    if (command == "delay") {
        faults.delayAnswers(std::chrono::milliseconds(whole(first, command, 60000)));
        return "answers delayed by " + first + " ms";
    }
    if (command == "silent") {
        if (first != "on" && first != "off")
            throw UsageError("silent takes on or off");
        faults.setSilent(first == "on");
        return first == "on" ? "silent" : "answering again";
    }
    if (command == "status") {
        kv::EStatusCode status;
        try {
            status = ConfigFile::statusFromName(first);
        } catch (const std::exception& e) {
            throw UsageError(e.what());
        }
        const auto count = second.empty() ? 1u : static_cast<uint32_t>(whole(second, command, 1u << 30));
        faults.answerNextWith(status, count);
        return "the next " + std::to_string(count) + " requests are answered with " + kv::errors::getErrorString(status);
    }
    if (command == "foreign") {
        faults.sendForeignBefore(static_cast<uint32_t>(whole(first, command, 100)));
        return first + " foreign datagrams before each answer";
    }
    if (command == "truncated") {
        faults.sendTruncatedBefore(static_cast<uint32_t>(whole(first, command, 100)));
        return first + " truncated copies before each answer";
    }
    if (command == "trigger") {
        const size_t sensor = first.empty() ? 0 : whole(first, command, 1);
        camera.trigger(sensor);
        return "triggered sensor " + std::to_string(sensor);
    }
    if (command == "state") {
        const kv::ICamera::Status s = camera.status();
        const CoolerState cooler = camera.cooler();
        const FilterWheelState wheel = camera.filterWheel();
        std::ostringstream out;
        out << "sensor state " << s.mainSensorState << "/" << s.extSensorState << ", sensor " << s.sensorTemperature
            << " C, heat sink " << s.heatSinkTemperature << " C, cooler " << (cooler.enabled ? "on" : "off") << " at "
            << cooler.setpoint << " C, power " << s.coolerPower << " %, shutter " << s.shutterStatus
            << ", guide bits " << s.pulseGuideStatus;
        if (wheel.present)
            out << ", filter wheel at " << wheel.position << "/" << wheel.slots
                << (wheel.status == kv::IFW::FWBusy ? " (moving)" : "");
        out << ", " << camera.journal().size() << " requests received";
        return out.str();
    }
    throw UsageError("Unknown command '" + command + "' (help lists them)");
}

} // namespace CommandLine
} // namespace kvsim
