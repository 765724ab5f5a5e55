#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to FWInit: the hardware model id of the filter wheel found.
class FWInitResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    FWInitResponseBody();
    explicit FWInitResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint8_t getModel() const { return m_model; }
    void setModel(uint8_t value) { m_model = value; }

private:
    uint8_t m_model = 255;
};

} // namespace V1
} // namespace kv
