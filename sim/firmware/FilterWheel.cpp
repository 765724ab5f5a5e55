#include "firmware/FilterWheel.h"

namespace kvsim {

FilterWheel::FilterWheel(const FilterWheelConfig& config)
    : m_config(config), m_slots(config.slots ? config.slots : slotsOf(config.hardwareId))
{
}

uint32_t FilterWheel::slotsOf(uint8_t id)
{
    if (id <= 7)
        return 8; // TW-L
    if (id >= 16 && id <= 23)
        return 10; // TW-10
    if (id >= 24 && id <= 31)
        return 5; // TW-9
    if (id >= 32 && id <= 39)
        return 8; // TW-8
    if (id >= 48 && id <= 55)
        return 5; // FW5-MX
    if (id >= 56 && id <= 63)
        return 7; // FW7-MX
    if (id >= 64 && id <= 71)
        return (id & 7) == 1 ? 8 : 5; // FW8-8300, FW5-8300
    if (id >= 128 && id <= 135)
        return 8; // internal
    if (id == 187)
        return 5; // FW5-MF (detent)
    if (id >= 184 && id <= 191)
        return 8; // FW8-MT
    if (id >= 136 && id <= 150)
        return 16u - (id - 136u); // BFW-16 down to BFW-2
    return 0;
}

kv::EStatusCode FilterWheel::moveTo(uint32_t position, TimePoint now)
{
    if (!m_config.present || m_slots == 0)
        return kv::DeviceError;
    if (position < 1 || position > m_slots)
        return kv::InvalidParameter;
    if (now < m_doneAt)
        return kv::DeviceBusy;
    // The wheel turns one way only.
    const uint32_t distance = (position + m_slots - m_position) % m_slots;
    m_position = position;
    m_doneAt = now + std::chrono::milliseconds(static_cast<int64_t>(distance) * m_config.slotMoveMs);
    return kv::Success;
}

void FilterWheel::home(TimePoint now)
{
    // The answer leaves once the wheel is there: no move is left to report.
    if (!m_config.present || m_slots == 0)
        return;
    m_position = 1;
    m_doneAt = now;
}

kv::IFW::Status FilterWheel::status(TimePoint now) const
{
    return now < m_doneAt ? kv::IFW::FWBusy : kv::IFW::FWIdle;
}

} // namespace kvsim
