#pragma once

// A plain UDP socket on a loopback address, standing in for the far end of a
// transport socket, plus small helpers shared by the UDP integration tests.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kvtest {

inline uint32_t ipv4(const std::string& text)
{
    in_addr value{};
    inet_pton(AF_INET, text.c_str(), &value);
    return value.s_addr;
}

// Polls a condition until it holds or the deadline passes; true when it held.
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds deadline = std::chrono::milliseconds(5000))
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Resident set size of this process in bytes.
inline size_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

inline size_t threadCount()
{
    // Runtimes that start a thread of their own with the process's first one
    // (ThreadSanitizer's) have done so before anything is counted.
    static const bool warmedUp = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)warmedUp;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Threads:", 0) == 0) {
            return std::stoul(line.substr(8));
        }
    }
    return 0;
}

class LoopbackPeer {
public:
    // Binds (address, port); port 0 lets the system choose. Without port
    // reuse the port is this peer's alone.
    explicit LoopbackPeer(const std::string& address = "127.0.0.1", uint16_t port = 0, bool reusePort = false)
    {
        m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        if (m_socket >= 0 && reusePort) {
            ::setsockopt(m_socket, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
        }
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(port);
        local.sin_addr.s_addr = ipv4(address);
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            if (m_socket >= 0) {
                ::close(m_socket);
            }
            m_socket = -1;
            return;
        }
        socklen_t length = sizeof local;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&local), &length);
        m_port = ntohs(local.sin_port);
        m_address = address;
    }
    ~LoopbackPeer()
    {
        if (m_socket >= 0) {
            ::close(m_socket);
        }
    }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    bool ok() const { return m_socket >= 0; }
    uint16_t port() const { return m_port; }
    const std::string& address() const { return m_address; }

    bool sendTo(const std::string& address, uint16_t port, const std::vector<uint8_t>& bytes) const
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = ipv4(address);
        return ::sendto(m_socket, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) ==
               static_cast<ssize_t>(bytes.size());
    }

    // One datagram, or an empty vector after `timeout`; the sender's port in `fromPort`.
    std::vector<uint8_t> receive(std::chrono::milliseconds timeout, uint16_t* fromPort = nullptr) const
    {
        pollfd ready{m_socket, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(timeout.count())) <= 0) {
            return {};
        }
        std::vector<uint8_t> bytes(65536);
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t received =
            ::recvfrom(m_socket, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
        bytes.resize(received > 0 ? static_cast<size_t>(received) : 0);
        if (fromPort != nullptr) {
            *fromPort = ntohs(from.sin_port);
        }
        return bytes;
    }

private:
    int m_socket = -1;
    uint16_t m_port = 0;
    std::string m_address;
};

} // namespace kvtest
