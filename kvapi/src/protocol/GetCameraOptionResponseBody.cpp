#include "protocol/GetCameraOptionResponseBody.h"

namespace kv {
namespace V1 {

GetCameraOptionResponseBody::GetCameraOptionResponseBody()
    : CameraOptionBody(BodyType::GetCameraOption, "Response Data")
{
}

GetCameraOptionResponseBody::GetCameraOptionResponseBody(IOBufferPtr buffer)
    : GetCameraOptionResponseBody()
{
    CameraOptionBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
