#pragma once

#include "transport/Comm.h"

#include <cstddef>
#include <cstdint>

namespace kv {

// A transport with raw packet access (the network one): image datagrams are
// read straight from its receive queue, raw frames written as they are.
class CommExt : public Comm {
public:
    using Comm::Comm;

    virtual bool peekRaw(uint8_t*& data, size_t& length) = 0;
    virtual bool peekRaw(uint32_t channel, uint8_t*& data, size_t& length) = 0;
    virtual bool popRaw() = 0;
    virtual bool popRaw(uint32_t channel) = 0;
    virtual bool writeRaw(uint8_t* data, size_t length, EndpointPtr endpoint) = 0;
    virtual void getImgChannels(uint32_t& ip0, uint16_t& port0, uint16_t& channels0, uint32_t& ip1,
                                uint16_t& port1, uint16_t& channels1) = 0;
};

} // namespace kv
