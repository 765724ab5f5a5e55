#pragma once

#include "protocol/BaseBody.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {
namespace V2 {

// A view on one streamed packet. It has no payload of its own: streamed packets are read
// in place by the stream reader, and the factory answers PacketRequestExt with a
// GetPacketsResponseBody.
class PacketRequestExtResponseBody : public V1::BaseBody {
public:
    PacketRequestExtResponseBody();

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint16_t getPixOffset() const { return m_pixOffset; }
    void setPixOffset(uint16_t offset) { m_pixOffset = offset; }
    uint64_t getSequenceId() const { return m_sequenceId; }
    void setSequenceId(uint64_t id) { m_sequenceId = id; }
    size_t getSizePx() const { return m_sizePx; }
    void setSizePx(size_t pixels) { m_sizePx = pixels; }
    // Not owned: the pixels belong to whoever filled the view.
    uint16_t* getPixelBuffer() const { return m_pBuffer; }
    void setPixelBuffer(uint16_t* pixels) { m_pBuffer = pixels; }

private:
    uint16_t m_pixOffset = 0;
    uint64_t m_sequenceId = 0;
    size_t m_sizePx = 0;
    uint16_t* m_pBuffer = nullptr;
};

} // namespace V2
} // namespace kv
