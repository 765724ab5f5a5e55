#include "firmware/Shutter.h"

#include <kvapi/kvapi_factory.h>

namespace kvsim {

namespace {

// Exercising runs the shutter open and closed twice.
constexpr int c_exerciseMoves = 4;

} // namespace

Shutter::Shutter(bool present, uint32_t moveMs)
    : m_present(present), m_moveTime(std::chrono::milliseconds(moveMs)),
      m_settled(present ? kv::ShutterClosed : kv::ShutterUninitialized), m_moving(m_settled)
{
}

bool Shutter::busy(TimePoint now) const
{
    return now < m_doneAt;
}

kv::EStatusCode Shutter::command(uint32_t action, TimePoint now)
{
    if (!m_present)
        return kv::FeatureNotSupported;
    if (action > kv::ExcerciseShutter)
        return kv::InvalidParameter;
    if (busy(now))
        return kv::DeviceBusy;
    Duration time = m_moveTime;
    switch (action) {
    case kv::InitializeShutter:
    case kv::CloseShutter:
        m_moving = kv::ShutterClosing;
        m_settled = kv::ShutterClosed;
        break;
    case kv::OpenShutter:
        m_moving = kv::ShutterOpening;
        m_settled = kv::ShutterOpen;
        break;
    default:
        m_moving = kv::ShutterExercising;
        m_settled = kv::ShutterClosed;
        time = m_moveTime * c_exerciseMoves;
        break;
    }
    m_doneAt = now + time;
    return kv::Success;
}

kv::EShutterStatus Shutter::status(TimePoint now) const
{
    return busy(now) ? m_moving : m_settled;
}

} // namespace kvsim
