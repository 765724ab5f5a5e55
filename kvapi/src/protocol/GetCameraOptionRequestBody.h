#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi_factory.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Asks for the value of one factory option.
class GetCameraOptionRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 1;

    GetCameraOptionRequestBody();
    explicit GetCameraOptionRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    Factory::IFactoryCamera::Option getKey() const
    {
        return static_cast<Factory::IFactoryCamera::Option>(m_key);
    }
    void setKey(Factory::IFactoryCamera::Option key) { m_key = static_cast<uint8_t>(key); }

private:
    uint8_t m_key = 255;
};

} // namespace V1
} // namespace kv
