#pragma once

#include <cstdint>

#include <kvapi/kvapi.h>

#include "firmware/Clock.h"

namespace kvsim {

// The mechanical shutter: each command takes the configured time, reported
// as opening, closing or exercising until it is done.
class Shutter {
public:
    Shutter(bool present, uint32_t moveMs);

    bool present() const { return m_present; }
    bool busy(TimePoint now) const;
    // InitializeShutter, OpenShutter, CloseShutter or ExcerciseShutter; any other
    // code is InvalidParameter, a command while moving DeviceBusy.
    kv::EStatusCode command(uint32_t action, TimePoint now);
    kv::EShutterStatus status(TimePoint now) const;
    Duration moveTime() const { return m_moveTime; }

private:
    bool m_present;
    Duration m_moveTime;
    kv::EShutterStatus m_settled = kv::ShutterClosed; // where it ends up
    kv::EShutterStatus m_moving = kv::ShutterClosed;  // what it reports until then
    TimePoint m_doneAt{};
};

} // namespace kvsim
