#include "protocol/SetCameraOptionResponseBody.h"

namespace kv {
namespace V1 {

SetCameraOptionResponseBody::SetCameraOptionResponseBody()
    : CameraOptionBody(BodyType::SetCameraOption, "Response Data")
{
}

SetCameraOptionResponseBody::SetCameraOptionResponseBody(IOBufferPtr buffer)
    : SetCameraOptionResponseBody()
{
    CameraOptionBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
