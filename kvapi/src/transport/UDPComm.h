#pragma once

#include "transport/CommExt.h"
#include "transport/UDPSocket.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace kv {

class UDPComm;
using UDPCommPtr = std::shared_ptr<UDPComm>;

// The network transport: discovery by broadcast, one command socket per open
// camera, request/response exchanges with resends on silence, and raw access
// to the queued datagrams for image streaming.
//
// Requests carry no footer, and exchanges always run on the calling thread:
// there is no worker, whatever the asynchronous-I/O switch says.
class UDPComm : public CommExt {
public:
    using UDPSocketMap = std::map<std::string, UDPSocketPtr>;

    static constexpr uint16_t c_port = 6363;
    static constexpr int c_responseTimeoutMs = 2000;
    static constexpr int c_peekTimeoutMs = 10;
    static constexpr int c_openAttempts = 11;
    static constexpr int c_openRetryDelayMs = 100;

    UDPComm();
    explicit UDPComm(IOHandler* handler);
    ~UDPComm() override;

    void openDevice(EndpointPtr endpoint) override;
    void queryDevices(MessagePtr request, MessagePtr response, EndpointPtr templ, IOHandlerPtr handler) override;
    void closeDevice(EndpointPtr endpoint) override;
    void receiveMessage(MessageContextPtr context) override;
    size_t availablePackets() override;
    void sendMessage(MessageContextPtr context) override;
    void resendMessage(MessageContextPtr context) override;
    bool isBusy() override { return false; }
    FooterType getFooterType() override { return V1None; }

    // Raw datagrams of the command socket (image channels, were there any).
    // The length reported is the datagram's own, never more than was received.
    bool peekRaw(uint8_t*& data, size_t& length) override;
    bool peekRaw(uint32_t channel, uint8_t*& data, size_t& length) override;
    bool popRaw() override;
    bool popRaw(uint32_t channel) override;
    bool writeRaw(uint8_t* data, size_t length, EndpointPtr endpoint) override;
    // Through a throw-away socket bound to port 6363 of `localAddress`
    // (network order). False when nothing could be sent.
    bool writeRawUnbound(const uint8_t* data, size_t length, EndpointPtr endpoint, uint32_t localAddress);
    void getImgChannels(uint32_t& ip0, uint16_t& port0, uint16_t& ports0b, uint32_t& ip1, uint16_t& port1,
                        uint16_t& ports1b) override;

    // Parses a received datagram into the context's response; true when it
    // answers the context's request (response header, same body type).
    bool parsePacket(const MessageContextPtr& context, const IOBufferPtr& buffer);

    // The first local IPv4 address on the camera's network, or 0 (network order).
    static uint32_t findNetIfaceIP(uint32_t cameraAddress);

    // How long one send waits for its answer. Tests shorten it.
    void setResponseTimeout(int ms) { m_responseTimeoutMs.store(ms); }
    int getResponseTimeout() const { return m_responseTimeoutMs.load(); }

    UDPSocketPtr getCommandSocket() const;

private:
    UDPSocketPtr socketForChannel(uint32_t channel) const;
    void logDebug(const std::string& text);

    EndpointPtr m_pEndpoint;
    UDPSocketPtr m_pSocket;
    std::vector<UDPSocketPtr> m_imgSockets;
    UDPSocketMap m_sockets;
    // Guards the four above: a camera's handlers use the transport from their own threads.
    mutable std::mutex m_mutex;
    // One exchange at a time on the command socket: every exchange reads the
    // same ring, so two at once would take each other's answers. Recursive
    // because a resend, and the next queued exchange a dispatch starts, run
    // inside the exchange on the same thread.
    std::recursive_mutex m_exchangeMutex;
    std::atomic<int> m_responseTimeoutMs{c_responseTimeoutMs};
};

} // namespace kv
