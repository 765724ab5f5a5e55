#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {
namespace V1 {

// EchoRequest payload in both directions: up to 255 bytes the camera sends back as they are.
class EchoBody : public BaseBody {
public:
    static constexpr size_t c_maxLength = 255;

    EchoBody();
    // Copies length bytes from data; a null pointer gives an empty body.
    EchoBody(const char* data, uint8_t length);
    explicit EchoBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;

    const char* getData() const { return m_data.data(); }
    uint8_t getLength() const { return m_length; }
    void setData(const char* data, uint8_t length);

private:
    std::vector<char> m_data;
    uint8_t m_length = 0;
};

} // namespace V1
} // namespace kv
