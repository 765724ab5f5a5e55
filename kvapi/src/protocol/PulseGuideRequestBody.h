#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Starts a guide pulse on one axis, or aborts the running one.
class PulseGuideRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 6;

    PulseGuideRequestBody();
    explicit PulseGuideRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    EPulseGuideDirection getGuideDirection() const
    {
        return static_cast<EPulseGuideDirection>(m_guideDirection);
    }
    uint32_t getGuideDuration() const { return m_guideDuration; }
    bool getAbort() const { return m_abort; }
    void setGuideDirection(EPulseGuideDirection direction) { m_guideDirection = static_cast<uint8_t>(direction); }
    void setGuideDuration(uint32_t duration) { m_guideDuration = duration; }
    void setAbort(bool abort) { m_abort = abort; }

private:
    uint8_t m_guideDirection = 0;
    uint32_t m_guideDuration = 0;
    bool m_abort = false;
};

} // namespace V1
} // namespace kv
