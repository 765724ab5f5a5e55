#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to GetNetwork: the camera's Wi-Fi settings, same layout as SetNetwork. The
// setters reject an SSID or passphrase longer than its field.
class GetNetworkResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 99;
    static constexpr uint8_t c_maxSsidLength = 32;
    static constexpr uint8_t c_maxPasswordLength = 64;

    GetNetworkResponseBody();
    explicit GetNetworkResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    // Throw std::runtime_error, leaving the stored value unchanged, when too long.
    void setSsid(const std::string& ssid);
    void setPassword(const std::string& password);
    const std::string& getSsid() const { return m_ssid; }
    const std::string& getPassword() const { return m_password; }

    void setNetworkMode(ENetworkMode mode);
    ENetworkMode getNetworkMode() const;
    void setUsaCanadaMode(bool enabled);
    bool getUsaCanadaMode() const;
    void setHexPassword(bool hex);
    bool getHexPassword() const;
    uint8_t getNetworkFlags() const { return m_networkFlags; }

private:
    uint8_t m_networkFlags = 0;
    std::string m_ssid;
    std::string m_password;
};

} // namespace V1
} // namespace kv
