// Camera and peripheral bodies fed with arbitrary payloads. The first byte picks the
// body class (one body type in one direction) and, for the status answer, whether the
// cooler power is converted; the rest is the payload. Whatever is parsed must
// serialise to getBufferLength() bytes, and parsing that output again must give the
// same bytes.

#include "protocol/AOGetStatusResponseBody.h"
#include "protocol/AOGotoRequestBody.h"
#include "protocol/AOInitResponseBody.h"
#include "protocol/EchoBody.h"
#include "protocol/FWGetStatusResponseBody.h"
#include "protocol/FWGotoRequestBody.h"
#include "protocol/FWInitResponseBody.h"
#include "protocol/GetCameraCapabilityRequestBody.h"
#include "protocol/GetCameraCapabilityResponseBody.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "protocol/GetCameraOptionRequestBody.h"
#include "protocol/GetCameraOptionResponseBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "protocol/GetCoolerStateResponseBody.h"
#include "protocol/GetNetworkResponseBody.h"
#include "protocol/GetPeripheralInfoResponseBody.h"
#include "protocol/PulseGuideRequestBody.h"
#include "protocol/SetCameraOptionRequestBody.h"
#include "protocol/SetCameraOptionResponseBody.h"
#include "protocol/SetCoolerRequestBody.h"
#include "protocol/SetFanSpeedRequestBody.h"
#include "protocol/SetNetworkRequestBody.h"
#include "protocol/ShutterControlRequestBody.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace kv;
using namespace kv::V1;

namespace {

template <typename T>
BaseBodyPtr make(bool)
{
    return std::make_shared<T>();
}

BaseBodyPtr makeStatus(bool convert)
{
    auto body = std::make_shared<GetCameraStatusResponseBody>();
    body->setConvertCoolerPower(convert);
    return body;
}

using Maker = BaseBodyPtr (*)(bool);

const Maker c_makers[] = {
    make<GetCameraInfoResponseBody>,        makeStatus,
    make<GetCameraCapabilityRequestBody>,   make<GetCameraCapabilityResponseBody>,
    make<GetCameraOptionRequestBody>,       make<GetCameraOptionResponseBody>,
    make<SetCameraOptionRequestBody>,       make<SetCameraOptionResponseBody>,
    make<SetCoolerRequestBody>,             make<GetCoolerStateResponseBody>,
    make<SetFanSpeedRequestBody>,           make<ShutterControlRequestBody>,
    make<SetNetworkRequestBody>,            make<GetNetworkResponseBody>,
    make<FWGotoRequestBody>,                make<FWInitResponseBody>,
    make<FWGetStatusResponseBody>,          make<AOGotoRequestBody>,
    make<AOInitResponseBody>,               make<AOGetStatusResponseBody>,
    make<PulseGuideRequestBody>,            make<EchoBody>,
    make<GetPeripheralInfoResponseBody>,
};

constexpr size_t c_makerCount = sizeof(c_makers) / sizeof(c_makers[0]);

bool sameBytes(const IOBufferPtr& a, const IOBufferPtr& b)
{
    const size_t lengthA = a ? a->length : 0;
    const size_t lengthB = b ? b->length : 0;
    return lengthA == lengthB && (lengthA == 0 || std::memcmp(a->data, b->data, lengthA) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const Maker maker = c_makers[(data[0] & 0x7F) % c_makerCount];
    const bool convert = (data[0] & 0x80) == 0;

    // An exact-size copy, so that the sanitizer sees any read past the payload.
    const IOBufferPtr payload =
        size > 1 ? IOBuffer::newBuffer(reinterpret_cast<const char*>(data + 1), size - 1) : IOBufferPtr();
    const BaseBodyPtr body = maker(convert);
    body->setBuffer(payload);

    const IOBufferPtr first = body->getBuffer();
    if ((first ? first->length : 0) != body->getBufferLength())
        std::abort();
    (void)body->getMessageDataString();

    const BaseBodyPtr again = maker(convert);
    again->setBuffer(first);
    if (!sameBytes(first, again->getBuffer()))
        std::abort();
    (void)again->getMessageDataString();
    return 0;
}
