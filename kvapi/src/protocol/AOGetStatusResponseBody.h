#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to AOGetStatus: idle, busy or error.
class AOGetStatusResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    AOGetStatusResponseBody();
    explicit AOGetStatusResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    IAO::Status getStatus() const { return static_cast<IAO::Status>(m_status); }
    void setStatus(IAO::Status value) { m_status = static_cast<uint8_t>(value); }

private:
    uint8_t m_status = 0;
};

} // namespace V1
} // namespace kv
