#pragma once

#include <cstdint>

#include <kvapi/kvapi.h>

#include "firmware/CameraConfig.h"
#include "firmware/Clock.h"

namespace kvsim {

// The tip/tilt unit: a move inside the unit's limits keeps it busy for a
// settling time plus a time per step on the longer axis.
class AdaptiveOptics {
public:
    static constexpr uint16_t c_center = 2048;

    explicit AdaptiveOptics(const AdaptiveOpticsConfig& config);

    bool present() const;
    // The model AOInit reports: UnknownAOModel when none is attached.
    kv::IAO::Model model() const;
    uint16_t minimum() const;
    uint16_t maximum() const;

    // Outside the limits: InvalidParameter; while moving: DeviceBusy.
    kv::EStatusCode moveTo(uint16_t tip, uint16_t tilt, TimePoint now);
    kv::IAO::Status status(TimePoint now) const;
    uint16_t tip() const { return m_tip; }
    uint16_t tilt() const { return m_tilt; }

private:
    AdaptiveOpticsConfig m_config;
    uint16_t m_tip = c_center;
    uint16_t m_tilt = c_center;
    TimePoint m_doneAt{};
};

} // namespace kvsim
