#pragma once

// A program run as a child process, its standard output and error kept in
// files, for tests that drive kvsim and kvcam as a person would.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace kvtest {

class ChildProcess {
public:
    // `home`, when given, replaces HOME in the child's environment.
    ChildProcess(const std::string& program, std::vector<std::string> arguments, const std::string& home = "")
    {
        const std::string stem = ::testing::TempDir() + "child-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++);
        m_out = stem + ".out";
        m_err = stem + ".err";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        arguments.insert(arguments.begin(), program);
        std::vector<char*> argv;
        for (auto& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> variables;
        for (char** entry = environ; *entry != nullptr; ++entry)
            if (home.empty() || std::string(*entry).rfind("HOME=", 0) != 0)
                variables.emplace_back(*entry);
        if (!home.empty())
            variables.push_back("HOME=" + home);
        std::vector<char*> envp;
        for (auto& v : variables)
            envp.push_back(v.data());
        envp.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProcess()
    {
        if (m_pid > 0 && !m_exited) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        std::remove(m_out.c_str());
        std::remove(m_err.c_str());
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }

    // The exit status (128 + signal when killed), or -1 when still running at the deadline.
    int wait(std::chrono::milliseconds timeout)
    {
        if (m_exited)
            return m_status;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (m_pid > 0) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_exited = true;
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return m_status;
            }
            if (std::chrono::steady_clock::now() >= deadline)
                break;
            ::poll(nullptr, 0, 10);
        }
        return -1;
    }
    void signal(int number) { ::kill(m_pid, number); }

    std::string out() const { return read(m_out); }
    std::string err() const { return read(m_err); }

    // True once the standard output or error holds the text, false at the deadline.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (out().find(text) == std::string::npos && err().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() >= deadline || wait(std::chrono::milliseconds(0)) >= 0)
                return false;
            ::poll(nullptr, 0, 10);
        }
        return true;
    }

private:
    static std::string read(const std::string& path)
    {
        std::ifstream file(path);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    static inline int s_count = 0;
    pid_t m_pid = -1;
    bool m_exited = false;
    int m_status = -1;
    std::string m_out;
    std::string m_err;
};

} // namespace kvtest
