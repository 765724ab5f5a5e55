#include "protocol/SubframeBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

SubframeBody::SubframeBody(BodyType bodyType, const char* dataLabel)
    : BaseBody(SohType::Cmd, bodyType)
    , m_dataLabel(dataLabel)
{
}

IOBufferPtr SubframeBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    char* p = buffer->data;
    utl::copy::to(p + 0, m_xOffset);
    utl::copy::to(p + 2, m_yOffset);
    utl::copy::to(p + 4, m_xSize);
    utl::copy::to(p + 6, m_ySize);
    utl::copy::to(p + 8, m_xBin);
    utl::copy::to(p + 9, m_yBin);
    return buffer;
}

void SubframeBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    const char* p = buffer->data;
    utl::copy::from(&m_xOffset, p + 0);
    utl::copy::from(&m_yOffset, p + 2);
    utl::copy::from(&m_xSize, p + 4);
    utl::copy::from(&m_ySize, p + 6);
    utl::copy::from(&m_xBin, p + 8);
    utl::copy::from(&m_yBin, p + 9);
}

size_t SubframeBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string SubframeBody::getMessageDataString() const
{
    std::ostringstream out;
    out << m_dataLabel
        << " | X Offset: " << m_xOffset
        << " | Y Offset: " << m_yOffset
        << " | Width: " << m_xSize
        << " | Height: " << m_ySize
        << " | X Binning: " << static_cast<unsigned>(m_xBin)
        << " | Y Binning: " << static_cast<unsigned>(m_yBin);
    return out.str();
}

} // namespace V1
} // namespace kv
