// Every body type of the body factory, in both directions, fed with arbitrary
// payloads. Byte 0 is the body type code; byte 1 picks the direction (bit 0: response),
// the cooler-power conversion of the status answer (bit 1: raw) and the body's
// protocol version (bits 2-5); the rest is the payload. Whatever is parsed must
// serialise to getBufferLength() bytes, and parsing that output again must give the
// same bytes. Bodies added to the factory are covered as they come.

#include "gateway/utilities.h"
#include "protocol/BodyFactory.h"
#include "protocol/GetCameraStatusResponseBody.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

using namespace kv;
using namespace kv::V1;

namespace {

// Bodies whose two directions differ by design: serialising puts a 32-bit payload
// length in front of what parsing takes as the whole payload.
struct LengthPrefixed {
    HeaderType direction;
    BodyType bodyType;
};

const LengthPrefixed c_lengthPrefixed[] = {
    {V1Response, ConfigDataDownloadExt},
};

bool isLengthPrefixed(HeaderType direction, BodyType bodyType)
{
    for (const LengthPrefixed& entry : c_lengthPrefixed)
        if (entry.direction == direction && entry.bodyType == bodyType)
            return true;
    return false;
}

size_t lengthOf(const IOBufferPtr& buffer)
{
    return buffer ? buffer->length : 0;
}

bool sameBytes(const IOBufferPtr& a, const IOBufferPtr& b)
{
    const size_t length = lengthOf(a);
    return length == lengthOf(b) && (length == 0 || std::memcmp(a->data, b->data, length) == 0);
}

struct Options {
    HeaderType direction;
    BodyType bodyType;
    bool convertCoolerPower;
    size_t protocolVersion;
};

BaseBodyPtr makeBody(const V1BodyFactory& factory, const Options& options)
{
    BaseBodyPtr body = factory.generateBody(options.direction, options.bodyType);
    if (!body)
        return body;
    body->setProtocolVersion(options.protocolVersion);
    if (const auto status = std::dynamic_pointer_cast<GetCameraStatusResponseBody>(body))
        status->setConvertCoolerPower(options.convertCoolerPower);
    return body;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const Options options = {(data[1] & 0x01) ? V1Response : V1Request, static_cast<BodyType>(data[0]),
                             (data[1] & 0x02) == 0, static_cast<size_t>((data[1] >> 2) & 0x0F)};
    const V1BodyFactory factory;
    const BaseBodyPtr body = makeBody(factory, options);
    if (!body)
        return 0;
    if (body->getBodyType() != options.bodyType || body->getSohType() != Cmd)
        std::abort();

    // An exact-size copy, so that the sanitizer sees any read past the payload.
    const IOBufferPtr payload =
        size > 2 ? IOBuffer::newBuffer(reinterpret_cast<const char*>(data + 2), size - 2) : IOBufferPtr();

    // A body may refuse bytes it cannot make sense of, or a content it cannot
    // serialise, with std::invalid_argument; the frame then counts as malformed.
    IOBufferPtr first;
    try {
        body->setBuffer(payload);
        first = body->getBuffer();
    } catch (const std::invalid_argument&) {
        return 0;
    }
    if (lengthOf(first) != body->getBufferLength())
        std::abort();
    (void)body->getMessageDataString();

    // What a body wrote it must read back.
    IOBufferPtr input = first;
    if (isLengthPrefixed(options.direction, options.bodyType)) {
        uint32_t prefix = 0;
        if (lengthOf(first) < sizeof prefix)
            std::abort();
        utl::copy::from(&prefix, first->data);
        if (prefix != first->length - sizeof prefix)
            std::abort();
        input = first->extract(sizeof prefix, prefix);
    }
    const BaseBodyPtr again = makeBody(factory, options);
    again->setBuffer(input);
    if (!sameBytes(first, again->getBuffer()))
        std::abort();
    (void)again->getMessageDataString();
    return 0;
}
