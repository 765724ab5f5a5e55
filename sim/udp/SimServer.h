#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "firmware/VirtualCamera.h"

namespace kvsim {

// One exchange as the server saw it, for logging.
struct Exchange {
    std::string source;              // "ip:port" of the sender
    kv::IOBufferPtr request;         // the datagram received
    Reply reply;                     // what was (or, when delayed, will be) sent back
    bool broadcast = false;          // heard on the broadcast address
};

// The UDP front end of one virtual camera. The camera answers from its own
// address (127.0.0.2, 127.0.0.3, ... on loopback) and port 6363, and also
// hears the discovery broadcast on the network's broadcast address, through a
// second socket bound with address reuse so that several cameras hear it.
// Answers go back to the sender from the camera's own address, so a camera
// never answers from the host's address (which discovery ignores).
class SimServer {
public:
    static constexpr uint16_t c_defaultPort = 6363;

    explicit SimServer(VirtualCameraPtr camera, std::string address = "127.0.0.2", uint16_t port = c_defaultPort);
    ~SimServer(); // stops

    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Binds and starts answering; std::runtime_error when a socket cannot be
    // bound, or for 127.0.0.1 (the host's address, whose answers discovery ignores).
    void start();
    // Stops answering and joins the server thread; answers not yet sent are dropped.
    void stop();
    bool isRunning() const { return m_running; }

    const VirtualCameraPtr& camera() const { return m_camera; }
    // The address it answers from. A SetNetworkConfig broadcast that names
    // this camera moves it to the address it assigns, as a camera would.
    std::string address() const;
    // The port bound (the one given, or the one the system chose for 0).
    uint16_t port() const { return m_port; }

    // Where discovery broadcasts are heard; empty for nowhere. Defaults to
    // 127.255.255.255 for a loopback address, else none. Set before start().
    void setBroadcastAddress(const std::string& address);
    const std::string& broadcastAddress() const { return m_broadcastAddress; }

    // Called on the server thread after each datagram received. Set before start().
    using Observer = std::function<void(const Exchange&)>;
    void setObserver(Observer observer);

    uint64_t receivedCount() const { return m_received; }
    uint64_t sentCount() const { return m_sent; }

private:
    struct Pending;

    void run();
    void receiveFrom(int socket, bool broadcast);
    void sendDue(std::chrono::steady_clock::time_point now);
    void closeSockets();
    // Rebinds the camera's socket to the address a network configuration gave it.
    void adoptAssignedAddress();

    const VirtualCameraPtr m_camera;
    std::string m_address; // written by the server thread, read by any
    mutable std::mutex m_addressMutex;
    uint16_t m_port;
    std::string m_broadcastAddress;
    Observer m_observer;

    int m_socket = -1;          // the camera's own address: receives and sends
    int m_broadcastSocket = -1; // the broadcast address: receives only
    int m_wakeFd = -1;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_received{0};
    std::atomic<uint64_t> m_sent{0};
    std::vector<Pending> m_pending; // delayed answers, server thread only
};

} // namespace kvsim
