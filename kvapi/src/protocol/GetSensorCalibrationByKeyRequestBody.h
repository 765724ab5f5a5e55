#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Asks for one hidden (key-addressed) calibration value: a key and an index within it.
class GetSensorCalibrationByKeyRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 2;

    GetSensorCalibrationByKeyRequestBody();
    explicit GetSensorCalibrationByKeyRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ISensor::CalibrationKey getKey() const { return static_cast<ISensor::CalibrationKey>(m_key); }
    uint8_t getSubKey() const { return m_subkey; }
    void setKey(ISensor::CalibrationKey key) { m_key = static_cast<uint8_t>(key); }
    void setSubKey(uint8_t subkey) { m_subkey = subkey; }

private:
    uint8_t m_key = 0;
    uint8_t m_subkey = 0;
};

} // namespace V1
} // namespace kv
