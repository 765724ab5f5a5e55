// Arbitrary bytes as a received response frame and as a request read back
// from its own bytes. Neither may read outside the bytes or crash.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "protocol/Message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly `size` bytes, so that any read past them is caught.
    auto frame = kv::IOBuffer::newBuffer(reinterpret_cast<const char*>(data), size);

    // Pre-typed as the transports do, then parsed twice to exercise re-typing.
    kv::V1ResponseMessage response(kv::GetCameraStatus, kv::V1None);
    for (int pass = 0; pass < 2; ++pass) {
        response.setBuffer(frame);
        const bool valid = response.validate();
        const auto status = response.getStatusCode();
        // A body may refuse to serialise what it holds (an empty packet-range list).
        try {
            auto bytes = response.getBuffer();
            if (bytes && bytes->length != response.getBufferLength())
                __builtin_trap();
        } catch (const std::invalid_argument&) {
        }
        if (const auto& header = response.getHeader()) {
            (void)header->toString();
            // A transport checks a received checksum over header ‖ body.
            if (const auto& footer = response.getFooter())
                footer->validate(frame, header->getBufferLength() + header->getBodyLength());
        }
        if (const auto& body = response.getBody())
            (void)body->getMessageDataString();
        (void)valid;
        (void)status;
    }

    kv::V1RequestMessage request(frame);
    (void)request.validate();
    (void)request.getStatusCode();
    // A body may refuse to serialise what it holds (an empty packet-range list).
    try {
        if (auto bytes = request.getBuffer())
            (void)bytes->toStringList(4);
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
