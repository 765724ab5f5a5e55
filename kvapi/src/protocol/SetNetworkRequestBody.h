#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// The camera's Wi-Fi settings to apply. SSID and passphrase longer than their fields
// are cut, not rejected.
class SetNetworkRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 99;
    static constexpr uint8_t c_maxSsidLength = 32;
    static constexpr uint8_t c_maxPasswordLength = 64;

    SetNetworkRequestBody();
    explicit SetNetworkRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    void setSsid(const std::string& ssid);
    void setPassword(const std::string& password);
    std::string getSsid() const { return std::string(m_ssid, m_ssidLength); }
    std::string getPassword() const { return std::string(m_password, m_passwordLength); }
    uint8_t getSsidLength() const { return m_ssidLength; }
    uint8_t getPasswordLength() const { return m_passwordLength; }

    void setNetworkMode(ENetworkMode mode);
    ENetworkMode getNetworkMode() const;
    void setUsaCanadaMode(bool enabled);
    bool getUsaCanadaMode() const;
    void setHexPassword(bool hex);
    bool getHexPassword() const;
    uint8_t getNetworkFlags() const { return m_networkMode; }

private:
    uint8_t m_networkMode = 0;
    uint8_t m_ssidLength = 0;
    uint8_t m_passwordLength = 0;
    char m_ssid[c_maxSsidLength] = {};
    char m_password[c_maxPasswordLength] = {};
};

} // namespace V1
} // namespace kv
