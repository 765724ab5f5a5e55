#include "protocol/WriteMemoryConfigRequestBody.h"

namespace kv {
namespace V1 {

WriteMemoryConfigRequestBody::WriteMemoryConfigRequestBody()
    : MemoryConfigBody(BodyType::WriteMemoryConfig)
{
}

WriteMemoryConfigRequestBody::WriteMemoryConfigRequestBody(IOBufferPtr buffer, size_t protocolVersion)
    : WriteMemoryConfigRequestBody()
{
    setProtocolVersion(protocolVersion);
    MemoryConfigBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
