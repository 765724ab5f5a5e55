// Answers from a camera as its handlers receive them: the camera, cooler,
// filter wheel and adaptive optics must store what a well-formed answer says
// and refuse the rest with an exception the dispatch turns into a failed
// promise, never reading past the answer or growing without bound.

#include "camera/AO.h"
#include "camera/Camera.h"
#include "camera/FW.h"
#include "camera/TEC.h"
#include "protocol/Message.h"
#include "transport/MessageContext.h"
#include "transport/NetEndpoint.h"
#include "transport/UDPComm.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>

using namespace kv;

namespace {

struct Rig {
    Rig()
    {
        camera.setEndpoint(endpoint);
        camera.setComm(comm);
        tec = std::make_shared<TEC>(camera);
        fw = std::make_shared<FW>(camera);
        ao = std::make_shared<AO>(camera);
    }
    std::shared_ptr<NetEndpoint> endpoint = std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0);
    std::shared_ptr<UDPComm> comm = std::make_shared<UDPComm>(); // opens nothing, sends nothing
    Camera camera;
    std::shared_ptr<TEC> tec;
    std::shared_ptr<FW> fw;
    std::shared_ptr<AO> ao;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Rig rig;
    if (size < 2) {
        return 0;
    }
    const auto bodyType = static_cast<BodyType>(data[1]);
    auto request = std::make_shared<V1RequestMessage>(bodyType, V1None);
    auto response = std::make_shared<V1ResponseMessage>(bodyType, V1None);
    auto context = std::make_shared<MessageContext>(request, response, rig.endpoint, Medium, nullptr, "fuzz");
    const IOBufferPtr datagram = IOBuffer::newBuffer(reinterpret_cast<const char*>(data), size);
    if (!rig.comm->parsePacket(context, datagram) || !response->validate()) {
        return 0;
    }
    IOHandler* const handlers[] = {&rig.camera, rig.tec.get(), rig.fw.get(), rig.ao.get()};
    for (IOHandler* handler : handlers) {
        try {
            handler->receiveMessage(*response, rig.endpoint, context);
        } catch (const std::runtime_error&) {
            // A malformed answer: the dispatch fails the exchange's promise.
        }
    }
    for (const V1::TPeripheralInfo& peripheral : rig.camera.getPeripherals()) {
        if (peripheral.type == V1::PeripheralType::FilterWheel) {
            rig.fw->registerChild(peripheral);
        }
    }
    if (rig.fw->getChildCount() > 256) {
        __builtin_trap();
    }
    char serial[8];
    size_t length = sizeof(serial);
    rig.camera.getSerial(serial, length);
    if (length > sizeof(serial)) {
        __builtin_trap();
    }
    (void)rig.fw->getModelName(rig.fw->getChildCount());
    return 0;
}
