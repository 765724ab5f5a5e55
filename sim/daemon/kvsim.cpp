// kvsim: a virtual camera on UDP, for developing and demonstrating
// applications without hardware.
#include "daemon/CommandLine.h"
#include "daemon/ExchangeLog.h"
#include "firmware/ConfigFile.h"
#include "firmware/Presets.h"
#include "udp/SimServer.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex g_outputMutex;

// One log line with a UTC time stamp to the millisecond.
void logLine(const std::string& text)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof(stamp), "%Y-%m-%d %H:%M:%S", &utc);
    std::lock_guard<std::mutex> lock(g_outputMutex);
    std::printf("%s.%03d %s\n", stamp, static_cast<int>(millis), text.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    kvsim::DaemonOptions options;
    try {
        options = kvsim::CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const kvsim::UsageError& e) {
        std::cerr << "kvsim: " << e.what() << "\n";
        return 2;
    }
    if (options.help) {
        std::cout << kvsim::CommandLine::usage();
        return 0;
    }
    if (options.listPresets) {
        for (const auto& name : kvsim::Presets::names())
            std::cout << name << "\n";
        return 0;
    }

    // The signals are taken through a descriptor; the server thread inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::cerr << "kvsim: cannot take signals\n";
        return 1;
    }

    auto camera = std::make_shared<kvsim::VirtualCamera>(options.camera);
    kvsim::SimServer server(camera, options.address, options.port);
    if (options.broadcast)
        server.setBroadcastAddress(*options.broadcast);
    if (!options.quiet) {
        const bool precise = options.camera.capabilities[kv::ICamera::eSupportsPrecisionCoolerPower];
        server.setObserver([precise](const kvsim::Exchange& exchange) {
            logLine(kvsim::ExchangeLog::request(exchange));
            const std::string reply = kvsim::ExchangeLog::reply(exchange, precise);
            if (!reply.empty())
                logLine(reply);
        });
    }
    try {
        server.start();
    } catch (const std::exception& e) {
        std::cerr << "kvsim: " << e.what() << "\n";
        return 1;
    }
    const kv::ICamera::Info info = camera->info();
    logLine("kvsim: " + kvsim::ConfigFile::modelName(info.model) + " " + camera->serialText() + " (serial " +
            std::to_string(info.serialNumber) + ", firmware " + std::to_string(info.firmwareRevision) + ", " +
            std::to_string(info.numberOfSensors) + " sensor" + (info.numberOfSensors == 1 ? "" : "s") +
            ") answering on " + server.address() + ":" + std::to_string(server.port()) +
            (server.broadcastAddress().empty() ? "" : ", discovery on " + server.broadcastAddress()));

    bool readStdin = options.readStdin;
    std::string pending;
    for (;;) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (::poll(fds, readStdin ? 2 : 1, -1) < 0)
            continue;
        if (fds[0].revents & POLLIN) {
            signalfd_siginfo signal{};
            if (::read(signalFd, &signal, sizeof(signal)) == static_cast<ssize_t>(sizeof(signal)))
                logLine(std::string("kvsim: ") + (signal.ssi_signo == SIGINT ? "SIGINT" : "SIGTERM") + ", stopping");
            break;
        }
        if (readStdin && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            char chunk[512];
            const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof(chunk));
            if (n <= 0) {
                readStdin = false; // end of input: keep running on signals alone
                continue;
            }
            pending.append(chunk, static_cast<size_t>(n));
            for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
                const std::string line = pending.substr(0, end);
                try {
                    const std::string answer = kvsim::CommandLine::runCommand(line, *camera);
                    if (!answer.empty())
                        logLine("kvsim: " + answer);
                } catch (const std::exception& e) {
                    logLine(std::string("kvsim: ") + e.what());
                }
            }
        }
    }
    server.stop();
    logLine("kvsim: stopped after " + std::to_string(server.receivedCount()) + " datagrams received, " +
            std::to_string(server.sentCount()) + " sent");
    ::close(signalFd);
    return 0;
}
