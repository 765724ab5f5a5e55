#include "protocol/GetSensorCalibrationByKeyRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

GetSensorCalibrationByKeyRequestBody::GetSensorCalibrationByKeyRequestBody()
    : BaseBody(SohType::Cmd, BodyType::GetHiddenSensorSetting)
{
}

GetSensorCalibrationByKeyRequestBody::GetSensorCalibrationByKeyRequestBody(IOBufferPtr buffer)
    : GetSensorCalibrationByKeyRequestBody()
{
    GetSensorCalibrationByKeyRequestBody::setBuffer(buffer);
}

IOBufferPtr GetSensorCalibrationByKeyRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_key);
    utl::copy::to(buffer->data + 1, m_subkey);
    return buffer;
}

void GetSensorCalibrationByKeyRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_key, buffer->data + 0);
    utl::copy::from(&m_subkey, buffer->data + 1);
}

size_t GetSensorCalibrationByKeyRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetSensorCalibrationByKeyRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "GetSensorCaibrationByKey"
        << " | Key: " << static_cast<unsigned>(m_key)
        << " | SubKey: " << static_cast<unsigned>(m_subkey);
    return out.str();
}

} // namespace V1
} // namespace kv
