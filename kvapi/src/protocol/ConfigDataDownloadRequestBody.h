#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Asks for a small block of the configuration flash back.
class ConfigDataDownloadRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 5;

    ConfigDataDownloadRequestBody();
    explicit ConfigDataDownloadRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint8_t getDataLength() const { return m_dataLength; }
    void setDataLength(uint8_t length) { m_dataLength = length; }
    uint32_t getAddress() const { return m_address; }
    void setAddress(uint32_t address) { m_address = address; }

private:
    uint8_t m_dataLength = 0;
    uint32_t m_address = 0;
};

} // namespace V1
} // namespace kv
