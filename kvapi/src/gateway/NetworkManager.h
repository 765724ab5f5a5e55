#pragma once

#include "protocol/TNetworkConfigBody.h"
#include "protocol/protocol.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv {

class UDPComm;
class KVAPILogger;
using KVAPILoggerPtr = std::shared_ptr<KVAPILogger>;

// Six bytes of a MAC address read from text such as 00:11:22:33:44:55; the
// separators are not looked at.
struct mac_address_t {
    explicit mac_address_t(const std::string& text);
    std::array<uint8_t, 6> data{};
};

// The host-side network configuration of network cameras, "net.yml": which
// camera (by serial text) takes which address. Each listed camera whose
// gateway is one of this host's addresses gets a SetNetworkConfig broadcast
// on every local IPv4 network; nothing comes back.
class NetworkManager {
public:
    struct Device {
        std::string serialNumber;
        std::string ipAddress;
        std::string macAddress;
        std::string gateway;
        std::string subnet;
        uint16_t listeningPort = 0;
    };

    static constexpr uint16_t c_defaultPort = 6363;
    static constexpr size_t c_frameLength = 60;

    // Reads the file when it exists. The transport is the gateway's, used for
    // raw sends; it outlives the manager.
    NetworkManager(const std::string& path, UDPComm& comm, KVAPILoggerPtr logger);
    virtual ~NetworkManager();

    bool isValid() const { return m_isValid; }
    // Throws std::invalid_argument for a MAC address shorter than 17 characters.
    void sendConfigs();

    const std::vector<Device>& getDevices() const { return m_devices; }
    // The body of one camera's configuration; std::invalid_argument for a
    // MAC address shorter than 17 characters.
    static V1::TNetworkConfigBody makeBody(const Device& device);
    // The SetNetworkConfig frame around a body.
    static std::array<uint8_t, c_frameLength> makeFrame(const V1::TNetworkConfigBody& body, FooterType footerType);

private:
    void parseConfig(const std::string& path);
    static bool systemHasNICIP(const std::string& address);
    void sendConfig(const V1::TNetworkConfigBody& body, const std::string& unused, uint16_t port);
    void sendFrame(const std::array<uint8_t, c_frameLength>& frame);
    void log(const std::string& text);

    UDPComm& m_comm;
    KVAPILoggerPtr m_pLogger;
    bool m_isValid;
    std::string m_gateway;
    std::string m_subnet;
    std::vector<Device> m_devices;
};

} // namespace kv
