#include "transport/MessageContext.h"

#include "protocol/Message.h"
#include "transport/Endpoint.h"
#include "transport/Promise.h"

namespace kv {

MessageContext::MessageContext()
    : m_pIoHandler(nullptr),
      m_priority(0),
      m_pPromise(std::make_shared<Promise>()),
      m_sent(false),
      m_hasResponse(true),
      m_useHighSpeed(false),
      m_resent(0)
{
}

MessageContext::MessageContext(MessagePtr request, MessagePtr response, EndpointPtr endpoint, uint32_t priority,
                               IOHandler* handler, std::string name, bool hasResponse, bool useHiSpeed)
    : m_name(std::move(name)),
      m_pRequest(std::move(request)),
      m_pResponse(std::move(response)),
      m_pIoHandler(handler),
      m_pEndpoint(std::move(endpoint)),
      m_priority(priority),
      m_pPromise(std::make_shared<Promise>()),
      m_sent(false),
      m_hasResponse(hasResponse),
      m_useHighSpeed(useHiSpeed),
      m_resent(0)
{
}

MessageContext::MessageContext(const MessageContext& other)
    : m_name(other.m_name),
      m_pRequest(other.m_pRequest),
      m_pIoHandler(other.m_pIoHandler),
      m_pEndpoint(other.m_pEndpoint),
      m_priority(other.m_priority),
      m_pPromise(other.m_pPromise),
      m_sent(other.m_sent.load()),
      m_hasResponse(other.m_hasResponse),
      m_useHighSpeed(other.m_useHighSpeed),
      m_resent(0)
{
}

MessageContext::MessageContext(MessageContext&& other)
    : MessageContext(static_cast<const MessageContext&>(other))
{
    other.m_pRequest.reset();
    other.m_pEndpoint.reset();
    other.m_pIoHandler = nullptr;
    other.m_pPromise.reset();
}

MessageContext::~MessageContext() = default;

IOBufferPtr MessageContext::getBuffer() const
{
    if (!m_pRequest) {
        return nullptr;
    }
    return m_pRequest->getBuffer();
}

} // namespace kv
