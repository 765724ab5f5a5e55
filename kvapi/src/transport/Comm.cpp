#include "transport/Comm.h"

#include "logging/Logger.h"
#include "protocol/Message.h"
#include "transport/Endpoint.h"
#include "transport/NetEndpoint.h"
#include "transport/Promise.h"
#include "transport/UsbEndpoint.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace kv {

Comm::Comm(IOHandler* handler) : m_isAsyncIO(false), m_aborted(false)
{
    if (handler != nullptr) {
        m_handlers.push_back(handler);
    }
}

Comm::Comm(const IOHandlerList_t& handlers) : m_isAsyncIO(false), m_aborted(false), m_handlers(handlers) {}

Comm::~Comm()
{
    m_aborted.store(true);
}

void Comm::readRaw(EndpointPtr, unsigned char*, size_t&)
{
    throw std::runtime_error("Unimplemented for this interface");
}

int Comm::receiveMessages(MessageContextPtr context, size_t count, size_t)
{
    // Receive until `count` responses are processed. The loop goes on only
    // while the transport reports progress, so a transport that keeps no
    // counters receives once instead of spinning for ever.
    size_t processed = processedResponses();
    do {
        receiveMessage(context);
        const size_t now = processedResponses();
        if (now >= count || (now == processed && !processingResponses())) {
            break;
        }
        processed = now;
    } while (!m_aborted.load());
    return 0;
}

void Comm::setRxBufferSize(size_t) {}

Comm::timepoint_t Comm::lastResponse()
{
    return std::chrono::system_clock::now();
}

bool Comm::processingResponses()
{
    return false;
}

size_t Comm::processedResponses()
{
    return 0;
}

size_t Comm::queuedResponses()
{
    return 0;
}

bool Comm::isEnabled()
{
    return true;
}

void Comm::setMaxBufferSize(uint32_t) {}

void Comm::registerHandler(IOHandler* handler)
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_handlers.push_back(handler);
}

void Comm::unregisterHandler(IOHandler* handler)
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_handlers.remove(handler);
}

void Comm::clearHandlers()
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_handlers.clear();
}

IOHandlerList_t Comm::getIoHandlers() const
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return m_handlers;
}

void Comm::setIoHandlers(const IOHandlerList_t& handlers)
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_handlers = handlers;
}

bool Comm::hasHandlers() const
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return !m_handlers.empty();
}

KVAPILoggerPtr Comm::getLogger() const
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return m_pLogger;
}

void Comm::setLogger(KVAPILoggerPtr logger)
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_pLogger = std::move(logger);
}

void Comm::updateHandlers(int error, MessagePtr response, EndpointPtr sender, MessageContextPtr context)
{
    if (!context) {
        return;
    }
    const PromisePtr promise = context->getPromise();
    IOHandler* const handler = context->getIoHandler();
    try {
        if (error != 0) {
            throw std::runtime_error("[ERROR] Camera::receiveMessage() : Comm reported error code " +
                                     std::to_string(error));
        }
        if (!response) {
            response = context->getResponse();
        }
        if (!response) {
            throw std::runtime_error("No response message for '" + context->getName() + "'");
        }
        if (!response->validate()) {
            // Every transport gets the same bound: a device that keeps answering
            // garbage must not make the exchange resend (and, when synchronous,
            // recurse) for ever.
            if (context->getResent()) {
                throw std::runtime_error("Invalid response received for packet '" + context->getName() + "'");
            }
            context->setResent();
            resendMessage(context);
            return;
        }

        const EStatusCode status = response->getStatusCode();
        if (promise) {
            promise->setErrorCode(status);
        }
        if (status != EStatusCode::Success) {
            throw std::runtime_error("Encountered an API error (" + std::to_string(static_cast<uint32_t>(status)) +
                                     ")\n" + errors::getErrorString(status));
        }

        if (handler == nullptr) {
            return;
        }
        if (!handler->receiveMessage(*response, sender, context)) {
            // Not claimed: the promise ends by its time-out unless the handler settled it.
            return;
        }
        if (promise && promise->getStatus() != IPromise::Error) {
            promise->set_value("");
        }
    } catch (const std::exception&) {
        if (m_aborted.load()) {
            return;
        }
        try {
            if (promise) {
                promise->set_exception(std::current_exception());
            }
        } catch (...) {
            return;
        }
        if (handler != nullptr && hasHandlers()) {
            try {
                // Hand the failed exchange back and start the handler's next one.
                handler->handleMessage(context);
                handler->sendMessage();
            } catch (const std::exception&) {
                // The next exchange reports its own failures through its promise.
            }
        }
    }
}

namespace {

// Status polls are frequent: their lines only show in the most verbose mode.
logging::ELogSeverity exchangeSeverity(BodyType bodyType)
{
    return bodyType == GetCameraStatus ? logging::eDEBUGV_EX : logging::eINFO;
}

// " | Expected Message Length: n" for USB, " | <Target|Source> Port: p | ... IP: a" for the network.
std::string endpointText(const EndpointPtr& endpoint, const char* direction)
{
    if (const auto usb = std::dynamic_pointer_cast<UsbEndpoint>(endpoint)) {
        return " | Expected Message Length: " + std::to_string(usb->getExpectedLength());
    }
    if (const auto net = std::dynamic_pointer_cast<NetEndpoint>(endpoint)) {
        return std::string(" | ") + direction + " Port: " + std::to_string(net->getPort()) + " | " + direction +
               " IP: " + net->getIp();
    }
    return "";
}

} // namespace

void Comm::logRequest(MessageContextPtr context)
{
    const KVAPILoggerPtr logger = getLogger();
    if (!logger || !context || !context->getRequest()) {
        return;
    }
    const MessagePtr request = context->getRequest();
    const BodyType bodyType = request->getBodyType();
    const logging::ELogSeverity severity = exchangeSeverity(bodyType);
    if (logger->isLogged(severity)) {
        logger->logMsg(severity, "Sending request: " + KVAPILogger::messageBodyToString(bodyType) +
                                     endpointText(context->getEndpoint(), "Target"));
    }
    logger->logRequestData(request);
}

void Comm::logResponse(MessageContextPtr context)
{
    const KVAPILoggerPtr logger = getLogger();
    if (!logger || !context || !context->getResponse()) {
        return;
    }
    const MessagePtr response = context->getResponse();
    const BodyType bodyType = response->getBodyType();
    const logging::ELogSeverity severity = exchangeSeverity(bodyType);
    if (logger->isLogged(severity)) {
        logger->logMsg(severity, "Receiving response: " + KVAPILogger::messageBodyToString(bodyType) +
                                     endpointText(context->getEndpoint(), "Source"));
    }
    logger->logResponseData(*response, context);
}

std::string Comm::PrintBuffer(IOBufferPtr buffer)
{
    if (!buffer) {
        return "Empty Message";
    }
    static const char c_digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(buffer->length * 3);
    for (size_t i = 0; i < buffer->length; ++i) {
        const auto byte = static_cast<unsigned char>(buffer->data[i]);
        text += c_digits[byte >> 4];
        text += c_digits[byte & 0x0F];
        text += ' ';
    }
    return text;
}

} // namespace kv
