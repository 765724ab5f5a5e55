#pragma once

// Sizes and counts written as 4_KB, 16_MB, 10_K.
constexpr unsigned long long operator""_KB(unsigned long long value)
{
    return value * 1024ULL;
}

constexpr unsigned long long operator""_MB(unsigned long long value)
{
    return value * 1048576ULL;
}

constexpr unsigned long long operator""_K(unsigned long long value)
{
    return value * 1000ULL;
}
