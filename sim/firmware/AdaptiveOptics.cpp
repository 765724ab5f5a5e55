#include "firmware/AdaptiveOptics.h"

#include <algorithm>
#include <cstdlib>

namespace kvsim {

namespace {

// A TTX deflects at most this far either side of the center.
constexpr uint16_t c_ttxDeflection = 256;
constexpr uint16_t c_fullScale = 4095;

} // namespace

AdaptiveOptics::AdaptiveOptics(const AdaptiveOpticsConfig& config) : m_config(config) {}

bool AdaptiveOptics::present() const
{
    return m_config.model == kv::IAO::TT8 || m_config.model == kv::IAO::TTX;
}

kv::IAO::Model AdaptiveOptics::model() const
{
    return present() ? m_config.model : kv::IAO::UnknownAOModel;
}

uint16_t AdaptiveOptics::minimum() const
{
    return m_config.model == kv::IAO::TTX ? c_center - c_ttxDeflection : 0;
}

uint16_t AdaptiveOptics::maximum() const
{
    return m_config.model == kv::IAO::TTX ? c_center + c_ttxDeflection : c_fullScale;
}

kv::EStatusCode AdaptiveOptics::moveTo(uint16_t tip, uint16_t tilt, TimePoint now)
{
    if (!present())
        return kv::DeviceError;
    if (tip < minimum() || tip > maximum() || tilt < minimum() || tilt > maximum())
        return kv::InvalidParameter;
    if (now < m_doneAt)
        return kv::DeviceBusy;
    const int steps = std::max(std::abs(tip - m_tip), std::abs(tilt - m_tilt));
    m_tip = tip;
    m_tilt = tilt;
    m_doneAt = now + std::chrono::milliseconds(m_config.settleMs) +
               std::chrono::microseconds(static_cast<int64_t>(steps) * m_config.stepMicroseconds);
    return kv::Success;
}

kv::IAO::Status AdaptiveOptics::status(TimePoint now) const
{
    return now < m_doneAt ? kv::IAO::Busy : kv::IAO::Idle;
}

} // namespace kvsim
