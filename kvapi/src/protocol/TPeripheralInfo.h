#pragma once

#include <cstdint>
#include <vector>

namespace kv {
namespace V1 {

// Kind of device behind one record of a GetPeripheralInfo answer. Scoped, so that its
// enumerators do not hide the component classes of the same names.
enum class PeripheralType : uint32_t {
    FilterWheel = 0,
    Sensor = 1,
    AdaptiveOptics = 2
};

// One peripheral as the camera reports it; the model code is interpreted per type.
struct TPeripheralInfo {
    PeripheralType type = PeripheralType::FilterWheel;
    uint32_t model = 0;
    uint32_t address = 0;
};

using TPeripheralInfoList = std::vector<TPeripheralInfo>;

} // namespace V1
} // namespace kv
