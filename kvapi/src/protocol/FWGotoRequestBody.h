#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Moves the filter wheel to a slot (wire numbering, see the filter wheel component).
class FWGotoRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    FWGotoRequestBody();
    explicit FWGotoRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint8_t getPosition() const { return m_position; }
    void setPosition(uint8_t value) { m_position = value; }

private:
    uint8_t m_position = 0;
};

} // namespace V1
} // namespace kv
