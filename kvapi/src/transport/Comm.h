#pragma once

#include "gateway/types.h"
#include "protocol/protocol.h"
#include "transport/IOHandler.h"
#include "transport/MessageContext.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace kv {

class KVAPILogger;
using KVAPILoggerPtr = std::shared_ptr<KVAPILogger>;

class Comm;
using CommPtr = std::shared_ptr<Comm>;

// Base of the transports (USB, USB3, UDP): runs exchanges handed over by the
// handlers and dispatches the answers through updateHandlers().
class Comm {
public:
    using timepoint_t = std::chrono::system_clock::time_point;

    explicit Comm(IOHandler* handler);
    explicit Comm(const IOHandlerList_t& handlers);
    virtual ~Comm();
    Comm(const Comm&) = delete;
    Comm& operator=(const Comm&) = delete;

    virtual void readRaw(EndpointPtr endpoint, unsigned char* buffer, size_t& length);
    virtual void openDevice(EndpointPtr endpoint) = 0;
    virtual void queryDevices(MessagePtr request, MessagePtr response, EndpointPtr templ, IOHandlerPtr handler) = 0;
    virtual void closeDevice(EndpointPtr endpoint) = 0;
    // Read and parse the context's response, then call updateHandlers().
    virtual void receiveMessage(MessageContextPtr context) = 0;
    virtual int receiveMessages(MessageContextPtr context, size_t count, size_t unused);
    virtual size_t availablePackets() = 0;
    virtual void setRxBufferSize(size_t size);
    // Run one exchange.
    virtual void sendMessage(MessageContextPtr context) = 0;
    // Run it again after an invalid response.
    virtual void resendMessage(MessageContextPtr context) = 0;
    virtual bool isBusy() = 0;
    virtual FooterType getFooterType() = 0;
    virtual timepoint_t lastResponse();
    virtual bool processingResponses();
    virtual size_t processedResponses();
    virtual size_t queuedResponses();
    virtual bool isEnabled();
    virtual void setMaxBufferSize(uint32_t size);

    // The handler list does not route answers (the context names its handler);
    // it is consulted when a failed exchange is handed back.
    void registerHandler(IOHandler* handler);
    void unregisterHandler(IOHandler* handler);
    void clearHandlers();
    IOHandlerList_t getIoHandlers() const;
    void setIoHandlers(const IOHandlerList_t& handlers);

    // Dispatch of a parsed response: settles the context's promise and hands
    // the answer to the asking handler. Transports call it with error 0.
    void updateHandlers(int error, MessagePtr response, EndpointPtr sender, MessageContextPtr context);

    // One line naming the body type and the device, then the logger's dump of
    // the message; nothing without a logger.
    void logRequest(MessageContextPtr context);
    void logResponse(MessageContextPtr context);
    static std::string PrintBuffer(IOBufferPtr buffer);

    KVAPILoggerPtr getLogger() const;
    void setLogger(KVAPILoggerPtr logger);
    bool getAsyncIO() const { return m_isAsyncIO.load(); }
    void setAsyncIO(bool async) { m_isAsyncIO.store(async); }
    bool getAborted() const { return m_aborted.load(); }
    void setAborted(bool aborted) { m_aborted.store(aborted); }

protected:
    std::atomic<bool> m_isAsyncIO;
    std::atomic<bool> m_aborted;

private:
    bool hasHandlers() const;

    KVAPILoggerPtr m_pLogger;
    IOHandlerList_t m_handlers; // not owned
    // Handlers come and go (image processors) while exchanges run on a worker.
    mutable std::mutex m_stateMutex;
};

} // namespace kv
