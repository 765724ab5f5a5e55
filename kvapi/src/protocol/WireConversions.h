#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Conversions between engineering values and the scaled integers that travel in bodies.
namespace kv {
namespace V1 {
namespace WireConversions {

// Nearest integer of T (halves away from zero), saturated to T's range; NaN gives 0.
// Plain truncation would turn e.g. 11.995 V back into code 877 instead of 878, and an
// out-of-range float-to-integer conversion is undefined behaviour.
template <typename T>
T toWireInteger(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::round(value);
    if (rounded <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (rounded >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(rounded);
}

// Signed hundredths of a degree Celsius.
inline float temperatureFromWire(int16_t hundredths)
{
    return static_cast<float>(hundredths) / 100.0f;
}

inline int16_t temperatureToWire(float celsius)
{
    return toWireInteger<int16_t>(celsius * 100.0f);
}

// Input voltage code: volts = 13.99 * code / 1024.
inline float inputVoltageFromWire(uint16_t code)
{
    return 13.99f * static_cast<float>(code) / 1024.0f;
}

inline uint16_t inputVoltageToWire(float volts)
{
    return toWireInteger<uint16_t>(volts * 1024.0f / 13.99f);
}

// Cooler power code: percent = 4080 / (295.8 - code); code 255 is 100 %.
inline float coolerPowerFromWire(uint8_t code, bool convert)
{
    if (!convert)
        return static_cast<float>(code);
    return 4080.0f / (295.8f - static_cast<float>(code));
}

inline uint8_t coolerPowerToWire(float percent, bool convert)
{
    if (!convert)
        return toWireInteger<uint8_t>(percent);
    // No power (or nonsense) is the lowest code rather than a division by zero.
    if (!(percent > 0.0f))
        return 0;
    return toWireInteger<uint8_t>(295.8f - 4080.0f / percent);
}

// Cooler set-point in hundredths, rounded half away from zero: the product is formed in
// single precision and the half added in double, so -10.005 gives -1001.
inline int16_t setpointToWire(float celsius)
{
    const float product = std::fabs(celsius) * 100.0f;
    const double magnitude = std::floor(static_cast<double>(product) + 0.5);
    return toWireInteger<int16_t>(celsius < 0.0f ? -magnitude : magnitude);
}

// Truncated toward zero (as a cast would) and saturated to T's range; NaN gives 0.
// A cast of a value outside T's range is undefined behaviour.
template <typename T>
T truncateToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    const double truncated = std::trunc(value);
    if (truncated <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (truncated >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(truncated);
}

// ADC offsets travel as 16-bit sign-magnitude words: bit 8 set for a negative offset,
// bits 0 to 7 the magnitude. Magnitudes above 255 saturate at 255 rather than keep
// their low 8 bits, which would turn 300 into 44.
constexpr uint16_t c_adcOffsetSignBit = 0x100;
constexpr uint16_t c_adcOffsetMagnitudeMask = 0xFF;

inline uint16_t adcOffsetToWire(int32_t offset)
{
    const int64_t magnitude = offset < 0 ? -static_cast<int64_t>(offset) : offset;
    const auto bits = static_cast<uint16_t>(magnitude > c_adcOffsetMagnitudeMask ? c_adcOffsetMagnitudeMask : magnitude);
    return offset < 0 ? static_cast<uint16_t>(c_adcOffsetSignBit | bits) : bits;
}

// Bits above the sign are ignored.
inline int32_t adcOffsetFromWire(uint16_t word)
{
    const int32_t magnitude = word & c_adcOffsetMagnitudeMask;
    return (word & c_adcOffsetSignBit) ? -magnitude : magnitude;
}

} // namespace WireConversions
} // namespace V1
} // namespace kv
