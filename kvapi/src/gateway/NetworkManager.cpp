#include "gateway/NetworkManager.h"

#include "logging/Logger.h"
#include "protocol/TNetworkConfigBody.h"
#include "protocol/protocol.h"
#include "transport/NetEndpoint.h"
#include "transport/UDPComm.h"
#include "transport/UDPController.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <stdexcept>

namespace kv {

namespace {

using TNetworkConfigFrame = TMessage<TRequestHeader, V1::TNetworkConfigBody, TEmptyPayload>;
static_assert(sizeof(TNetworkConfigFrame) == NetworkManager::c_frameLength, "SetNetworkConfig frame is 60 bytes");

// The standard dotted-quad conversion: all bits set for a text that is no address.
void toAddressBytes(const std::string& text, uint8_t (&bytes)[4])
{
    const in_addr_t address = ::inet_addr(text.c_str());
    std::memcpy(bytes, &address, sizeof(bytes));
}

uint8_t hexByte(const std::string& text, size_t position)
{
    // Reads like strtoul on the two characters: leading hex digits, none give 0.
    const std::string pair = text.substr(position, 2);
    return static_cast<uint8_t>(std::strtoul(pair.c_str(), nullptr, 16));
}

} // namespace

mac_address_t::mac_address_t(const std::string& text)
{
    if (text.size() < 17) {
        throw std::invalid_argument("Expected MAC address string to be 18 bytes long. e.g. '00:00:00:00:00:00'");
    }
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = hexByte(text, 3 * i);
    }
}

NetworkManager::NetworkManager(const std::string& path, UDPComm& comm, KVAPILoggerPtr logger)
    : m_comm(comm), m_pLogger(std::move(logger)), m_isValid(false), m_gateway("192.168.42.1"),
      m_subnet("192.168.42.255")
{
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        parseConfig(path);
    }
}

NetworkManager::~NetworkManager() = default;

void NetworkManager::log(const std::string& text)
{
    if (m_pLogger && m_pLogger->isLogged(logging::eDEBUG)) {
        m_pLogger->logMsg(logging::eDEBUG, text);
    }
}

void NetworkManager::parseConfig(const std::string& path)
{
    try {
        const YAML::Node root = YAML::LoadFile(path);
        if (!root.IsMap() && !root.IsNull()) {
            throw std::runtime_error("the document is not a mapping");
        }
        const auto text = [](const YAML::Node& node) { return node ? node.as<std::string>() : std::string(); };
        m_gateway = text(root["gateway"]);
        m_subnet = text(root["subnet_mask"]);
        std::vector<Device> devices;
        const YAML::Node list = root["devices"];
        if (list) {
            if (!list.IsSequence()) {
                throw std::runtime_error("'devices' is not a list");
            }
            for (const YAML::Node& entry : list) {
                Device device;
                device.serialNumber = entry["serial"].as<std::string>();
                device.ipAddress = entry["ip"].as<std::string>();
                device.macAddress = entry["mac"].as<std::string>();
                device.listeningPort = entry["port"] ? entry["port"].as<uint16_t>() : c_defaultPort;
                device.gateway = entry["gateway"] ? entry["gateway"].as<std::string>() : m_gateway;
                device.subnet = entry["subnet_mask"] ? entry["subnet_mask"].as<std::string>() : m_subnet;
                devices.push_back(std::move(device));
            }
        }
        m_devices = std::move(devices);
        m_isValid = true;
    } catch (const std::exception& e) {
        log(std::string("Failed to load network config: ") + e.what());
        m_devices.clear();
        m_isValid = false;
    }
}

bool NetworkManager::systemHasNICIP(const std::string& address)
{
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return false;
    }
    bool found = false;
    for (const ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr) {
            continue;
        }
        char text[INET6_ADDRSTRLEN] = {};
        if (entry->ifa_addr->sa_family == AF_INET) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
            ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text));
        } else if (entry->ifa_addr->sa_family == AF_INET6) {
            const auto* in6 = reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr);
            ::inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof(text));
        } else {
            continue;
        }
        found = address == text;
    }
    ::freeifaddrs(list);
    return found;
}

V1::TNetworkConfigBody NetworkManager::makeBody(const Device& device)
{
    V1::TNetworkConfigBody body{};
    const mac_address_t mac(device.macAddress);
    std::memcpy(body.mac, mac.data.data(), mac.data.size());
    toAddressBytes(device.ipAddress, body.deviceIP);
    toAddressBytes(device.gateway, body.gateway);
    toAddressBytes(device.subnet, body.subnetMask);
    std::memcpy(body.serial, device.serialNumber.data(), std::min(device.serialNumber.size(), sizeof(body.serial)));
    return body;
}

std::array<uint8_t, NetworkManager::c_frameLength> NetworkManager::makeFrame(const V1::TNetworkConfigBody& body,
                                                                            FooterType footerType)
{
    TNetworkConfigFrame frame{};
    frame.preamble.soh = static_cast<uint8_t>(Cmd);
    frame.preamble.bodyType = static_cast<uint8_t>(SetNetworkConfig);
    frame.preamble.headType = static_cast<uint8_t>(V1Request);
    frame.preamble.footType = static_cast<uint8_t>(footerType);
    frame.header.sensorID = 0;
    frame.header.bodyLng = static_cast<uint32_t>(sizeof(V1::TNetworkConfigBody));
    frame.body = body;
    std::array<uint8_t, c_frameLength> bytes{};
    std::memcpy(bytes.data(), &frame, sizeof(frame));
    bytes.back() = 0; // the pad byte
    return bytes;
}

void NetworkManager::sendConfigs()
{
    for (const Device& device : m_devices) {
        if (!systemHasNICIP(device.gateway)) {
            if (m_pLogger && m_pLogger->isLogged(logging::eERRORL1)) {
                m_pLogger->logMsg(logging::eERRORL1,
                                  "Network Config: Gateway IP address is not valid '" + device.gateway + "'");
            }
            continue;
        }
        sendConfig(makeBody(device), device.ipAddress, device.listeningPort);
    }
}

void NetworkManager::sendConfig(const V1::TNetworkConfigBody& body, const std::string&, uint16_t)
{
    // Always a broadcast: the camera may not have the address it is to take yet.
    sendFrame(makeFrame(body, m_comm.getFooterType()));
}

void NetworkManager::sendFrame(const std::array<uint8_t, c_frameLength>& frame)
{
    const auto destination = std::make_shared<NetEndpoint>("255.255.255.255", UDPComm::c_port, 0);
    for (const UDPController::NICAddrSet& nic : UDPController::get().getBroadcastIPs()) {
        in_addr host{};
        if (::inet_pton(AF_INET, nic.getHostIP().c_str(), &host) != 1 || host.s_addr == 0) {
            continue;
        }
        // Send failures are not reported: nothing is awaited in return.
        m_comm.writeRawUnbound(frame.data(), frame.size(), destination, host.s_addr);
    }
}

} // namespace kv
