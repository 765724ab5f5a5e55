#include "protocol/ReadMemoryConfigResponseBody.h"

namespace kv {
namespace V1 {

ReadMemoryConfigResponseBody::ReadMemoryConfigResponseBody()
    : MemoryConfigBody(BodyType::ReadMemoryConfig)
{
}

ReadMemoryConfigResponseBody::ReadMemoryConfigResponseBody(IOBufferPtr buffer, size_t protocolVersion)
    : ReadMemoryConfigResponseBody()
{
    setProtocolVersion(protocolVersion);
    MemoryConfigBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
