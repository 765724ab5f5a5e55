#include "protocol/SetCameraOptionRequestBody.h"

namespace kv {
namespace V1 {

SetCameraOptionRequestBody::SetCameraOptionRequestBody()
    : CameraOptionBody(BodyType::SetCameraOption, "Request Data")
{
}

SetCameraOptionRequestBody::SetCameraOptionRequestBody(IOBufferPtr buffer)
    : SetCameraOptionRequestBody()
{
    CameraOptionBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
