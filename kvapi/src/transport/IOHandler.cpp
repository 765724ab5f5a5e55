#include "transport/IOHandler.h"

#include "protocol/Message.h"
#include "transport/Endpoint.h"
#include "transport/Promise.h"

namespace kv {

namespace {

bool isFinished(const MessageContextPtr& context)
{
    const PromisePtr promise = context->getPromise();
    return promise && promise->getIsHandled() && promise->getIsReleased();
}

} // namespace

IOHandler::IOHandler() : m_pQueue(std::make_shared<MessageQueue>()) {}

IOHandler::~IOHandler() = default;

MessageContextPtr IOHandler::makeMessage(BodyType bodyType, FooterType footerType, EndpointPtr endpoint,
                                         MessagePriority priority, std::string name, bool hasResponse,
                                         bool useHiSpeed)
{
    auto request = std::make_shared<V1RequestMessage>(bodyType, footerType);
    auto response = std::make_shared<V1ResponseMessage>(bodyType, footerType);
    return std::make_shared<MessageContext>(std::move(request), std::move(response), std::move(endpoint),
                                            static_cast<uint32_t>(priority), this, std::move(name), hasResponse,
                                            useHiSpeed);
}

void IOHandler::queueMessage(MessageContextPtr context)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    purgeHandled();
    pushMessage(std::move(context));
    sendMessage();
}

MessageContextPtr IOHandler::topMessage()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const auto& entry : *m_pQueue) {
        const MessageContextPtr& context = entry.second;
        if (context->getSent()) {
            continue;
        }
        const PromisePtr promise = context->getPromise();
        if (!promise || !promise->getIsHandled()) {
            return context;
        }
    }
    return nullptr;
}

void IOHandler::pushMessage(MessageContextPtr context)
{
    if (!context) {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const uint32_t priority = context->getPriority();
    m_pQueue->emplace(priority, std::move(context));
}

void IOHandler::handleMessage(MessageContextPtr context)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (context) {
        const PromisePtr promise = context->getPromise();
        if (promise) {
            promise->setIsHandled(true);
            if (promise->getIsReleased()) {
                for (auto it = m_pQueue->begin(); it != m_pQueue->end(); ++it) {
                    if (it->second == context) {
                        m_pQueue->erase(it);
                        break;
                    }
                }
            }
        }
    }
    purgeHandled();
}

void IOHandler::purgeHandled()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (auto it = m_pQueue->begin(); it != m_pQueue->end();) {
        if (isFinished(it->second)) {
            it = m_pQueue->erase(it);
        } else {
            ++it;
        }
    }
}

size_t IOHandler::getQueueSize()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_pQueue->size();
}

} // namespace kv
