#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Starts an exposure: duration, frame kind and readout mode.
class StartExposureRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 6;
    static constexpr uint8_t c_lightFrameBit = 0x01;
    static constexpr uint8_t c_triggerModeBit = 0x02;
    static constexpr uint8_t c_rbiPreflashBit = 0x04;

    StartExposureRequestBody();
    explicit StartExposureRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    float getDuration() const { return m_duration; }
    void setDuration(float seconds) { m_duration = seconds; }
    // Each flag setter changes only its own bit.
    bool getIsLightFrame() const { return (m_exposureFlags & c_lightFrameBit) != 0; }
    void setIsLightFrame(bool light) { setFlag(c_lightFrameBit, light); }
    bool getIsTriggerMode() const { return (m_exposureFlags & c_triggerModeBit) != 0; }
    void setIsTriggerMode(bool trigger) { setFlag(c_triggerModeBit, trigger); }
    bool getIsRbiEnabled() const { return (m_exposureFlags & c_rbiPreflashBit) != 0; }
    void setIsRbiEnabled(bool rbi) { setFlag(c_rbiPreflashBit, rbi); }
    uint8_t getExposureFlags() const { return m_exposureFlags; }
    // The readout-mode index.
    uint8_t getReadoutChannels() const { return m_readoutMode; }
    void setReadoutChannels(uint8_t mode) { m_readoutMode = mode; }

private:
    void setFlag(uint8_t bit, bool on) { m_exposureFlags = static_cast<uint8_t>(on ? (m_exposureFlags | bit) : (m_exposureFlags & ~bit)); }

    float m_duration = 0.0f;
    uint8_t m_exposureFlags = 0;
    uint8_t m_readoutMode = 0;
};

} // namespace V1
} // namespace kv
