#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to ConfigControl and to ConfigControlExt: for the two status commands the
// flash protection status (Factory::IFactoryCamera::ConfigStatus).
class ConfigControlResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    // bodyType is ConfigControl or ConfigControlExt, the request answered.
    explicit ConfigControlResponseBody(BodyType bodyType = BodyType::ConfigControl);
    explicit ConfigControlResponseBody(IOBufferPtr buffer, BodyType bodyType = BodyType::ConfigControl);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint8_t getStatusRequest() const { return m_statusRequest; }
    void setStatusRequest(uint8_t status) { m_statusRequest = status; }

private:
    uint8_t m_statusRequest = 0;
};

} // namespace V1
} // namespace kv
