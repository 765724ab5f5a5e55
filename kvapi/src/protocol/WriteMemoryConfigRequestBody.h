#pragma once

#include "protocol/MemoryConfigBody.h"

namespace kv {
namespace V1 {

// Writes the camera's memory-configuration record.
class WriteMemoryConfigRequestBody : public MemoryConfigBody {
public:
    WriteMemoryConfigRequestBody();
    // Parses with the layout of the protocol version given.
    explicit WriteMemoryConfigRequestBody(IOBufferPtr buffer, size_t protocolVersion = 1);
};

} // namespace V1
} // namespace kv
