#pragma once

#include <functional>
#include <memory>

#include "protocol/Message.h"
#include "transport/NetEndpoint.h"

// Request frames made with the library's own messages, and answers read back
// with them, for driving a virtual camera.
namespace simframes {

// Fills the request body before the frame is made.
using Fill = std::function<void(kv::Message&)>;

inline kv::IOBufferPtr request(kv::BodyType type, const Fill& fill = Fill(), unsigned sensorId = 0,
                               kv::FooterType footer = kv::V1None)
{
    kv::V1RequestMessage message(type, footer);
    if (fill)
        fill(message);
    message.setSensorId(sensorId);
    message.updateEndpoint(std::make_shared<kv::NetEndpoint>("127.0.0.2", 6363, 0), -1);
    // The library fills a CRC-8 only for raw endpoints; a test peer fills it always.
    if (message.getFooter())
        message.getFooter()->update(message.getHeader(), message.getBody());
    return message.getBuffer();
}

// The request body of type T, for a Fill.
template <class T>
std::shared_ptr<T> body(kv::Message& message)
{
    return message.getTypedBody<T>();
}

inline std::shared_ptr<kv::V1ResponseMessage> response(kv::BodyType type, const kv::IOBufferPtr& frame)
{
    auto message = std::make_shared<kv::V1ResponseMessage>(type, kv::V1None);
    message->setBuffer(frame);
    return message;
}

} // namespace simframes
