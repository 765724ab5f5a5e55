#include "transport/UDPController.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace kv {

namespace {

// strerror_r comes in a GNU and an XSI flavour; both end up here.
[[maybe_unused]] std::string fromStrerror(int result, const char* buffer)
{
    return result == 0 ? std::string(buffer) : std::string("Unknown error");
}
[[maybe_unused]] std::string fromStrerror(const char* result, const char*)
{
    return result ? std::string(result) : std::string("Unknown error");
}

std::string errorText(int error)
{
    char buffer[256] = {};
    return fromStrerror(strerror_r(error, buffer, sizeof buffer), buffer);
}

[[noreturn]] void raise(const char* text)
{
    throw std::runtime_error(std::string(text) + errorText(errno));
}

int createSocket()
{
    int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock < 0) {
        raise("Failed to create socket. Error: ");
    }
    if (sock == 0) {
        // Descriptor 0 stands for "no socket": move it out of the way when
        // standard input was closed.
        const int moved = ::fcntl(sock, F_DUPFD_CLOEXEC, 1);
        const int error = errno;
        ::close(sock);
        if (moved < 0) {
            errno = error;
            raise("Failed to create socket. Error: ");
        }
        sock = moved;
    }
    return sock;
}

bool parseAddress(const std::string& text, in_addr& address)
{
    return ::inet_pton(AF_INET, text.c_str(), &address) == 1;
}

std::string formatAddress(in_addr address)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

sockaddr_in makeAddress(uint32_t address, uint16_t port)
{
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    result.sin_addr.s_addr = address;
    return result;
}

// Closes a socket on every way out of a scope.
class SocketGuard {
public:
    explicit SocketGuard(int sock) : m_sock(sock) {}
    ~SocketGuard()
    {
        if (m_sock > 0) {
            ::close(m_sock);
        }
    }
    SocketGuard(const SocketGuard&) = delete;
    SocketGuard& operator=(const SocketGuard&) = delete;

private:
    int m_sock;
};

} // namespace

UDPController::NICAddrSet::NICAddrSet(std::string hostIp, std::string broadcastIp, std::string subnetMask)
    : host_ip(std::move(hostIp)), broadcast_ip(std::move(broadcastIp)), subnet_mask(std::move(subnetMask))
{
}

bool UDPController::NICAddrSet::isOnSubnet(const std::string& address) const
{
    in_addr destination{};
    if (!parseAddress(address, destination)) {
        return false;
    }
    if (destination.s_addr == htonl(INADDR_ANY) || destination.s_addr == htonl(INADDR_BROADCAST)) {
        return true;
    }
    in_addr host{};
    in_addr mask{};
    if (!parseAddress(host_ip, host) || !parseAddress(subnet_mask, mask)) {
        return false;
    }
    return ((host.s_addr ^ destination.s_addr) & mask.s_addr) == 0;
}

bool UDPController::NICAddrSet::operator==(const NICAddrSet& other) const
{
    return host_ip == other.host_ip && broadcast_ip == other.broadcast_ip && subnet_mask == other.subnet_mask;
}

UDPController& UDPController::get()
{
    static UDPController controller;
    return controller;
}

UDPController::UDPController()
{
    initialize();
}

UDPController::~UDPController()
{
    shutdown();
}

void UDPController::initialize()
{
    m_ready.store(true);
}

void UDPController::shutdown()
{
    m_ready.store(false);
}

int UDPController::newSocket(uint16_t port, uint32_t address)
{
    const int sock = createSocket();
    try {
        setReuseAddr(sock, true);
    } catch (...) {
        ::close(sock);
        throw;
    }
    for (int attempt = 0; attempt < c_bindAttempts; ++attempt) {
        const unsigned candidate = unsigned(port) + unsigned(attempt);
        if (candidate > 0xFFFF) {
            break; // never wrap round to port 0, which would bind anywhere
        }
        const sockaddr_in local = makeAddress(address, static_cast<uint16_t>(candidate));
        if (::bind(sock, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) {
            return sock;
        }
    }
    const int error = errno;
    ::close(sock);
    errno = error;
    return 0;
}

int UDPController::open(uint16_t port, uint32_t address, bool broadcast, int timeout_ms, int rxBufferBytes)
{
    setLastError("");
    int sock = 0;
    try {
        sock = newSocket(port, address);
    } catch (const std::exception& e) {
        setLastError(e.what());
        return 0;
    }
    if (sock == 0) {
        setLastError("[UDPCOMM] Failed to open socket");
        return 0;
    }
    try {
        setBroadcast(sock, broadcast);
        setRxTimeout(sock, timeout_ms);
        setRxBufferLng(sock, rxBufferBytes);
        setLoopback(sock, false);
    } catch (const std::exception& e) {
        // A socket without its options is of no use; do not leak it.
        const int error = errno;
        setLastError(e.what());
        ::close(sock);
        errno = error;
        return 0;
    }
    return sock;
}

void UDPController::close(int sock)
{
    setLastError("");
    if (sock > 0) {
        ::close(sock);
    }
}

bool UDPController::connect(int sock, const std::string& ip, uint16_t port)
{
    in_addr address{};
    if (!parseAddress(ip, address)) {
        errno = EINVAL;
        return false;
    }
    const sockaddr_in peer = makeAddress(address.s_addr, port);
    return ::connect(sock, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
}

void UDPController::setReuseAddr(int sock, bool enable)
{
    const int value = enable ? 1 : 0;
    if (::setsockopt(sock, SOL_SOCKET, SO_REUSEPORT, &value, sizeof value) != 0) {
        raise("Failed to set reuse address option. Error: ");
    }
}

void UDPController::setBroadcast(int sock, bool enable)
{
    const int value = enable ? 1 : 0;
    if (::setsockopt(sock, SOL_SOCKET, SO_BROADCAST, &value, sizeof value) != 0) {
        raise("Failed to set broadcast option. Error: ");
    }
}

void UDPController::setRxTimeout(int sock, int ms)
{
    const timeval value = toTimeval(ms);
    if (::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value) != 0) {
        raise("Failed to set Rx Timeout option. Error: ");
    }
}

void UDPController::setLoopback(int sock, bool enable)
{
    const unsigned char value = enable ? 1 : 0;
    if (::setsockopt(sock, IPPROTO_IP, IP_MULTICAST_LOOP, &value, sizeof value) != 0) {
        raise("Failed to set Loopback option. Error: ");
    }
}

void UDPController::setRxBufferLng(int sock, int bytes)
{
    // The plain option is capped by net.core.rmem_max; a process with
    // CAP_NET_ADMIN may go past the cap, which image streaming needs.
    if (::setsockopt(sock, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) == 0) {
        return;
    }
    if (::setsockopt(sock, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) != 0) {
        raise("Failed to set Rx Buffer Length option. Error: ");
    }
}

void UDPController::setDontFragmentBit(int sock, bool enable)
{
    const int value = enable ? IP_PMTUDISC_DO : IP_PMTUDISC_DONT;
    if (::setsockopt(sock, IPPROTO_IP, IP_MTU_DISCOVER, &value, sizeof value) != 0) {
        raise("Failed to set Don't Fragment option. Error: ");
    }
}

int UDPController::getRxBufferLng(int sock)
{
    int value = 0;
    socklen_t length = sizeof value;
    if (::getsockopt(sock, SOL_SOCKET, SO_RCVBUF, &value, &length) != 0) {
        raise("Failed to get Rx Buffer Length option. Error: ");
    }
    return value;
}

ssize_t UDPController::sendto(int sock, const void* data, size_t length, int flags, const std::string& ip,
                              uint16_t port)
{
    in_addr address{};
    if (!parseAddress(ip, address)) {
        errno = EINVAL;
        return -1;
    }
    const sockaddr_in destination = makeAddress(address.s_addr, port);
    return ::sendto(sock, data, length, flags | MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&destination),
                    sizeof destination);
}

ssize_t UDPController::recvfrom(int sock, void* buffer, size_t length, int flags)
{
    return ::recvfrom(sock, buffer, length, flags, nullptr, nullptr);
}

ssize_t UDPController::recvfrom(int sock, void* buffer, size_t length, int flags, sockaddr_in& source)
{
    socklen_t sourceLength = sizeof source;
    return ::recvfrom(sock, buffer, length, flags, reinterpret_cast<sockaddr*>(&source), &sourceLength);
}

ssize_t UDPController::sendto_unbound(const void* data, size_t length, int flags, const std::string& ip,
                                      uint16_t port)
{
    const int sock = createSocket();
    SocketGuard guard(sock);
    setBroadcast(sock, true);
    return sendto(sock, data, length, flags, ip, port);
}

std::vector<UDPController::NICAddrSet> UDPController::getBroadcastIPs()
{
    std::vector<NICAddrSet> result;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return result;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_netmask == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        const in_addr host = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr;
        const in_addr mask = reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr;
        in_addr broadcast{};
        broadcast.s_addr = host.s_addr | ~mask.s_addr;
        result.emplace_back(formatAddress(host), formatAddress(broadcast), formatAddress(mask));
    }
    ::freeifaddrs(list);
    return result;
}

void UDPController::broadcast(const void* data, size_t length, int flags, const std::string& ip, uint16_t port,
                              const callback_t& callback)
{
    for (const NICAddrSet& nic : getBroadcastIPs()) {
        handshake(nic, data, length, flags, ip, port, callback);
    }
}

void UDPController::handshake(const NICAddrSet& nic, const void* data, size_t length, int flags,
                              const std::string& ip, uint16_t port, const callback_t& callback)
{
    if (!nic.isOnSubnet(ip)) {
        return;
    }
    in_addr host{};
    if (!parseAddress(nic.getHostIP(), host) || host.s_addr == 0) {
        return;
    }
    int sock = 0;
    try {
        sock = newSocket(c_port, host.s_addr);
    } catch (const std::exception&) {
        return; // this interface stays silent
    }
    if (sock == 0) {
        return;
    }
    SocketGuard guard(sock);
    try {
        setBroadcast(sock, true);
        setRxTimeout(sock, 1000);
    } catch (const std::exception&) {
        return;
    }
    if (sendto(sock, data, length, flags, nic.getBroadcastIP(), port) < 0) {
        return;
    }

    // Listen for the whole window after the send, however many answers come.
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(getDiscoveryWindow());
    std::vector<uint8_t> buffer(c_packetSize);
    for (;;) {
        const auto remaining =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (remaining <= 0) {
            break;
        }
        pollfd ready{sock, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(remaining));
        if (polled <= 0) {
            continue; // time-out (the loop ends) or a signal
        }
        sockaddr_in source{};
        const ssize_t received = recvfrom(sock, buffer.data(), buffer.size(), MSG_DONTWAIT, source);
        if (received < 0 || source.sin_addr.s_addr == host.s_addr) {
            continue; // our own broadcast, or nothing after all
        }
        callback(buffer.data(), static_cast<size_t>(received), formatAddress(source.sin_addr),
                 ntohs(source.sin_port), nic.getHostIP());
    }
}

std::string UDPController::getLastError() const
{
    return errorText(errno);
}

std::string UDPController::getLastOpenError() const
{
    std::lock_guard<std::mutex> lock(m_errorMutex);
    return m_lastError;
}

void UDPController::setLastError(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_lastError = text;
}

timeval UDPController::toTimeval(int ms)
{
    if (ms < 0) {
        ms = 0;
    }
    timeval value{};
    value.tv_sec = ms / 1000;
    value.tv_usec = (ms % 1000) * 1000;
    return value;
}

} // namespace kv
