#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <sys/types.h>

struct sockaddr_in;
struct timeval;

namespace kv {

// The process-wide owner of UDP sockets: creation and binding, socket options,
// the list of local IPv4 networks and the discovery broadcast. Addresses given
// as u32 are in network byte order throughout (0 = any local address).
class UDPController {
public:
    static constexpr uint16_t c_port = 6363;
    static constexpr size_t c_packetSize = 9014;
    // Ports tried by newSocket(): the one asked for and the nine after it.
    static constexpr int c_bindAttempts = 10;
    static constexpr int c_defaultDiscoveryWindowMs = 1000;

    // One local IPv4 address with its network.
    class NICAddrSet {
    public:
        NICAddrSet() = default;
        NICAddrSet(std::string hostIp, std::string broadcastIp, std::string subnetMask);

        const std::string& getHostIP() const { return host_ip; }
        const std::string& getBroadcastIP() const { return broadcast_ip; }
        const std::string& getSubnetMask() const { return subnet_mask; }
        // True for 0.0.0.0 and 255.255.255.255, and for addresses of this network.
        bool isOnSubnet(const std::string& address) const;
        bool operator==(const NICAddrSet& other) const;
        bool operator!=(const NICAddrSet& other) const { return !(*this == other); }

    private:
        std::string host_ip;
        std::string broadcast_ip;
        std::string subnet_mask;
    };

    // (datagram, length, source IP, source port, host IP of the interface it arrived on)
    using callback_t =
        std::function<void(const uint8_t*, size_t, const std::string&, uint16_t, const std::string&)>;

    static UDPController& get();

    UDPController(const UDPController&) = delete;
    UDPController& operator=(const UDPController&) = delete;

    void initialize();
    void shutdown();
    bool isReady() const { return m_ready.load(); }

    // A bound datagram socket with port reuse, or 0 when none of the ten ports binds.
    int newSocket(uint16_t port, uint32_t address);
    // newSocket() with broadcast, receive time-out, receive buffer and no
    // multicast loopback; 0 on any failure (the socket is then closed and
    // errno tells why).
    int open(uint16_t port, uint32_t address, bool broadcast, int timeout_ms, int rxBufferBytes);
    void close(int sock);
    // Datagrams of this socket come only from (ip, port) from now on.
    bool connect(int sock, const std::string& ip, uint16_t port);

    void setReuseAddr(int sock, bool enable);
    void setBroadcast(int sock, bool enable);
    void setRxTimeout(int sock, int ms);
    void setLoopback(int sock, bool enable);
    // Asks for more than the system's cap where the process may raise it.
    void setRxBufferLng(int sock, int bytes);
    void setDontFragmentBit(int sock, bool enable);
    int getRxBufferLng(int sock);

    ssize_t sendto(int sock, const void* data, size_t length, int flags, const std::string& ip, uint16_t port);
    ssize_t recvfrom(int sock, void* buffer, size_t length, int flags);
    ssize_t recvfrom(int sock, void* buffer, size_t length, int flags, sockaddr_in& source);
    // Through a throw-away broadcast socket.
    ssize_t sendto_unbound(const void* data, size_t length, int flags, const std::string& ip, uint16_t port);

    std::vector<NICAddrSet> getBroadcastIPs();
    void broadcast(const void* data, size_t length, int flags, const std::string& ip, uint16_t port,
                   const callback_t& callback);
    void handshake(const NICAddrSet& nic, const void* data, size_t length, int flags, const std::string& ip,
                   uint16_t port, const callback_t& callback);

    // The system's text for the current error number.
    std::string getLastError() const;
    // What the last open() failed on; "" after a success.
    std::string getLastOpenError() const;

    // How long discovery listens on each interface. Tests shorten it.
    void setDiscoveryWindow(int ms) { m_discoveryWindowMs.store(ms); }
    int getDiscoveryWindow() const { return m_discoveryWindowMs.load(); }

    static timeval toTimeval(int ms);

private:
    UDPController();
    ~UDPController();

    void setLastError(const std::string& text);

    std::atomic<bool> m_ready{false};
    std::atomic<int> m_discoveryWindowMs{c_defaultDiscoveryWindowMs};
    // Written by open() and close() from any thread.
    mutable std::mutex m_errorMutex;
    std::string m_lastError;
};

} // namespace kv
