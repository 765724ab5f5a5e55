#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to AOInit: the model of the adaptive-optics unit found.
class AOInitResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    AOInitResponseBody();
    explicit AOInitResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    IAO::Model getModel() const { return static_cast<IAO::Model>(m_model); }
    void setModel(IAO::Model value) { m_model = static_cast<uint8_t>(value); }

private:
    uint8_t m_model = 255;
};

} // namespace V1
} // namespace kv
