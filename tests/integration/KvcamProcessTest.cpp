// kvcam run as a program against kvsim run as a program, as a person at a
// terminal (or a script with --json) would.
#if defined(KVCAM_EXECUTABLE) && defined(KVSIM_EXECUTABLE)

#include "integration/ChildProcess.h"
#include "integration/JsonValue.h"
#include "integration/PrivateNetwork.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

using namespace std::chrono_literals;
using kvtest::ChildProcess;
using kvtest::JsonValue;

constexpr const char* c_address = "127.0.0.6";

// A BC455 whose cooler and wheel move fast enough for a test.
constexpr const char* c_camera = R"(preset: BrisaBC455
thermal: { ambient: 20, maxDelta: 35, coolingRate: 40, warmingRate: 40 }
filterWheel: { present: true, id: 56, slotMoveMs: 40, children: [48] }
)";

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class KvcamProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_home = ::testing::TempDir() + "kvcam-home-" + std::to_string(::getpid());
        ::mkdir(m_home.c_str(), 0700);
        m_config = m_home + "/camera.yml";
        std::ofstream(m_config) << c_camera;
    }
    void TearDown() override
    {
        if (m_kvsim) {
            m_kvsim->signal(SIGTERM);
            EXPECT_EQ(m_kvsim->wait(5000ms), 0) << m_kvsim->out() << m_kvsim->err();
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_home, ignored);
    }

    // The camera of the test's file, or of these kvsim options.
    void startCamera(std::vector<std::string> camera = {})
    {
        if (camera.empty())
            camera = {"--config", m_config};
        camera.insert(camera.end(), {"--address", c_address, "--no-stdin", "--quiet"});
        m_kvsim = std::make_unique<ChildProcess>(KVSIM_EXECUTABLE, camera);
        ASSERT_TRUE(m_kvsim->started());
        ASSERT_TRUE(m_kvsim->waitForOutput("answering on", 10000ms)) << m_kvsim->out() << m_kvsim->err();
    }

    Outcome kvcam(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout = 30000ms)
    {
        ChildProcess program(KVCAM_EXECUTABLE, arguments, m_home);
        Outcome run;
        run.status = program.wait(timeout);
        run.out = program.out();
        run.err = program.err();
        if (run.status < 0)
            ADD_FAILURE() << "kvcam did not end within the time-out: " << run.out << run.err;
        return run;
    }

    // kvcam at the virtual camera's address.
    Outcome at(std::vector<std::string> arguments, std::chrono::milliseconds timeout = 30000ms)
    {
        arguments.insert(arguments.begin(), {"--address", c_address});
        return kvcam(arguments, timeout);
    }

    static JsonValue json(const Outcome& run)
    {
        try {
            return JsonValue::parse(run.out);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "not JSON (" << e.what() << "): " << run.out;
            return JsonValue();
        }
    }

    std::string m_home;
    std::string m_config;
    std::unique_ptr<ChildProcess> m_kvsim;
};

TEST_F(KvcamProcess, ShowsTheCameraFoundItsIdentityStatusAndSensor)
{
    startCamera();
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> expected;
    } cases[] = {
        {{"list"}, {"1 camera found at 127.0.0.6:6363", "127.0.0.6:6363", "BrisaBC455", "BC455M-000123-07", " 30"}},
        {{"info"}, {"Model:", "BrisaBC455", "Serial:", "BC455M-000123-07", "Firmware revision:", "30", "IMX455"}},
        {{"status"}, {"Sensor 0:", "Idle", "Sensor temperature:", "Guide port:", "idle"}},
        {{"capabilities"}, {"Guide port:", "yes", "Metadata keys:"}},
        {{"network"}, {"Address:", "127.0.0.6:6363", "Wi-Fi:"}},
        {{"sensor"}, {"IMX455", "9576 x 6388", "0  High Gain", "1  Low Gain", "6300 (default 300)"}},
        {{"wheel"}, {"FW7-MX", "Positions:", "7", "address 1", "FW5-MX"}},
    };
    for (const auto& c : cases) {
        const Outcome run = at(c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments[0] << ": " << run.out << run.err;
        for (const auto& text : c.expected)
            EXPECT_NE(run.out.find(text), std::string::npos) << c.arguments[0] << " lacks '" << text << "': " << run.out;
    }
}

TEST_F(KvcamProcess, JsonOutputParsesAndCarriesTheValues)
{
    startCamera();
    const JsonValue list = json(at({"list", "--json"}));
    ASSERT_TRUE(list.has("cameras"));
    ASSERT_EQ(list["cameras"].items.size(), 1u);
    EXPECT_EQ(list["cameras"][0]["serial"].string, "BC455M-000123-07");
    EXPECT_EQ(list["cameras"][0]["address"].string, "127.0.0.6:6363");
    EXPECT_EQ(list["cameras"][0]["firmwareRevision"].number, 30);

    const JsonValue info = json(at({"info", "--json"}));
    EXPECT_EQ(info["model"].string, "BrisaBC455");
    EXPECT_EQ(info["sensors"].number, 1);

    const JsonValue status = json(at({"--json", "status"}));
    EXPECT_EQ(status["mainSensorState"].string, "Idle");
    EXPECT_EQ(status["sensorTemperature"].kind, JsonValue::Number);
    EXPECT_EQ(status["pulseGuideStatus"].number, 0);

    const JsonValue sensor = json(at({"sensor", "--json"}));
    EXPECT_EQ(sensor["model"].string, "IMX455");
    EXPECT_EQ(sensor["pixelsX"].number, 9576);
    ASSERT_EQ(sensor["readoutModes"].items.size(), 2u);
    EXPECT_EQ(sensor["readoutModes"][1].string, "Low Gain");
    EXPECT_EQ(sensor["gains"]["adcGain0"]["values"].items.size(), 28u);
    EXPECT_EQ(sensor["gains"]["adcGain0"]["default"].number, 300);

    const JsonValue capabilities = json(at({"capabilities", "--json"}));
    EXPECT_TRUE(capabilities["capabilities"]["eSupportsGuidePort"].boolean);
    EXPECT_TRUE(capabilities["capabilities"]["eSupportsSoftwareBinMode"].boolean);

    // The camera chosen by its serial, as text in any case or as the number.
    EXPECT_EQ(json(at({"--serial", "bc455m-000123-07", "info", "--json"}))["serialNumber"].number, 8065031);
    EXPECT_EQ(json(at({"--serial", "8065031", "info", "--json"}))["serial"].string, "BC455M-000123-07");

    // A failure is JSON too, on the standard output, with the exit status 1;
    // what the user typed arrives escaped.
    const Outcome missing = kvcam({"--address", "127.0.0.9", "info", "--json"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(json(missing)["error"].string, "No camera answered at 127.0.0.9:6363");
    const Outcome odd = at({"--serial", "A\"B\\C\t", "info", "--json"});
    EXPECT_EQ(odd.status, 1);
    EXPECT_EQ(json(odd)["error"].string, "No camera with serial A\"B\\C\t answered at 127.0.0.6:6363");
}

TEST_F(KvcamProcess, CoolsToTheSetPointAndFailsWhereTheCoolerCannotReach)
{
    startCamera();
    const Outcome cool = at({"cool", "5", "--settle", "0.3", "--json"});
    ASSERT_EQ(cool.status, 0) << cool.out << cool.err;
    const JsonValue done = json(cool);
    EXPECT_TRUE(done["settled"].boolean);
    EXPECT_NEAR(done["sensorTemperature"].number, 5.0, 0.5);
    EXPECT_EQ(done["setpoint"].number, 5);

    // A new process reads the cooler state back from the camera.
    const JsonValue status = json(at({"status", "--json"}));
    EXPECT_TRUE(status["coolerEnabled"].boolean);
    EXPECT_EQ(status["setpoint"].number, 5);
    EXPECT_NEAR(status["sensorTemperature"].number, 5.0, 0.5);

    // 35 degrees below ambient is as far as this cooler goes.
    const Outcome stalled = at({"cool", "-30", "--stall", "1"});
    EXPECT_EQ(stalled.status, 1) << stalled.out << stalled.err;
    EXPECT_NE(stalled.err.find("the cooler cannot reach -30.0 °C"), std::string::npos) << stalled.err;
    EXPECT_NE(stalled.err.find("holds at -15.0 °C"), std::string::npos) << stalled.err;

    const Outcome off = at({"cool", "off"});
    EXPECT_EQ(off.status, 0) << off.err;
    EXPECT_FALSE(json(at({"status", "--json"}))["coolerEnabled"].boolean);
}

TEST_F(KvcamProcess, MovesTheWheelAndSendsAGuidePulse)
{
    startCamera();
    const Outcome move = at({"wheel", "4", "--json"});
    ASSERT_EQ(move.status, 0) << move.out << move.err;
    const JsonValue wheel = json(move);
    EXPECT_EQ(wheel["position"].number, 4);
    EXPECT_EQ(wheel["status"].string, "FWIdle");
    EXPECT_EQ(wheel["slots"].number, 7);
    ASSERT_EQ(wheel["children"].items.size(), 1u);
    EXPECT_EQ(wheel["children"][0]["model"].string, "FW5-MX");

    const Outcome text = at({"wheel", "6"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.err.find("The wheel is at position 6"), std::string::npos) << text.err;

    const Outcome guide = at({"guide", "north", "150", "--json"});
    ASSERT_EQ(guide.status, 0) << guide.out << guide.err;
    const JsonValue pulse = json(guide);
    EXPECT_EQ(pulse["direction"].string, "north");
    EXPECT_GE(pulse["seconds"].number, 0.1);
}

TEST_F(KvcamProcess, MovesTheAdaptiveOpticsAndWaitsUntilTheyHaveSettled)
{
    startCamera({"--model", "BrisaBC461"});
    const Outcome show = at({"ao", "--json"});
    ASSERT_EQ(show.status, 0) << show.out << show.err;
    EXPECT_EQ(json(show)["model"].string, "TTX");
    EXPECT_EQ(json(show)["limits"]["maxX"].number, 4095);

    const Outcome move = at({"ao", "3000", "1000", "--json"});
    ASSERT_EQ(move.status, 0) << move.out << move.err;
    const JsonValue moved = json(move);
    EXPECT_EQ(moved["status"].string, "Idle");
    EXPECT_EQ(moved["x"].number, 3000);
    EXPECT_EQ(moved["y"].number, 1000);
    EXPECT_EQ(at({"ao", "center", "--json"}).status, 0);

    const Outcome outside = at({"ao", "5000", "0"});
    EXPECT_EQ(outside.status, 2);
    EXPECT_NE(outside.err.find("X takes a whole number from 0 to 4095, not 5000"), std::string::npos) << outside.err;
}

TEST_F(KvcamProcess, ExposureReachesReadyToDownloadAndAborts)
{
    startCamera();
    const Outcome expose = at({"expose", "0.3", "--mode", "low gain", "--json"});
    ASSERT_EQ(expose.status, 0) << expose.out << expose.err;
    const JsonValue exposure = json(expose);
    EXPECT_EQ(exposure["state"].string, "ReadyToDownload");
    EXPECT_EQ(exposure["readoutMode"].number, 1);
    EXPECT_GE(exposure["seconds"].number, 0.3);
    EXPECT_EQ(json(at({"status", "--json"}))["mainSensorState"].string, "ReadyToDownload");

    const Outcome started = at({"expose", "30", "--no-wait"});
    EXPECT_EQ(started.status, 0) << started.err;
    const Outcome abort = at({"abort", "--json"});
    EXPECT_EQ(abort.status, 0) << abort.out << abort.err;
    EXPECT_EQ(json(abort)["state"].string, "Idle");

    const Outcome text = at({"expose", "0.2"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.err.find("ReadyToDownload after"), std::string::npos) << text.err;
}

TEST_F(KvcamProcess, SetsAndReadsSensorSettingsAndTheSubframe)
{
    startCamera();
    const Outcome set = at({"setting", "FanSpeed", "2", "--json"});
    ASSERT_EQ(set.status, 0) << set.out << set.err;
    EXPECT_EQ(json(set)["FanSpeed"].number, 2);
    EXPECT_EQ(json(at({"setting", "fanspeed", "--json"}))["FanSpeed"].number, 2);

    const Outcome subframe = at({"subframe", "100", "200", "1024", "512", "--bin", "2", "--json"});
    ASSERT_EQ(subframe.status, 0) << subframe.out << subframe.err;
    const JsonValue region = json(subframe)["subframe"];
    EXPECT_EQ(region["left"].number, 100);
    EXPECT_EQ(region["top"].number, 200);
    EXPECT_EQ(region["binX"].number, 2);

    // The window counts binned pixels: the whole sensor binned 2 x 2 is half as wide and high.
    const Outcome full = at({"subframe", "full", "--bin", "2", "--json"});
    ASSERT_EQ(full.status, 0) << full.out << full.err;
    EXPECT_EQ(json(full)["subframe"]["width"].number, 4788);
    EXPECT_EQ(json(full)["subframe"]["height"].number, 3194);
    EXPECT_EQ(at({"subframe", "0", "0", "4789", "10", "--bin", "2"}).status, 2);
}

TEST_F(KvcamProcess, FailuresExitNonZeroWithAClearMessage)
{
    startCamera();
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    } cases[] = {
        {{"--address", "127.0.0.9", "status"}, 1, "kvcam: No camera answered at 127.0.0.9:6363"},
        {{"--address", c_address, "wheel", "9"}, 1, "Position 9 is outside 1 to 7 of this wheel"},
        {{"--address", c_address, "cool", "-60"}, 1, "outside this sensor's range, -35 to 25 °C"},
        {{"--address", c_address, "ao"}, 1, "has no adaptive-optics unit"},
        {{"--address", c_address, "--sensor", "1", "sensor"}, 1, "has no sensor 1"},
        {{"frobnicate"}, 2, "Unknown command 'frobnicate'"},
        {{"status", "--warp"}, 2, "Unknown option --warp for status"},
        {{"cool"}, 2, "cool takes SETPOINT|off"},
        {{"cool", "cold"}, 2, "SETPOINT takes a number, not 'cold'"},
        {{"guide", "up", "100"}, 2, "DIRECTION is north, south, east or west"},
        {{"--address", "camera.local", "list"}, 2, "--address takes an IPv4 address"},
        {{}, 2, "Usage: kvcam"},
    };
    for (const auto& c : cases) {
        const Outcome run = kvcam(c.arguments);
        const std::string shown = c.arguments.empty() ? "(none)" : c.arguments.back();
        EXPECT_EQ(run.status, c.status) << shown << ": " << run.out << run.err;
        EXPECT_NE((run.err + run.out).find(c.message), std::string::npos) << shown << ": " << run.out << run.err;
    }
}

TEST_F(KvcamProcess, WritesTheLibraryLogAtTheLevelAsked)
{
    startCamera();
    const Outcome run = at({"--log", "3", "info"});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(m_home + "/.kvapi/logs"))
        if (entry.path().extension() == ".log")
            log += (std::ostringstream() << std::ifstream(entry.path()).rdbuf()).str();
    EXPECT_NE(log.find("Initializing camera w/ S/N: 8065031"), std::string::npos) << log.substr(0, 2000);
    EXPECT_EQ(at({"--log", "9", "info"}).status, 2);
}

TEST_F(KvcamProcess, HelpForTheProgramAndEachCommand)
{
    const Outcome help = kvcam({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"list", "info", "status", "capabilities", "network", "cool", "wheel", "ao", "guide",
                                "sensor", "setting", "subframe", "expose", "abort"}) {
        EXPECT_NE(help.out.find(std::string("  ") + command + " "), std::string::npos) << command;
        const Outcome one = kvcam({command, "--help"});
        EXPECT_EQ(one.status, 0) << command;
        EXPECT_NE(one.out.find(std::string("Usage: kvcam [options] ") + command), std::string::npos) << one.out;
    }
    EXPECT_NE(kvcam({"cool", "--help"}).out.find("--tolerance DEGREES"), std::string::npos);
    EXPECT_NE(kvcam({"help", "expose"}).out.find("--mode N|NAME"), std::string::npos);
}

// Discovery on every network broadcasts on every interface: only inside a
// private network, where loopback is the only one.
TEST_F(KvcamProcess, ListsTheCamerasOfEveryNetworkInAPrivateNetwork)
{
    if (!kvtest::inPrivateNetwork()) {
        kvtest::runInPrivateNetwork();
        return;
    }
    startCamera();
    const Outcome list = kvcam({"list", "--json"});
    ASSERT_EQ(list.status, 0) << list.out << list.err;
    const JsonValue found = json(list);
    ASSERT_EQ(found["cameras"].items.size(), 1u);
    EXPECT_EQ(found["cameras"][0]["address"].string, "127.0.0.6:6363");
    EXPECT_EQ(found["cameras"][0]["serial"].string, "BC455M-000123-07");
    EXPECT_EQ(kvcam({"--all", "info"}).status, 0);
}

} // namespace

#endif
