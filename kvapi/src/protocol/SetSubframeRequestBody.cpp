#include "protocol/SetSubframeRequestBody.h"

namespace kv {
namespace V1 {

SetSubframeRequestBody::SetSubframeRequestBody()
    : SubframeBody(BodyType::SetSubframe, "Request Data")
{
}

SetSubframeRequestBody::SetSubframeRequestBody(IOBufferPtr buffer)
    : SetSubframeRequestBody()
{
    SubframeBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
