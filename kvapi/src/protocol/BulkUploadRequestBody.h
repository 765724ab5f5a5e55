#pragma once

#include "protocol/BaseBody.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {
namespace V2 {

// A large block (up to 4096 bytes) to write into the configuration flash of the
// IMX-platform cameras.
class BulkUploadRequestBody : public V1::BaseBody {
public:
    static constexpr size_t c_headerLength = 8;
    static constexpr size_t c_maxDataLength = 4096;
    using buffer_t = std::array<unsigned char, c_maxDataLength>;

    BulkUploadRequestBody();
    explicit BulkUploadRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    static constexpr size_t getMaxDataLength() { return c_maxDataLength; }

    uint32_t getDataLength() const { return m_dataLength; }
    // Capped at 4096: the length field always matches the bytes that follow it.
    void setDataLength(uint32_t length);
    uint32_t getAddress() const { return m_address; }
    void setAddress(uint32_t address) { m_address = address; }
    const buffer_t& getData() const { return m_data; }
    // Copies up to 4096 bytes, zeroes the rest of the array and sets the data length
    // to the number of bytes copied.
    void setData(const unsigned char* data, size_t length);

private:
    uint32_t m_dataLength = 0;
    uint32_t m_address = 0;
    buffer_t m_data = {};
};

} // namespace V2
} // namespace kv
