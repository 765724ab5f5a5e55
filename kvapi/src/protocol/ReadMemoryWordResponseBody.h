#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi_factory.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to ReadMemoryWord: the word read.
class ReadMemoryWordResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 2;

    ReadMemoryWordResponseBody();
    explicit ReadMemoryWordResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ReadMemory::Buffer getData() const { return m_data; }
    void setData(ReadMemory::Buffer data) { m_data = data; }

private:
    ReadMemory::Buffer m_data;
};

} // namespace V1
} // namespace kv
