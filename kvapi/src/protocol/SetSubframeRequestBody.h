#pragma once

#include "protocol/SubframeBody.h"

namespace kv {
namespace V1 {

// Tells the camera which part of the sensor to read and how to bin it.
class SetSubframeRequestBody : public SubframeBody {
public:
    SetSubframeRequestBody();
    explicit SetSubframeRequestBody(IOBufferPtr buffer);
};

} // namespace V1
} // namespace kv
