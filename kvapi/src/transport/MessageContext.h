#pragma once

#include "gateway/types.h"
#include "protocol/protocol.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace kv {

class Message;
class Endpoint;
class IOHandler;
class Promise;
using MessagePtr = std::shared_ptr<Message>;
using EndpointPtr = std::shared_ptr<Endpoint>;
using PromisePtr = std::shared_ptr<Promise>;

class MessageContext;
using MessageContextPtr = std::shared_ptr<MessageContext>;

// One exchange: the request, the response message the transport parses the
// answer into, the device addressed, the queue priority, the handler that asked
// and the promise the application waits on.
class MessageContext {
public:
    // Resends a transport may make after silence or invalid answers before the
    // exchange is given up.
    static constexpr int32_t c_maxResends = 4;

    MessageContext();
    MessageContext(MessagePtr request, MessagePtr response, EndpointPtr endpoint, uint32_t priority,
                   IOHandler* handler, std::string name = "", bool hasResponse = true, bool useHiSpeed = false);
    // Copies share the promise but start without a response and without resends.
    MessageContext(const MessageContext& other);
    // As the copy, then the source loses its request, endpoint, handler and promise.
    MessageContext(MessageContext&& other);
    MessageContext& operator=(const MessageContext&) = delete;
    MessageContext& operator=(MessageContext&&) = delete;
    virtual ~MessageContext();

    MessagePtr getRequest() const { return m_pRequest; }
    void setRequest(MessagePtr request) { m_pRequest = std::move(request); }
    MessagePtr getResponse() const { return m_pResponse; }
    void setResponse(MessagePtr response) { m_pResponse = std::move(response); }
    EndpointPtr getEndpoint() const { return m_pEndpoint; }
    void setEndpoint(EndpointPtr endpoint) { m_pEndpoint = std::move(endpoint); }
    // The queue keeps the priority a context had when it was queued.
    uint32_t getPriority() const { return m_priority; }
    void setPriority(uint32_t priority) { m_priority = priority; }
    PromisePtr getPromise() const { return m_pPromise; }
    void setPromise(PromisePtr promise) { m_pPromise = std::move(promise); }
    const std::string& getName() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    bool getHasResponse() const { return m_hasResponse; }
    void setHasResponse(bool hasResponse) { m_hasResponse = hasResponse; }
    IOHandler* getIoHandler() const { return m_pIoHandler; }
    void setIoHandler(IOHandler* handler) { m_pIoHandler = handler; }
    bool getUseHiSpeed() const { return m_useHighSpeed; }
    void setUseHiSpeed(bool useHiSpeed) { m_useHighSpeed = useHiSpeed; }
    bool getSent() const { return m_sent.load(); }
    void setSent(bool sent) { m_sent.store(sent); }

    // The request's frame, or null without a request.
    IOBufferPtr getBuffer() const;

    // One more resend; getResent() is true once the limit is reached.
    void setResent() { m_resent.fetch_add(1); }
    bool getResent() const { return m_resent.load() >= c_maxResends; }
    int32_t getResentCount() const { return m_resent.load(); }

private:
    std::string m_name;
    MessagePtr m_pRequest;
    MessagePtr m_pResponse;
    IOHandler* m_pIoHandler; // not owned: the handler outlives its queued exchanges
    EndpointPtr m_pEndpoint;
    uint32_t m_priority;
    PromisePtr m_pPromise;
    // Sent and resend count are touched by a transport's worker while the
    // handler's queue is read on an application thread.
    std::atomic<bool> m_sent;
    bool m_hasResponse;
    bool m_useHighSpeed;
    std::atomic<int32_t> m_resent;
};

} // namespace kv
