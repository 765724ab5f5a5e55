#include "protocol/AOGotoRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

AOGotoRequestBody::AOGotoRequestBody()
    : BaseBody(SohType::Cmd, BodyType::AOGoto)
{
}

AOGotoRequestBody::AOGotoRequestBody(IOBufferPtr buffer)
    : AOGotoRequestBody()
{
    AOGotoRequestBody::setBuffer(buffer);
}

IOBufferPtr AOGotoRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_tip);
    utl::copy::to(buffer->data + 2, m_tilt);
    return buffer;
}

void AOGotoRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_tip, buffer->data + 0);
    utl::copy::from(&m_tilt, buffer->data + 2);
}

size_t AOGotoRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string AOGotoRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Tip: " << m_tip
        << " | Tilt: " << m_tilt;
    return out.str();
}

} // namespace V1
} // namespace kv
