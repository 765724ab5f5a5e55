#pragma once

#include <kvapi/kvapi.h>

#include <cstdint>
#include <map>

namespace kv {
namespace Capabilities {

using CapabilityMap = std::map<ICamera::Capability, bool>;

// Firmware revision from which a camera answers capability queries.
constexpr uint32_t c_minFWCapabilityQueries = 18;

// What each model supports before (or without) asking it: an entry for every
// hardware capability. Models without an entry start with an empty table.
extern const std::map<ICamera::Model, CapabilityMap> c_defaultCapabilities;

} // namespace Capabilities
} // namespace kv
