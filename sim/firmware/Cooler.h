#pragma once

#include "firmware/CameraConfig.h"
#include "firmware/Clock.h"

namespace kvsim {

// Thermoelectric cooler and the sensor's temperature. The sensor moves toward
// the set-point at a fixed rate, never further than the cooler can hold below
// ambient; power follows the load, and the heat sink warms with the power.
class Cooler {
public:
    Cooler(const ThermalConfig& config, TimePoint start);

    void set(bool enabled, float setpoint, TimePoint now);

    bool enabled() const { return m_enabled; }
    float setpoint() const { return m_setpoint; }
    float sensorTemperature(TimePoint now);
    float heatSinkTemperature(TimePoint now);
    float power(TimePoint now); // percent, 0 to 100

private:
    void advance(TimePoint now);
    float target() const;

    ThermalConfig m_config;
    bool m_enabled = false;
    float m_setpoint = 0.0f;
    float m_temperature;
    TimePoint m_time;
};

} // namespace kvsim
