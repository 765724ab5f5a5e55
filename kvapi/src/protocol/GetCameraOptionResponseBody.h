#pragma once

#include "protocol/CameraOptionBody.h"

namespace kv {
namespace V1 {

// Answer to GetCameraOption: the option and its value.
class GetCameraOptionResponseBody : public CameraOptionBody {
public:
    GetCameraOptionResponseBody();
    explicit GetCameraOptionResponseBody(IOBufferPtr buffer);
};

} // namespace V1
} // namespace kv
