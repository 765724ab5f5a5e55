#pragma once

#include <cstddef>

#include "gateway/types.h"

namespace kv {

// A part of a frame that can give its bytes, take bytes and tell its length.
// setBuffer is handed received bytes: implementations read only within
// buffer->length and must accept a null or short buffer without reading past it.
class Serializable {
public:
    virtual IOBufferPtr getBuffer() const = 0;
    virtual void setBuffer(const IOBufferPtr& buffer) = 0;
    virtual size_t getBufferLength() const = 0;
    virtual ~Serializable() = default;
};

} // namespace kv
