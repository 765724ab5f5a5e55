#include "protocol/PacketRequestExtResponseBody.h"

namespace kv {
namespace V2 {

PacketRequestExtResponseBody::PacketRequestExtResponseBody()
    : BaseBody(SohType::Cmd, BodyType::PacketRequestExt)
{
}

IOBufferPtr PacketRequestExtResponseBody::getBuffer() const
{
    return {};
}

void PacketRequestExtResponseBody::setBuffer(const IOBufferPtr&) {}

size_t PacketRequestExtResponseBody::getBufferLength() const
{
    return 0;
}

std::string PacketRequestExtResponseBody::getMessageDataString() const
{
    return {};
}

} // namespace V2
} // namespace kv
