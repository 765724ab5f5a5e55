// kvcam: discovers cameras of this family and controls one of them, through
// the library's public interface only.
#include "Commands.h"
#include "Names.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>

namespace kvcam {

namespace {

const std::vector<OptionInfo> c_globalOptions = {
    {"--address", "IP[:PORT]", "look for the camera at this address only (port 6363 unless given)"},
    {"--all", nullptr, "look on USB and on every local network (the default)"},
    {"--camera", "N", "use camera N of the list, as `kvcam list` numbers them"},
    {"--serial", "SERIAL", "use the camera with this serial (text such as BC455M-000123-07, or its number)"},
    {"--sensor", "N", "the sensor the sensor commands work on (default 0)"},
    {"--json", nullptr, "print the result as one JSON object, for scripts"},
    {"--log", "LEVEL", "the library's log level, 0 (off) to 5 (every byte), instead of logging.conf's"},
    {"--help", nullptr, "print help; `kvcam COMMAND --help` for one command"},
};

const OptionInfo c_noWait = {"--no-wait", nullptr, "return once the camera has taken the request"};

} // namespace

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = {
        {"list", "", "list the cameras found",
         "Discovers the cameras and lists them with their connection, model, serial and firmware.\n"
         "Each one is initialised to read its serial. Exits with 1 when none answers.",
         {}, 0, 0, runList},
        {"info", "", "show the camera's identity",
         "Model, serial, firmware and protocol revisions, sensors and connection of the camera.", {}, 0, 0, runInfo},
        {"status", "", "show the camera's status",
         "Asks the camera for its status: sensor states, temperatures, cooler power, input voltage,\n"
         "guide port and shutter.",
         {}, 0, 0, runStatus},
        {"capabilities", "", "show what the camera supports", "The camera's capability table, as the library settled it.",
         {}, 0, 0, runCapabilities},
        {"network", "", "show the camera's network settings",
         "The camera's address and, on a camera with Wi-Fi, its Wi-Fi settings.",
         {{"--show-passphrase", nullptr, "print the Wi-Fi passphrase instead of hiding it"}}, 0, 0, runNetwork},
        {"cool", "SETPOINT|off", "set the cooler and follow the temperature until it settles",
         "Switches the cooler on at SETPOINT degrees Celsius and follows the sensor temperature with a\n"
         "live progress line until it stays within the tolerance for the settle time. `cool off`\n"
         "switches the cooler off. Fails when the temperature stops approaching the set-point.",
         {{"--tolerance", "DEGREES", "how close counts as there (default 0.5)"},
          {"--settle", "SECONDS", "how long it must stay there (default 3)"},
          {"--stall", "SECONDS", "fail when it has come no closer for this long (default 30)"},
          {"--timeout", "SECONDS", "give up after this long (default 900)"},
          c_noWait},
         1, 1, runCool},
        {"wheel", "[POSITION]", "show the filter wheel, or move it",
         "Without POSITION shows the wheel: model, positions, where it is, the wheels behind it.\n"
         "With POSITION (1 to the number of positions) moves it there and follows the move.",
         {{"--timeout", "SECONDS", "give up after this long (default 60)"}}, 0, 1, runWheel},
        {"ao", "[X Y | center]", "show the adaptive optics, or move them",
         "Without arguments shows the unit: model, status, position, limits. With X and Y (inside the\n"
         "limits) or `center` moves it and waits until it has settled.",
         {{"--timeout", "SECONDS", "give up after this long (default 10)"}}, 0, 2, runAo},
        {"guide", "DIRECTION MILLISECONDS", "send a guide pulse",
         "Sends a pulse north, south, east or west (n, s, e, w) on the guide port and waits until the\n"
         "camera reports it finished. MILLISECONDS is 1 to 60000.",
         {c_noWait}, 2, 2, runGuide},
        {"sensor", "", "show a sensor's information, readout modes and gains",
         "Geometry, pixel size, filter, cooler range, binning and exposure limits of the sensor\n"
         "(--sensor N, default 0), its readout modes by number and its adjustable gains.",
         {}, 0, 0, runSensor},
        {"setting", "[NAME [VALUE]]", "get or set a sensor setting",
         "Without NAME reads every setting; with NAME reads one; with NAME and VALUE sets it.\n"
         "NAME is one of UseOverscan, RBIPreflashDuration, RBIPreflashFlushCount, UseWindowHeater,\n"
         "FanSpeed, ToggleIRLEDs, UseOnChipBinning, UseExtTrigger, AutoFanMode, ShutterPolarity,\n"
         "EnableStatusLED, PartialExposureLength, UseFWAsShutter, AnalogGain0, AnalogGain1,\n"
         "ContinuousExposure (any case), or its number 0 to 15.",
         {}, 0, 2, runSetting},
        {"subframe", "[LEFT TOP WIDTH HEIGHT | full]", "show or set the subframe",
         "Without arguments shows the region the camera reads. With LEFT TOP WIDTH HEIGHT or `full`\n"
         "sets it, then shows what the camera took. The window counts binned pixels: 100 wide with\n"
         "--bin 2 covers 200 columns of the sensor.",
         {{"--bin", "X[xY]", "binning with the subframe (default 1)"}}, 0, 4, runSubframe},
        {"expose", "SECONDS", "start an exposure and follow it to ReadyToDownload",
         "Starts an exposure of SECONDS and follows the sensor state with a progress bar until the\n"
         "image is ready to download. Ctrl-C aborts the exposure.",
         {{"--mode", "N|NAME", "readout mode by number or name (kvcam sensor lists them; default 0)"},
          {"--dark", nullptr, "a dark frame (shutter closed)"},
          {"--rbi", nullptr, "use the RBI preflash"},
          {"--trigger", nullptr, "wait for the external trigger"},
          {"--timeout", "SECONDS", "time allowed for the readout after the exposure (default 120)"},
          c_noWait},
         1, 1, runExpose},
        {"abort", "", "abort the sensor's exposure",
         "Aborts the running exposure (an image already ready is collected first).", {}, 0, 0, runAbort},
    };
    return table;
}

namespace {

void printOptions(const std::vector<OptionInfo>& options)
{
    for (const auto& o : options) {
        const std::string left = std::string(o.name) + (o.value ? std::string(" ") + o.value : "");
        std::printf("  %-22s %s\n", left.c_str(), o.help);
    }
}

void printUsage()
{
    std::printf("Usage: kvcam [options] COMMAND [arguments]\n"
                "\n"
                "Finds the cameras of this family on USB and the local networks and controls one of them.\n"
                "\n"
                "Commands:\n");
    for (const auto& c : commands())
        std::printf("  %-14s %s\n", c.name, c.summary);
    std::printf("\nOptions:\n");
    printOptions(c_globalOptions);
    std::printf("\nWith several cameras answering, choose one with --camera, --serial or --address.\n"
                "Exit status: 0 done, 1 the camera or the library failed, 2 the command line is wrong,\n"
                "130 interrupted by Ctrl-C.\n");
}

void printCommandHelp(const Command& c)
{
    std::printf("Usage: kvcam [options] %s%s%s\n\n%s\n", c.name, *c.usage ? " " : "", c.usage, c.description);
    if (!c.options.empty()) {
        std::printf("\nOptions of %s:\n", c.name);
        printOptions(c.options);
    }
    std::printf("\nOptions of every command:\n");
    printOptions(c_globalOptions);
}

const Command* findCommand(const std::string& name)
{
    for (const auto& c : commands())
        if (name == c.name)
            return &c;
    return nullptr;
}

const OptionInfo* findOption(const std::vector<OptionInfo>& options, const std::string& name)
{
    for (const auto& o : options)
        if (name == o.name)
            return &o;
    return nullptr;
}

bool looksLikeNumber(const std::string& text)
{
    return text.size() > 1 && text[0] == '-' && (std::isdigit(static_cast<unsigned char>(text[1])) || text[1] == '.');
}

struct Parsed {
    const Command* command = nullptr;
    Arguments args;
    bool help = false;
};

Parsed parse(int argc, char** argv)
{
    Parsed parsed;
    std::vector<std::string> words(argv + 1, argv + argc);
    bool optionsEnd = false;
    for (size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        if (!optionsEnd && word == "--") {
            optionsEnd = true;
            continue;
        }
        if (optionsEnd || word.empty() || word[0] != '-' || looksLikeNumber(word)) {
            if (!parsed.command) {
                if (word == "help") {
                    parsed.help = true;
                    continue;
                }
                parsed.command = findCommand(word);
                if (!parsed.command)
                    throw UsageError("Unknown command '" + word + "' (kvcam --help lists them)");
            } else {
                parsed.args.positional.push_back(word);
            }
            continue;
        }
        if (word == "-h")
            word = "--help";
        std::string value;
        bool inlineValue = false;
        if (const auto equals = word.find('='); equals != std::string::npos) {
            value = word.substr(equals + 1);
            word = word.substr(0, equals);
            inlineValue = true;
        }
        const OptionInfo* option = findOption(c_globalOptions, word);
        if (!option && parsed.command)
            option = findOption(parsed.command->options, word);
        if (!option)
            throw UsageError("Unknown option " + word +
                             (parsed.command ? " for " + std::string(parsed.command->name) + " (kvcam " +
                                                   parsed.command->name + " --help lists them)"
                                             : std::string(" (kvcam --help lists them)")));
        if (option->value && !inlineValue) {
            if (i + 1 >= words.size())
                throw UsageError(word + " needs a value (" + option->value + ")");
            value = words[++i];
        } else if (!option->value && inlineValue) {
            throw UsageError(word + " takes no value");
        }
        if (word == "--help")
            parsed.help = true;
        parsed.args.set(word, value);
    }
    return parsed;
}

Selection selectionOf(const Arguments& args)
{
    Selection selection;
    if (args.has("--address") && args.has("--all"))
        throw UsageError("--address and --all both say where to look; give one");
    if (args.has("--address"))
        parseAddress(args.value("--address"), selection);
    selection.index = args.integer("--camera", -1, 0, 1000);
    selection.serial = args.value("--serial");
    selection.sensor = args.integer("--sensor", 0, 0, 1);
    selection.logLevel = args.integer("--log", -1, 0, 5);
    return selection;
}

void onInterrupt(int)
{
    g_interrupted = true;
}

} // namespace

int run(int argc, char** argv)
{
    bool json = false;
    for (int i = 1; i < argc; ++i)
        json = json || std::strcmp(argv[i], "--json") == 0;
    try {
        Parsed parsed = parse(argc, argv);
        if (parsed.help || !parsed.command) {
            if (parsed.command)
                printCommandHelp(*parsed.command);
            else if (!parsed.args.positional.empty() || parsed.help)
                printUsage();
            else {
                printUsage();
                return 2;
            }
            return 0;
        }
        const Command& command = *parsed.command;
        const size_t count = parsed.args.positional.size();
        if (count < command.minArguments || count > command.maxArguments)
            throw UsageError(std::string(command.name) + " takes " + (*command.usage ? command.usage : "no arguments") +
                             " (kvcam " + command.name + " --help)");
        Selection selection = selectionOf(parsed.args);

        std::signal(SIGINT, onInterrupt);
        Report report(json);
        Session session(selection);
        Context context{session, parsed.args, report};
        command.run(context);
        report.finish();
        return 0;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "kvcam: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        // Failures, and errors the library raised.
        if (json) {
            Json error = Json::object();
            error["error"] = e.what();
            std::printf("%s\n", error.dump().c_str());
            std::fflush(stdout);
        }
        std::fprintf(stderr, "kvcam: %s\n", e.what());
        // Ctrl-C ends the program as the shell expects.
        return g_interrupted ? 128 + SIGINT : 1;
    }
}

} // namespace kvcam

int main(int argc, char** argv)
{
    return kvcam::run(argc, argv);
}
