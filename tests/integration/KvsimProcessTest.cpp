#include "integration/UdpClient.h"
#include "unit/sim/SimFrames.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

// kvsim run as a process, its output in a file.
class Kvsim {
public:
    // withInput: the standard input is a pipe the test writes to; else /dev/null.
    explicit Kvsim(std::vector<std::string> arguments, bool withInput = false)
    {
        m_output = ::testing::TempDir() + "kvsim-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, m_output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        int input[2] = {-1, -1};
        if (withInput && ::pipe(input) == 0) {
            posix_spawn_file_actions_adddup2(&actions, input[0], 0);
            posix_spawn_file_actions_addclose(&actions, input[1]);
        } else {
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        }
        arguments.insert(arguments.begin(), KVSIM_EXECUTABLE);
        std::vector<char*> argv;
        for (auto& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, KVSIM_EXECUTABLE, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        if (input[0] >= 0) {
            ::close(input[0]);
            m_input = input[1];
        }
    }
    ~Kvsim()
    {
        if (m_input >= 0)
            ::close(m_input);
        if (m_pid > 0 && !m_exited) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        std::remove(m_output.c_str());
    }

    // The exit status, or -1 when it has not ended within the time-out.
    int wait(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            ::poll(nullptr, 0, 10);
        }
        return -1;
    }
    void signal(int number) { ::kill(m_pid, number); }
    void type(const std::string& line)
    {
        const std::string text = line + "\n";
        if (::write(m_input, text.data(), text.size()) < 0)
            ADD_FAILURE() << "cannot write to kvsim";
    }
    std::string output() const
    {
        std::ifstream file(m_output);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    bool started() const { return m_pid > 0; }
    // True once the output holds the text, false at the deadline.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (output().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            ::poll(nullptr, 0, 10);
        }
        return true;
    }

private:
    static inline int s_count = 0;
    pid_t m_pid = -1;
    bool m_exited = false;
    int m_input = -1;
    std::string m_output;
};

// Asks until the camera answers or the deadline passes: the process needs a moment to bind.
std::optional<UdpClient::Datagram> firstAnswer(UdpClient& client, const std::string& address)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        client.send(simframes::request(kv::GetCameraInfo), address);
        if (auto answer = client.receive(std::chrono::milliseconds(100)))
            return answer;
    }
    return std::nullopt;
}

TEST(KvsimProcess, HelpAndBadOptions)
{
    Kvsim help({"--help"});
    ASSERT_TRUE(help.started());
    EXPECT_EQ(help.wait(), 0);
    EXPECT_NE(help.output().find("Usage: kvsim"), std::string::npos);
    EXPECT_NE(help.output().find("BrisaBC455"), std::string::npos);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--warp"}, {"--model", "Nikon"}, {"--drop", "2"}, {"--serial", "XX"}}) {
        Kvsim run(bad);
        EXPECT_EQ(run.wait(), 2) << bad[0];
        EXPECT_NE(run.output().find("kvsim: "), std::string::npos);
    }
}

TEST(KvsimProcess, AnswersOnItsAddressLogsAndStopsOnSigterm)
{
    Kvsim kvsim({"--address", "127.0.0.4", "--model", "BrisaBC455", "--firmware", "29", "--status",
                 "DeviceBusy:1", "--no-stdin"});
    ASSERT_TRUE(kvsim.started());
    UdpClient client;
    const auto refused = firstAnswer(client, "127.0.0.4");
    ASSERT_TRUE(refused) << kvsim.output();
    EXPECT_EQ(refused->source, "127.0.0.4:6363");
    EXPECT_EQ(static_cast<uint8_t>(refused->bytes->data[4]), kv::DeviceBusy);
    const auto info = client.exchange(simframes::request(kv::GetCameraInfo), "127.0.0.4");
    ASSERT_TRUE(info);
    // Model 9, firmware 29.
    EXPECT_EQ(static_cast<uint8_t>(info->bytes->data[10]), kv::ICamera::BrisaBC455);
    EXPECT_EQ(static_cast<uint8_t>(info->bytes->data[15]), 29);

    kvsim.signal(SIGTERM);
    EXPECT_EQ(kvsim.wait(), 0);
    const std::string log = kvsim.output();
    EXPECT_NE(log.find("answering on 127.0.0.4:6363"), std::string::npos) << log;
    EXPECT_NE(log.find("GetCameraInfo Success"), std::string::npos) << log;
    EXPECT_NE(log.find("SIGTERM, stopping"), std::string::npos) << log;
}

// The answer's status byte, once the command typed has taken effect.
uint8_t statusOnceTaken(UdpClient& client, uint8_t wanted)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    uint8_t status = 255;
    while (std::chrono::steady_clock::now() < deadline && status != wanted) {
        const auto answer = client.exchange(simframes::request(kv::GetCameraStatus), "127.0.0.4");
        status = answer ? static_cast<uint8_t>(answer->bytes->data[4]) : 255;
    }
    return status;
}

TEST(KvsimProcess, TakesFaultCommandsWhileRunning)
{
    Kvsim kvsim({"--address", "127.0.0.4", "--model", "BrisaCMOS"}, true);
    UdpClient client;
    ASSERT_TRUE(firstAnswer(client, "127.0.0.4")) << kvsim.output();
    kvsim.type("status ImageNotAvailable 1000");
    EXPECT_EQ(statusOnceTaken(client, kv::ImageNotAvailable), kv::ImageNotAvailable);
    kvsim.type("clear");
    EXPECT_EQ(statusOnceTaken(client, kv::Success), kv::Success);
    kvsim.type("teleport");
    kvsim.type("state");
    EXPECT_TRUE(kvsim.waitForOutput("requests received")) << kvsim.output();
    EXPECT_NE(kvsim.output().find("Unknown command 'teleport'"), std::string::npos) << kvsim.output();
    kvsim.signal(SIGTERM);
    EXPECT_EQ(kvsim.wait(), 0);
}

TEST(KvsimProcess, StopsOnSigintAndFailsWhenItsAddressIsTaken)
{
    Kvsim first({"--address", "127.0.0.4", "--quiet", "--no-stdin"});
    UdpClient client;
    ASSERT_TRUE(firstAnswer(client, "127.0.0.4"));
    Kvsim second({"--address", "127.0.0.4", "--no-stdin"});
    EXPECT_EQ(second.wait(), 1);
    EXPECT_NE(second.output().find("Cannot bind 127.0.0.4:6363"), std::string::npos) << second.output();
    first.signal(SIGINT);
    EXPECT_EQ(first.wait(), 0);
}

} // namespace
