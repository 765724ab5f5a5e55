#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi_factory.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Key and value of one factory option: the common layout of the GetCameraOption answer
// and of both directions of SetCameraOption.
class CameraOptionBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 3;

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    Factory::IFactoryCamera::Option getKey() const
    {
        return static_cast<Factory::IFactoryCamera::Option>(m_key);
    }
    int16_t getValue() const { return m_value; }
    void setKey(Factory::IFactoryCamera::Option key) { m_key = static_cast<uint8_t>(key); }
    void setValue(int16_t value) { m_value = value; }

protected:
    // dataLabel is "Request Data" or "Response Data"; it must outlive the body.
    CameraOptionBody(BodyType bodyType, const char* dataLabel);

private:
    const char* m_dataLabel;
    uint8_t m_key = 255;
    int16_t m_value = 0;
};

} // namespace V1
} // namespace kv
