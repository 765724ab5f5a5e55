#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Writes the camera's serial number in its encoded (numeric) form.
class SetSerialNumberRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 4;

    SetSerialNumberRequestBody();
    explicit SetSerialNumberRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint32_t getSerialNumber() const { return m_serialNumber; }
    void setSerialNumber(uint32_t serialNumber) { m_serialNumber = serialNumber; }

private:
    uint32_t m_serialNumber = 0;
};

} // namespace V1
} // namespace kv
