#pragma once

#include "protocol/BaseBody.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// A small block (up to 64 bytes) to write into the configuration flash.
class ConfigDataUploadRequestBody : public BaseBody {
public:
    static constexpr size_t c_headerLength = 5;
    static constexpr size_t c_maxDataLength = 64;
    using buffer_t = std::array<unsigned char, c_maxDataLength>;

    ConfigDataUploadRequestBody();
    explicit ConfigDataUploadRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    // 5 + the data length; a length above 64 is sent with zeros after the 64 bytes.
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint8_t getDataLength() const { return m_dataLength; }
    void setDataLength(uint8_t length) { m_dataLength = length; }
    uint32_t getAddress() const { return m_address; }
    void setAddress(uint32_t address) { m_address = address; }
    const buffer_t& getData() const { return m_data; }
    // Copies up to 64 bytes, zeroes the rest of the array and sets the data length
    // to the number of bytes copied.
    void setData(const unsigned char* data, size_t length);

private:
    uint8_t m_dataLength = 0;
    uint32_t m_address = 0;
    buffer_t m_data = {};
};

} // namespace V1
} // namespace kv
