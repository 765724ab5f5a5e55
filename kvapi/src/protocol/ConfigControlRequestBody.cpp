#include "protocol/ConfigControlRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

namespace {

// flashErasePartition has no name in the log.
const char* commandName(uint8_t command)
{
    switch (command) {
    case flashReadStatus: return "flashReadStatus";
    case flashWriteStatus: return "flashWriteStatus";
    case flashSectorErase: return "flashSectorErase";
    default: return "";
    }
}

} // namespace

ConfigControlRequestBody::ConfigControlRequestBody()
    : BaseBody(SohType::Cmd, BodyType::ConfigControl)
{
}

ConfigControlRequestBody::ConfigControlRequestBody(IOBufferPtr buffer)
    : ConfigControlRequestBody()
{
    ConfigControlRequestBody::setBuffer(buffer);
}

IOBufferPtr ConfigControlRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_command);
    utl::copy::to(buffer->data + 1, m_parameter);
    return buffer;
}

void ConfigControlRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_command, buffer->data + 0);
    utl::copy::from(&m_parameter, buffer->data + 1);
}

size_t ConfigControlRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string ConfigControlRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Command: " << commandName(m_command)
        << " | Parameter: " << static_cast<unsigned>(m_parameter);
    return out.str();
}

} // namespace V1
} // namespace kv
