#pragma once

#include "protocol/BaseBody.h"

#include <string>

namespace kv {
namespace V1 {

// Answer to GetImageMetadata: the key/value metadata text of the last image, pairs
// ended by 0x02 and each key separated from its value by 0x01.
class GetImageMetadataResponseBody : public BaseBody {
public:
    GetImageMetadataResponseBody();
    explicit GetImageMetadataResponseBody(IOBufferPtr buffer);

    // The text and a terminating zero.
    IOBufferPtr getBuffer() const override;
    // The text ends at the first zero byte or with the received bytes, whichever
    // comes first.
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    // The text with 0x01 shown as "=" and 0x02 as ";".
    std::string getMessageDataString() const override;

    const std::string& getMetadata() const { return m_metadata; }
    // Cut at a zero byte, which could not travel.
    void setMetadata(const std::string& text);

private:
    std::string m_metadata;
};

} // namespace V1
} // namespace kv
