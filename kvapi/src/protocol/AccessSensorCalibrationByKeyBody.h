#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Key, sub-key and value of one hidden calibration value: the answer to
// GetHiddenSensorSetting (B = 37, response) and both directions of
// SetHiddenSensorSetting (B = 38).
template <BodyType B, bool IsRequest>
class AccessSensorCalibrationByKeyBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 6;

    AccessSensorCalibrationByKeyBody();
    explicit AccessSensorCalibrationByKeyBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ISensor::CalibrationKey getKey() const { return static_cast<ISensor::CalibrationKey>(m_key); }
    uint8_t getSubKey() const { return m_subkey; }
    uint32_t getValue() const { return m_value; }
    void setKey(ISensor::CalibrationKey key) { m_key = static_cast<uint8_t>(key); }
    void setSubKey(uint8_t subkey) { m_subkey = subkey; }
    void setValue(uint32_t value) { m_value = value; }

private:
    uint8_t m_key = 0;
    uint8_t m_subkey = 0;
    uint32_t m_value = 0;
};

// The three instances, compiled once in AccessSensorCalibrationByKeyBody.cpp.
extern template class AccessSensorCalibrationByKeyBody<GetHiddenSensorSetting, false>;
extern template class AccessSensorCalibrationByKeyBody<SetHiddenSensorSetting, true>;
extern template class AccessSensorCalibrationByKeyBody<SetHiddenSensorSetting, false>;

using GetSensorCalibrationByKeyResponseBody = AccessSensorCalibrationByKeyBody<GetHiddenSensorSetting, false>;
using SetSensorCalibrationByKeyRequestBody = AccessSensorCalibrationByKeyBody<SetHiddenSensorSetting, true>;
using SetSensorCalibrationByKeyResponseBody = AccessSensorCalibrationByKeyBody<SetHiddenSensorSetting, false>;

} // namespace V1
} // namespace kv
