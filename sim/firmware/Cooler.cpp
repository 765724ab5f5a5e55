#include "firmware/Cooler.h"

#include <algorithm>
#include <cmath>

namespace kvsim {

namespace {

// Within this of the target the cooler holds rather than pulls down.
constexpr float c_holdBand = 0.1f;
// Heat-sink rise per percent of cooler power.
constexpr float c_heatSinkRisePerPercent = 0.06f;

} // namespace

Cooler::Cooler(const ThermalConfig& config, TimePoint start)
    : m_config(config), m_temperature(config.ambient), m_time(start)
{
}

void Cooler::set(bool enabled, float setpoint, TimePoint now)
{
    advance(now);
    m_enabled = enabled;
    m_setpoint = setpoint;
}

float Cooler::target() const
{
    if (!m_enabled)
        return m_config.ambient;
    return std::max(m_setpoint, m_config.ambient - m_config.maxDelta);
}

void Cooler::advance(TimePoint now)
{
    if (now <= m_time)
        return;
    const double seconds = std::chrono::duration<double>(now - m_time).count();
    m_time = now;
    const float goal = target();
    const float rate = goal < m_temperature ? m_config.coolingRate : m_config.warmingRate;
    const float step = static_cast<float>(std::max(0.0, static_cast<double>(rate) * seconds));
    if (std::fabs(goal - m_temperature) <= step)
        m_temperature = goal;
    else
        m_temperature += goal < m_temperature ? -step : step;
}

float Cooler::sensorTemperature(TimePoint now)
{
    advance(now);
    return m_temperature;
}

float Cooler::power(TimePoint now)
{
    advance(now);
    if (!m_enabled)
        return 0.0f;
    if (m_temperature > target() + c_holdBand)
        return 100.0f;
    if (m_config.maxDelta <= 0.0f)
        return 100.0f;
    return std::min(100.0f, std::max(0.0f, 100.0f * (m_config.ambient - m_temperature) / m_config.maxDelta));
}

float Cooler::heatSinkTemperature(TimePoint now)
{
    return m_config.ambient + c_heatSinkRisePerPercent * power(now);
}

} // namespace kvsim
