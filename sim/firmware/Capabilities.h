#pragma once

#include <map>
#include <string>

#include <kvapi/kvapi.h>

namespace kvsim {
namespace Capabilities {

using Table = std::map<kv::ICamera::Capability, bool>;

// Every hardware capability (0 to 21), those of the model's base table true.
// Models without a table of their own get all false.
Table defaultsFor(kv::ICamera::Model model);

// The capability named "eSupportsFan" ... "eSupportsMetadataKeys", or
// InvalidCameraCapability.
kv::ICamera::Capability fromName(const std::string& name);

} // namespace Capabilities
} // namespace kvsim
