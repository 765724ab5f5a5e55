#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi_factory.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// The memory-configuration record: the common layout of the ReadMemoryConfig answer
// and the WriteMemoryConfig request. Its length follows the body's protocol version:
// 32 words with the flags word where the revision has ExtendedConfigData, else 31
// words without it. The sender sets the version from the camera before the exchange.
class MemoryConfigBody : public BaseBody {
public:
    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    // Length in 16-bit words.
    size_t getDataSize() const;
    const MemoryConfig::Payload& getData() const { return m_data; }
    void setData(const MemoryConfig::Payload& data) { m_data = data; }

protected:
    explicit MemoryConfigBody(BodyType bodyType);

private:
    bool hasFlags() const;

    MemoryConfig::Payload m_data;
};

} // namespace V1
} // namespace kv
