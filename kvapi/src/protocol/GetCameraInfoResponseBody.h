#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to GetCameraInfo: the camera's identity. Discovery parses it straight from a
// datagram through the buffer constructor.
class GetCameraInfoResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 10;

    GetCameraInfoResponseBody();
    explicit GetCameraInfoResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ICamera::Model getModel() const { return static_cast<ICamera::Model>(m_model); }
    uint32_t getSerialNumber() const { return m_serialNumber; }
    uint16_t getFirmwareRevision() const { return m_firmwareRevision; }
    uint16_t getWifiFirmwareRevision() const { return m_wifiFirmwareRevision; }
    uint8_t getSensorCount() const { return m_sensorCount; }

    void setCameraVariant(ICamera::Model model) { m_model = static_cast<uint8_t>(model); }
    void setSerialNumber(uint32_t serialNumber) { m_serialNumber = serialNumber; }
    void setFirmwareRevision(uint16_t revision) { m_firmwareRevision = revision; }
    void setWifiFirmwareRevision(uint16_t revision) { m_wifiFirmwareRevision = revision; }
    void setSensorCount(uint8_t count) { m_sensorCount = count; }

private:
    uint8_t m_model = 0;
    uint32_t m_serialNumber = 0;
    uint16_t m_firmwareRevision = 0;
    uint16_t m_wifiFirmwareRevision = 0;
    uint8_t m_sensorCount = 0;
};

} // namespace V1
} // namespace kv
