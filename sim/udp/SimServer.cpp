#include "udp/SimServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kvsim {

namespace {

// Largest datagram read.
constexpr size_t c_maxDatagram = 65536;
// Datagrams read from one socket before the others get their turn.
constexpr int c_readBurst = 64;

sockaddr_in socketAddress(const std::string& address, uint16_t port)
{
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &result.sin_addr) != 1)
        throw std::runtime_error("Not an IPv4 address: " + address);
    return result;
}

std::string toString(const sockaddr_in& address)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof(text));
    return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

int boundSocket(const std::string& address, uint16_t port, bool shared)
{
    const sockaddr_in where = socketAddress(address, port);
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        throw std::runtime_error(std::string("Cannot create a socket: ") + std::strerror(errno));
    if (shared) {
        // Several cameras, and the library's own sockets, share the broadcast port.
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof(on));
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&where), sizeof(where)) != 0) {
        const int error = errno;
        ::close(fd);
        throw std::runtime_error("Cannot bind " + address + ":" + std::to_string(port) + ": " + std::strerror(error));
    }
    return fd;
}

} // namespace

struct SimServer::Pending {
    std::chrono::steady_clock::time_point due;
    sockaddr_in destination;
    std::vector<kv::IOBufferPtr> datagrams;
};

SimServer::SimServer(VirtualCameraPtr camera, std::string address, uint16_t port)
    : m_camera(std::move(camera)), m_address(std::move(address)), m_port(port)
{
    if (!m_camera)
        throw std::invalid_argument("SimServer needs a camera");
    if (m_address.compare(0, 4, "127.") == 0)
        m_broadcastAddress = "127.255.255.255";
}

SimServer::~SimServer()
{
    stop();
}

std::string SimServer::address() const
{
    std::lock_guard<std::mutex> lock(m_addressMutex);
    return m_address;
}

void SimServer::setBroadcastAddress(const std::string& address)
{
    m_broadcastAddress = address;
}

void SimServer::setObserver(Observer observer)
{
    m_observer = std::move(observer);
}

void SimServer::start()
{
    if (m_running)
        return;
    // Discovery drops answers from the host's own address.
    if (m_address == "127.0.0.1")
        throw std::runtime_error("A virtual camera cannot answer from 127.0.0.1, the host's own address; use "
                                 "127.0.0.2 or above");
    try {
        // No reuse here: a second camera on the same address must fail, not share.
        m_socket = boundSocket(m_address, m_port, false);
        sockaddr_in bound{};
        socklen_t length = sizeof(bound);
        if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&bound), &length) == 0)
            m_port = ntohs(bound.sin_port);
        const int on = 1;
        ::setsockopt(m_socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
        if (!m_broadcastAddress.empty())
            m_broadcastSocket = boundSocket(m_broadcastAddress, m_port, true);
        m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wakeFd < 0)
            throw std::runtime_error(std::string("Cannot create an eventfd: ") + std::strerror(errno));
    } catch (...) {
        closeSockets();
        throw;
    }
    m_stop = false;
    m_running = true;
    m_thread = std::thread([this] { run(); });
}

void SimServer::stop()
{
    if (!m_running)
        return;
    m_stop = true;
    const uint64_t one = 1;
    if (::write(m_wakeFd, &one, sizeof(one)) < 0) {
        // The thread still notices the flag within its poll period.
    }
    if (m_thread.joinable())
        m_thread.join();
    closeSockets();
    m_pending.clear();
    m_running = false;
}

void SimServer::closeSockets()
{
    for (int* fd : {&m_socket, &m_broadcastSocket, &m_wakeFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void SimServer::run()
{
    using SteadyTime = std::chrono::steady_clock;
    // Bounds the wait even if a wake-up is lost.
    constexpr auto c_longestWait = std::chrono::milliseconds(200);
    while (!m_stop) {
        auto wait = c_longestWait;
        if (!m_pending.empty()) {
            const auto next = std::min_element(m_pending.begin(), m_pending.end(),
                                               [](const Pending& a, const Pending& b) { return a.due < b.due; })
                                  ->due;
            const auto untilNext = std::chrono::duration_cast<std::chrono::milliseconds>(next - SteadyTime::now());
            wait = std::max(std::chrono::milliseconds(0), std::min(wait, untilNext + std::chrono::milliseconds(1)));
        }
        pollfd fds[3] = {{m_socket, POLLIN, 0}, {m_wakeFd, POLLIN, 0}, {m_broadcastSocket, POLLIN, 0}};
        const nfds_t count = m_broadcastSocket >= 0 ? 3 : 2;
        const int ready = ::poll(fds, count, static_cast<int>(wait.count()));
        if (ready < 0 && errno != EINTR)
            break;
        if (m_stop)
            break;
        if (ready > 0) {
            if (fds[0].revents & POLLIN)
                receiveFrom(m_socket, false);
            if (count == 3 && (fds[2].revents & POLLIN))
                receiveFrom(m_broadcastSocket, true);
            if (fds[1].revents & POLLIN) {
                uint64_t value = 0;
                if (::read(m_wakeFd, &value, sizeof(value)) < 0) {
                    // Nothing to drain.
                }
            }
        }
        sendDue(SteadyTime::now());
    }
}

void SimServer::receiveFrom(int socket, bool broadcast)
{
    std::vector<char> buffer(c_maxDatagram);
    for (int i = 0; i < c_readBurst && !m_stop; ++i) {
        sockaddr_in from{};
        socklen_t fromLength = sizeof(from);
        const ssize_t length = ::recvfrom(socket, buffer.data(), buffer.size(), 0,
                                          reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (length < 0)
            return; // EAGAIN: nothing more queued
        ++m_received;
        Exchange exchange;
        exchange.source = toString(from);
        exchange.request = kv::IOBuffer::newBuffer(buffer.data(), static_cast<size_t>(length));
        exchange.broadcast = broadcast;
        exchange.reply = m_camera->receive(exchange.request, exchange.source);
        if (!exchange.reply.datagrams.empty())
            m_pending.push_back(
                {std::chrono::steady_clock::now() + exchange.reply.delay, from, exchange.reply.datagrams});
        if (m_observer)
            m_observer(exchange);
        if (length > 1 && static_cast<uint8_t>(buffer[1]) == kv::SetNetworkConfig)
            adoptAssignedAddress();
        sendDue(std::chrono::steady_clock::now());
    }
}

void SimServer::adoptAssignedAddress()
{
    const std::optional<NetworkAssignment> assignment = m_camera->networkAssignment();
    if (!assignment)
        return;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, assignment->address.data(), text, sizeof(text));
    const std::string assigned(text);
    if (assigned == address())
        return;
    int fd = -1;
    try {
        fd = boundSocket(assigned, m_port, false);
    } catch (const std::runtime_error&) {
        return; // not an address of this host: the camera stays reachable where it was
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
    ::close(m_socket);
    m_socket = fd;
    std::lock_guard<std::mutex> lock(m_addressMutex);
    m_address = assigned;
}

void SimServer::sendDue(std::chrono::steady_clock::time_point now)
{
    // In order of arrival among those due, so that answers of equal delay keep their order.
    auto due = std::stable_partition(m_pending.begin(), m_pending.end(),
                                     [now](const Pending& p) { return p.due <= now; });
    for (auto it = m_pending.begin(); it != due; ++it) {
        for (const auto& datagram : it->datagrams) {
            const ssize_t sent = ::sendto(m_socket, datagram->data, datagram->length, 0,
                                          reinterpret_cast<const sockaddr*>(&it->destination), sizeof(it->destination));
            if (sent >= 0)
                ++m_sent;
        }
    }
    m_pending.erase(m_pending.begin(), due);
}

} // namespace kvsim
