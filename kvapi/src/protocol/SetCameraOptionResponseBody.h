#pragma once

#include "protocol/CameraOptionBody.h"

namespace kv {
namespace V1 {

// Answer to SetCameraOption: the option and the value the camera now holds.
class SetCameraOptionResponseBody : public CameraOptionBody {
public:
    SetCameraOptionResponseBody();
    explicit SetCameraOptionResponseBody(IOBufferPtr buffer);
};

} // namespace V1
} // namespace kv
