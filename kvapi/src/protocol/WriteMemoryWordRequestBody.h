#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Writes one 16-bit word of the word-addressed memory. No camera operation sends it.
class WriteMemoryWordRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 3;

    WriteMemoryWordRequestBody();
    explicit WriteMemoryWordRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint8_t getAddress() const { return m_address; }
    void setAddress(uint8_t address) { m_address = address; }
    uint16_t getWord() const { return m_word; }
    void setWord(uint16_t word) { m_word = word; }

private:
    uint8_t m_address = 0;
    uint16_t m_word = 0;
};

} // namespace V1
} // namespace kv
