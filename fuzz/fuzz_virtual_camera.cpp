// Arbitrary datagrams handed to a virtual camera: the firmware must answer or
// ignore each one without reading outside it, and every answer must be a
// frame that the library's own parser reads back as valid.
#include "firmware/ManualClock.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "protocol/Message.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const auto clock = std::make_shared<kvsim::ManualClock>();
    static const char* const presets[] = {"Brisa", "BrisaCMOS", "BrisaBC455", "BrisaBC461"};
    static std::shared_ptr<kvsim::VirtualCamera> cameras[4];
    if (size < 1)
        return 0;
    // The first byte picks the camera and how far time moves; the rest is the datagram.
    auto& camera = cameras[data[0] & 3];
    if (!camera)
        camera = kvsim::VirtualCamera::fromPreset(presets[data[0] & 3], clock);
    clock->advance(std::chrono::milliseconds(data[0] >> 2));
    const auto datagram = kv::IOBuffer::newBuffer(reinterpret_cast<const char*>(data + 1), size - 1);
    const kvsim::Reply reply = camera->receive(datagram);
    for (const auto& answer : reply.datagrams) {
        if (answer->length < 2)
            std::abort();
        kv::V1ResponseMessage message(static_cast<kv::BodyType>(static_cast<uint8_t>(answer->data[1])), kv::V1None);
        message.setBuffer(answer);
        if (!message.validate() || message.getStatusCode() == kv::InvalidStatus)
            std::abort();
    }
    return 0;
}
