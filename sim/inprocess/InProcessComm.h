#pragma once

// The virtual camera as a transport of the library, in the same process: each
// request frame goes to the firmware model and its answer through the
// library's own dispatch, synchronously on the caller's thread. For tests,
// benchmarks and fuzz targets that need no sockets.

#include "firmware/VirtualCamera.h"
#include "protocol/Message.h"
#include "transport/Comm.h"
#include "transport/Endpoint.h"
#include "transport/Promise.h"

#include <memory>
#include <string>

namespace kvsim {

class InProcessComm : public kv::Comm {
public:
    explicit InProcessComm(VirtualCameraPtr camera) : kv::Comm(kv::IOHandlerList_t{}), m_camera(std::move(camera)) {}

    void openDevice(kv::EndpointPtr endpoint) override
    {
        if (endpoint)
            endpoint->setIsInitialized(true);
    }
    void queryDevices(kv::MessagePtr, kv::MessagePtr, kv::EndpointPtr, kv::IOHandlerPtr) override {}
    void closeDevice(kv::EndpointPtr endpoint) override
    {
        if (endpoint)
            endpoint->setIsInitialized(false);
    }
    void receiveMessage(kv::MessageContextPtr) override {}
    size_t availablePackets() override { return 0; }
    bool isBusy() override { return false; }
    kv::FooterType getFooterType() override { return kv::V1None; }

    void sendMessage(kv::MessageContextPtr context) override
    {
        context->setSent(true);
        const kv::IOBufferPtr frame = context->getBuffer();
        if (!frame)
            return;
        if (const kv::PromisePtr promise = context->getPromise())
            promise->setStatus(kv::IPromise::Executing);
        const Reply reply = m_camera->receive(frame, "127.0.0.1:50123");
        if (reply.datagrams.empty())
            return; // silence: the promise ends by its time-out
        const kv::MessagePtr response = context->getResponse();
        // Foreign datagrams and cut-short copies come first; the answer last.
        response->setBuffer(reply.datagrams.back());
        updateHandlers(0, response, context->getEndpoint(), context);
    }
    void resendMessage(kv::MessageContextPtr context) override { sendMessage(context); }

private:
    VirtualCameraPtr m_camera;
};

} // namespace kvsim
