#pragma once

#include <cstdint>
#include <vector>

#include <kvapi/kvapi.h>

#include "firmware/CameraConfig.h"
#include "firmware/Clock.h"

namespace kvsim {

// The primary filter wheel: moves forward one slot at a time, busy for the
// configured time per slot. Positions are the wire's, 1 to slots.
class FilterWheel {
public:
    // Hardware id reported when the port has no wheel.
    static constexpr uint8_t c_noWheelId = 255;

    explicit FilterWheel(const FilterWheelConfig& config);

    bool present() const { return m_config.present; }
    uint8_t hardwareId() const { return m_config.present ? m_config.hardwareId : c_noWheelId; }
    uint32_t slots() const { return m_slots; }
    const std::vector<uint8_t>& children() const { return m_config.children; }

    // Positions outside 1 to slots are InvalidParameter; a move while moving is DeviceBusy.
    kv::EStatusCode moveTo(uint32_t position, TimePoint now);
    // Initialisation finds the wheel's first slot, as the library expects of it,
    // and answers once it is there.
    void home(TimePoint now);
    kv::IFW::Status status(TimePoint now) const;
    uint32_t position() const { return m_position; } // where it is or is going

    // Slots of the wheel a hardware id names; 0 for an unknown id.
    static uint32_t slotsOf(uint8_t hardwareId);

private:
    FilterWheelConfig m_config;
    uint32_t m_slots;
    uint32_t m_position = 1;
    TimePoint m_doneAt{};
};

} // namespace kvsim
