#pragma once

#include "protocol/BaseBody.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to ConfigDataDownload: a 104-byte block of the configuration flash, the
// size of ConfigData::Buffer.
class ConfigDataDownloadResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 104;
    using BufferArray = std::array<unsigned char, c_bodyLength>;

    ConfigDataDownloadResponseBody();
    explicit ConfigDataDownloadResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    // Takes up to 104 bytes and zeroes the rest of the array.
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    const BufferArray& getData() const { return m_data; }
    void setData(const BufferArray& data) { m_data = data; }
    // Copies up to 104 bytes and zeroes the rest of the array.
    void setData(const unsigned char* data, size_t length);

private:
    BufferArray m_data = {};
};

} // namespace V1
} // namespace kv
