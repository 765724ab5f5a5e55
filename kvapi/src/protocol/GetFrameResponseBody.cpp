#include "protocol/GetFrameResponseBody.h"

namespace kv {
namespace V1 {

GetFrameResponseBody::GetFrameResponseBody()
    : GetPacketsResponseBody(BodyType::GetFrameRequest)
{
}

GetFrameResponseBody::GetFrameResponseBody(IOBufferPtr buffer)
    : GetFrameResponseBody()
{
    GetFrameResponseBody::setBuffer(buffer);
}

IOBufferPtr GetFrameResponseBody::getBuffer() const
{
    return writePixels(0);
}

void GetFrameResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer)
        return;
    readPixels(buffer, 0);
}

size_t GetFrameResponseBody::getBufferLength() const
{
    return 2 * maxPixels();
}

} // namespace V1
} // namespace kv
