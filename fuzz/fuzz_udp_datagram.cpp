// Datagrams as the UDP transport receives them: parsePacket must never read
// past the bytes received, whatever the header announces, and a datagram it
// accepts must leave a response that answers the request.

#include "protocol/Message.h"
#include "transport/MessageContext.h"
#include "transport/NetEndpoint.h"
#include "transport/UDPComm.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static UDPComm comm;
    static const auto endpoint = std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0);
    // The request's body type is chosen by the datagram itself, half of the
    // time, so that both matching and foreign answers are explored.
    const BodyType expected =
        size > 1 && (data[0] & 1) ? static_cast<BodyType>(data[1]) : static_cast<BodyType>(size % LastBodyType);
    auto request = std::make_shared<V1RequestMessage>(expected, V1None);
    auto response = std::make_shared<V1ResponseMessage>(expected, V1None);
    auto context = std::make_shared<MessageContext>(request, response, endpoint, Medium, nullptr, "fuzz");

    // Exactly the bytes received: a read past them is caught by the sanitizer.
    const IOBufferPtr datagram = IOBuffer::newBuffer(reinterpret_cast<const char*>(data), size);
    if (comm.parsePacket(context, datagram)) {
        const BaseHeaderPtr& header = response->getHeader();
        if (!header || header->getHeaderType() != V1Response || header->getBodyType() != expected ||
            response->isMalformed() || header->getBufferLength() + header->getBodyLength() > size) {
            __builtin_trap();
        }
        (void)response->validate();
        (void)response->getStatusCode();
        (void)response->getBuffer();
    }
    return 0;
}
