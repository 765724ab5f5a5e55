#pragma once

#include "protocol/MemoryConfigBody.h"

namespace kv {
namespace V1 {

// Answer to ReadMemoryConfig: the camera's memory-configuration record.
class ReadMemoryConfigResponseBody : public MemoryConfigBody {
public:
    ReadMemoryConfigResponseBody();
    // Parses with the layout of the protocol version given.
    explicit ReadMemoryConfigResponseBody(IOBufferPtr buffer, size_t protocolVersion = 1);
};

} // namespace V1
} // namespace kv
