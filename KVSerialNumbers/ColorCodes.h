#pragma once

#include <cstdint>

namespace kv {

// Colour variant of a camera, two bits of a serial number.
// Scoped: the public EFilterType already has unscoped Color and SparseColor.
enum class ColorCodes : std::int32_t {
    Mono = 0,
    Color = 1,
    SparseColor = 2,
    Count = 3,
    First = 0,
    Last = 2,
    InvalidColorCode = 255,
};

} // namespace kv
