#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {
namespace V2 {

// Answer to ConfigDataDownloadExt. The two directions differ: a received body is
// the payload alone, while serialising puts the payload's 32-bit length in front.
// A test peer playing the camera must therefore send the payload only.
class ConfigDataDownloadExtResponseBody : public V1::BaseBody {
public:
    using Payload = std::vector<unsigned char>;
    static constexpr size_t c_lengthFieldSize = 4;

    ConfigDataDownloadExtResponseBody();
    explicit ConfigDataDownloadExtResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    // Every body byte is payload; no bytes, no payload.
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    const Payload& getPayload() const { return m_payload; }
    // Hands the payload to a caller-owned buffer allocated with new[]: a null buffer,
    // or one whose size (length on entry) is smaller than the payload, is released
    // with delete[] and replaced by one of the payload's size. length becomes the
    // payload's size.
    void getData(unsigned char*& data, size_t& length) const;
    void setData(const unsigned char* data, size_t length);

private:
    Payload m_payload = Payload(1, 0);
};

} // namespace V2
} // namespace kv
