#include "protocol/GetSubframeResponseBody.h"

#include "protocol/CameraStringMaps.h"

namespace kv {
namespace V1 {

GetSubframeResponseBody::GetSubframeResponseBody()
    : SubframeBody(BodyType::GetSubframe, "Response Data")
{
}

GetSubframeResponseBody::GetSubframeResponseBody(IOBufferPtr buffer)
    : GetSubframeResponseBody()
{
    SubframeBody::setBuffer(buffer);
}

std::string GetSubframeResponseBody::getMessageDataString() const
{
    return SubframeBody::getMessageDataString() + " | On Chip Binning: " + StringMaps::mapYesNo(m_onChipBinning);
}

} // namespace V1
} // namespace kv
