#include "protocol/AccessSensorCalibrationByKeyBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

template <BodyType B, bool IsRequest>
AccessSensorCalibrationByKeyBody<B, IsRequest>::AccessSensorCalibrationByKeyBody()
    : BaseBody(SohType::Cmd, B)
{
}

template <BodyType B, bool IsRequest>
AccessSensorCalibrationByKeyBody<B, IsRequest>::AccessSensorCalibrationByKeyBody(IOBufferPtr buffer)
    : AccessSensorCalibrationByKeyBody()
{
    AccessSensorCalibrationByKeyBody::setBuffer(buffer);
}

template <BodyType B, bool IsRequest>
IOBufferPtr AccessSensorCalibrationByKeyBody<B, IsRequest>::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_key);
    utl::copy::to(buffer->data + 1, m_subkey);
    utl::copy::to(buffer->data + 2, m_value);
    return buffer;
}

template <BodyType B, bool IsRequest>
void AccessSensorCalibrationByKeyBody<B, IsRequest>::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_key, buffer->data + 0);
    utl::copy::from(&m_subkey, buffer->data + 1);
    utl::copy::from(&m_value, buffer->data + 2);
}

template <BodyType B, bool IsRequest>
size_t AccessSensorCalibrationByKeyBody<B, IsRequest>::getBufferLength() const
{
    return c_bodyLength;
}

template <BodyType B, bool IsRequest>
std::string AccessSensorCalibrationByKeyBody<B, IsRequest>::getMessageDataString() const
{
    std::ostringstream out;
    out << (B == GetHiddenSensorSetting ? "GetSensorCalibration" : "SetSensorCalibration")
        << (IsRequest ? "Request" : "Response") << "Body"
        << " | Key: " << static_cast<unsigned>(m_key)
        << " | SubKey: " << static_cast<unsigned>(m_subkey)
        << " | Value: " << m_value;
    return out.str();
}

template class AccessSensorCalibrationByKeyBody<GetHiddenSensorSetting, false>;
template class AccessSensorCalibrationByKeyBody<SetHiddenSensorSetting, true>;
template class AccessSensorCalibrationByKeyBody<SetHiddenSensorSetting, false>;

} // namespace V1
} // namespace kv
