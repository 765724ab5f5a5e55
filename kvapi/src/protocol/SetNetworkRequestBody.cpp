#include "protocol/SetNetworkRequestBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"
#include "protocol/NetworkFlags.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace kv {
namespace V1 {

namespace {

constexpr size_t c_ssidOffset = 3;
constexpr size_t c_passwordOffset = 35;

} // namespace

SetNetworkRequestBody::SetNetworkRequestBody()
    : BaseBody(SohType::Cmd, BodyType::SetNetwork)
{
}

SetNetworkRequestBody::SetNetworkRequestBody(IOBufferPtr buffer)
    : SetNetworkRequestBody()
{
    SetNetworkRequestBody::setBuffer(buffer);
}

void SetNetworkRequestBody::setSsid(const std::string& ssid)
{
    m_ssidLength = static_cast<uint8_t>(std::min<size_t>(ssid.size(), c_maxSsidLength));
    std::memset(m_ssid, 0, sizeof(m_ssid));
    std::memcpy(m_ssid, ssid.data(), m_ssidLength);
}

void SetNetworkRequestBody::setPassword(const std::string& password)
{
    m_passwordLength = static_cast<uint8_t>(std::min<size_t>(password.size(), c_maxPasswordLength));
    std::memset(m_password, 0, sizeof(m_password));
    std::memcpy(m_password, password.data(), m_passwordLength);
}

void SetNetworkRequestBody::setNetworkMode(ENetworkMode mode)
{
    m_networkMode = NetworkFlags::withMode(m_networkMode, mode);
}

ENetworkMode SetNetworkRequestBody::getNetworkMode() const
{
    return NetworkFlags::mode(m_networkMode);
}

void SetNetworkRequestBody::setUsaCanadaMode(bool enabled)
{
    m_networkMode = NetworkFlags::withBit(m_networkMode, NetworkFlags::c_usaCanadaBit, enabled);
}

bool SetNetworkRequestBody::getUsaCanadaMode() const
{
    return (m_networkMode & NetworkFlags::c_usaCanadaBit) != 0;
}

void SetNetworkRequestBody::setHexPassword(bool hex)
{
    m_networkMode = NetworkFlags::withBit(m_networkMode, NetworkFlags::c_hexPasswordBit, hex);
}

bool SetNetworkRequestBody::getHexPassword() const
{
    return (m_networkMode & NetworkFlags::c_hexPasswordBit) != 0;
}

IOBufferPtr SetNetworkRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    char* p = buffer->data;
    utl::copy::to(p + 0, m_networkMode);
    utl::copy::to(p + 1, m_ssidLength);
    utl::copy::to(p + 2, m_passwordLength);
    // Only the counted bytes go out; the rest of each field stays zero.
    std::memcpy(p + c_ssidOffset, m_ssid, m_ssidLength);
    std::memcpy(p + c_passwordOffset, m_password, m_passwordLength);
    return buffer;
}

void SetNetworkRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    const char* p = buffer->data;
    uint8_t ssidLength = 0;
    uint8_t passwordLength = 0;
    utl::copy::from(&m_networkMode, p + 0);
    utl::copy::from(&ssidLength, p + 1);
    utl::copy::from(&passwordLength, p + 2);
    // Lengths beyond the fields are clamped to the field size.
    m_ssidLength = std::min(ssidLength, c_maxSsidLength);
    m_passwordLength = std::min(passwordLength, c_maxPasswordLength);
    std::memset(m_ssid, 0, sizeof(m_ssid));
    std::memset(m_password, 0, sizeof(m_password));
    std::memcpy(m_ssid, p + c_ssidOffset, m_ssidLength);
    std::memcpy(m_password, p + c_passwordOffset, m_passwordLength);
}

size_t SetNetworkRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string SetNetworkRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | SSID: " << getSsid()
        << " | Password: " << getPassword()
        << " | Network Mode: " << StringMaps::mapNetworkModeToString(getNetworkMode())
        << " | USA/Canada Mode: " << StringMaps::mapYesNo(getUsaCanadaMode())
        << " | Hex Password: " << StringMaps::mapYesNo(getHexPassword());
    return out.str();
}

} // namespace V1
} // namespace kv
