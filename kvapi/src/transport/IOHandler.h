#pragma once

#include "protocol/protocol.h"
#include "transport/MessageContext.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace kv {

class IOHandler;
using IOHandlerPtr = IOHandler*; // handlers are never owned through this alias
using IOHandlerList_t = std::list<IOHandler*>;

// Anything that asks a camera something: keeps the queue of its exchanges,
// hands the next one to its transport (sendMessage) and consumes the answers
// (receiveMessage).
//
// Every queue operation takes the handler's recursive mutex. The thread that
// queues an exchange in synchronous mode holds it for the whole exchange and
// re-enters it from the dispatch (handleMessage, the next sendMessage); a
// transport worker finishing an exchange in asynchronous mode takes it too, so
// it cannot touch the queue while an application thread is inside queueMessage.
class IOHandler {
public:
    // Keyed by the priority the context had when it was queued, numerically
    // smaller first (Low before Critical); equal keys keep insertion order.
    using MessageQueue = std::multimap<uint32_t, MessageContextPtr>;
    using MessageQueuePtr = std::shared_ptr<MessageQueue>;

    IOHandler();
    virtual ~IOHandler();
    IOHandler(const IOHandler&) = delete;
    IOHandler& operator=(const IOHandler&) = delete;

    // Take the top of the queue and give it to the handler's transport.
    virtual void sendMessage() = 0;
    // Consume a response; true means claimed.
    virtual bool receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr context) = 0;

    // A request and a pre-typed response of one body and footer type, in a
    // context that names this handler. The caller fills the request, binds it
    // to the endpoint and queues it.
    MessageContextPtr makeMessage(BodyType bodyType, FooterType footerType, EndpointPtr endpoint,
                                  MessagePriority priority, std::string name = "", bool hasResponse = true,
                                  bool useHiSpeed = false);

    // The one entry for new exchanges: purge, insert, then sendMessage().
    void queueMessage(MessageContextPtr context);
    // The first context not yet sent whose promise is absent or not handled.
    MessageContextPtr topMessage();
    void pushMessage(MessageContextPtr context);
    // Marks the exchange handled; drops it when the application released it.
    void handleMessage(MessageContextPtr context);
    // Drops every context whose promise is both handled and released.
    void purgeHandled();

    // Hold getMutex() while walking the queue.
    MessageQueuePtr getQueue() const { return m_pQueue; }
    std::recursive_mutex& getMutex() { return m_mutex; }
    size_t getQueueSize();

private:
    MessageQueuePtr m_pQueue;
    std::recursive_mutex m_mutex;
};

} // namespace kv
