#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Asks for one 16-bit word of the word-addressed memory.
class ReadMemoryWordRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    ReadMemoryWordRequestBody();
    explicit ReadMemoryWordRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint8_t getAddress() const { return m_address; }
    void setAddress(uint8_t address) { m_address = address; }

private:
    uint8_t m_address = 0;
};

} // namespace V1
} // namespace kv
