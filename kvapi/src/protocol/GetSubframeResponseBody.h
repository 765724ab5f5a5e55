#pragma once

#include "protocol/SubframeBody.h"

#include <string>

namespace kv {
namespace V1 {

// Answer to GetSubframe: the subframe the camera reads now.
class GetSubframeResponseBody : public SubframeBody {
public:
    GetSubframeResponseBody();
    explicit GetSubframeResponseBody(IOBufferPtr buffer);

    std::string getMessageDataString() const override;

    // Not on the wire: the sensor fills it from its own setting, for the log.
    bool getOnChipBinning() const { return m_onChipBinning; }
    void setOnChipBinning(bool onChip) { m_onChipBinning = onChip; }

private:
    bool m_onChipBinning = false;
};

} // namespace V1
} // namespace kv
