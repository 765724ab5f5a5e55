#include "protocol/GetNetworkResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"
#include "protocol/NetworkFlags.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace kv {
namespace V1 {

namespace {

constexpr size_t c_ssidOffset = 3;
constexpr size_t c_passwordOffset = 35;

} // namespace

GetNetworkResponseBody::GetNetworkResponseBody()
    : BaseBody(SohType::Cmd, BodyType::GetNetwork)
{
}

GetNetworkResponseBody::GetNetworkResponseBody(IOBufferPtr buffer)
    : GetNetworkResponseBody()
{
    GetNetworkResponseBody::setBuffer(buffer);
}

void GetNetworkResponseBody::setSsid(const std::string& ssid)
{
    if (ssid.size() > c_maxSsidLength)
        throw std::runtime_error("Invalid SSID length: '" + ssid + "' uses " + std::to_string(ssid.size()) +
                                 "/32 available characters.");
    m_ssid = ssid;
}

void GetNetworkResponseBody::setPassword(const std::string& password)
{
    if (password.size() > c_maxPasswordLength)
        throw std::runtime_error("Invalid password length: '" + password + "' uses " +
                                 std::to_string(password.size()) + "/64 available characters.");
    m_password = password;
}

void GetNetworkResponseBody::setNetworkMode(ENetworkMode mode)
{
    m_networkFlags = NetworkFlags::withMode(m_networkFlags, mode);
}

ENetworkMode GetNetworkResponseBody::getNetworkMode() const
{
    return NetworkFlags::mode(m_networkFlags);
}

void GetNetworkResponseBody::setUsaCanadaMode(bool enabled)
{
    m_networkFlags = NetworkFlags::withBit(m_networkFlags, NetworkFlags::c_usaCanadaBit, enabled);
}

bool GetNetworkResponseBody::getUsaCanadaMode() const
{
    return (m_networkFlags & NetworkFlags::c_usaCanadaBit) != 0;
}

void GetNetworkResponseBody::setHexPassword(bool hex)
{
    m_networkFlags = NetworkFlags::withBit(m_networkFlags, NetworkFlags::c_hexPasswordBit, hex);
}

bool GetNetworkResponseBody::getHexPassword() const
{
    return (m_networkFlags & NetworkFlags::c_hexPasswordBit) != 0;
}

IOBufferPtr GetNetworkResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    char* p = buffer->data;
    // The setters keep both strings within their fields.
    const uint8_t ssidLength = static_cast<uint8_t>(std::min<size_t>(m_ssid.size(), c_maxSsidLength));
    const uint8_t passwordLength =
        static_cast<uint8_t>(std::min<size_t>(m_password.size(), c_maxPasswordLength));
    utl::copy::to(p + 0, m_networkFlags);
    utl::copy::to(p + 1, ssidLength);
    utl::copy::to(p + 2, passwordLength);
    std::memcpy(p + c_ssidOffset, m_ssid.data(), ssidLength);
    std::memcpy(p + c_passwordOffset, m_password.data(), passwordLength);
    return buffer;
}

void GetNetworkResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    const char* p = buffer->data;
    uint8_t ssidLength = 0;
    uint8_t passwordLength = 0;
    utl::copy::from(&m_networkFlags, p + 0);
    utl::copy::from(&ssidLength, p + 1);
    utl::copy::from(&passwordLength, p + 2);
    // Lengths beyond the fields are clamped to the field size.
    m_ssid.assign(p + c_ssidOffset, std::min(ssidLength, c_maxSsidLength));
    m_password.assign(p + c_passwordOffset, std::min(passwordLength, c_maxPasswordLength));
}

size_t GetNetworkResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetNetworkResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data"
        << " | SSID: " << m_ssid
        << " | Password: " << m_password
        << " | Network Mode: " << StringMaps::mapNetworkModeToString(getNetworkMode())
        << " | USA/Canada Mode: " << StringMaps::mapYesNo(getUsaCanadaMode())
        << " | Hex Password: " << StringMaps::mapYesNo(getHexPassword());
    return out.str();
}

} // namespace V1
} // namespace kv
