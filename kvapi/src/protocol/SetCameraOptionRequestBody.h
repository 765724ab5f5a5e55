#pragma once

#include "protocol/CameraOptionBody.h"

namespace kv {
namespace V1 {

// Sets one factory option to a value.
class SetCameraOptionRequestBody : public CameraOptionBody {
public:
    SetCameraOptionRequestBody();
    explicit SetCameraOptionRequestBody(IOBufferPtr buffer);
};

} // namespace V1
} // namespace kv
