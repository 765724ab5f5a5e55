#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "transport/Endpoint.h"

namespace kv {

// A camera on the network, addressed by IPv4 address and UDP port.
class NetEndpoint : public Endpoint {
public:
    NetEndpoint(const std::string& ip, uint16_t port, uint8_t sequenceNumber);

    std::string toString() const override;
    std::string toStringConcise() const override;
    // Same kind, address and port; the NIC and the sequence counter do not count.
    bool compare(const EndpointPtr& other) const override;
    // Copies address, port and sequence counter (not the NIC) of a Net endpoint.
    EndpointPtr copy() const override;

    const std::string& getNICIP() const { return m_nic_ip; }
    void setNICIP(const std::string& ip) { m_nic_ip = ip; }
    const std::string& getIp() const { return m_dev_ip; }
    void setIp(const std::string& ip) { m_dev_ip = ip; }
    uint16_t getPort() const { return m_port; }
    void setPort(uint16_t port) { m_port = port; }

    uint8_t getSequenceNumber() const { return m_sequenceNumber; }
    // Adds 1, wrapping from 255 to 0, and returns the new value. Atomic, since
    // several handlers of one camera prepare requests on their own threads.
    uint8_t incrementSequenceNumber();

private:
    std::string m_nic_ip = "0.0.0.0";
    std::string m_dev_ip;
    uint16_t m_port;
    std::atomic<uint8_t> m_sequenceNumber;
};

using NetEndpointPtr = std::shared_ptr<NetEndpoint>;

} // namespace kv
