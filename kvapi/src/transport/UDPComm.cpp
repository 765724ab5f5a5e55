#include "transport/UDPComm.h"

#include "logging/Logger.h"
#include "protocol/Message.h"
#include "transport/NetEndpoint.h"
#include "transport/Promise.h"
#include "transport/UDPController.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <thread>

namespace kv {

namespace {

uint32_t parseAddress(const std::string& text)
{
    in_addr address{};
    return ::inet_pton(AF_INET, text.c_str(), &address) == 1 ? address.s_addr : 0;
}

} // namespace

UDPComm::UDPComm() : CommExt(static_cast<IOHandler*>(nullptr)) {}

UDPComm::UDPComm(IOHandler* handler) : CommExt(handler) {}

UDPComm::~UDPComm()
{
    setAborted(true);
    UDPSocketMap sockets;
    std::vector<UDPSocketPtr> images;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        sockets.swap(m_sockets);
        images.swap(m_imgSockets);
        m_pSocket.reset();
        m_pEndpoint.reset();
    }
    for (auto& entry : sockets) {
        entry.second->close();
    }
    for (auto& image : images) {
        image->close();
    }
}

UDPSocketPtr UDPComm::getCommandSocket() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pSocket;
}

UDPSocketPtr UDPComm::socketForChannel(uint32_t channel) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_imgSockets.empty()) {
        return m_pSocket;
    }
    return m_imgSockets[channel % m_imgSockets.size()];
}

void UDPComm::logDebug(const std::string& text)
{
    // Without a logger the line goes nowhere.
    const KVAPILoggerPtr logger = getLogger();
    if (logger && logger->isLogged(logging::eDEBUG)) {
        logger->logMsg(logging::eDEBUG, text);
    }
}

void UDPComm::openDevice(EndpointPtr endpoint)
{
    const auto net = std::dynamic_pointer_cast<NetEndpoint>(endpoint);
    if (!net) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pSocket && m_pSocket->isOpen()) {
            return;
        }
    }

    UDPController& controller = UDPController::get();
    const uint32_t nic = parseAddress(net->getNICIP());
    int sock = 0;
    std::string error;
    for (int attempt = 0; attempt < c_openAttempts; ++attempt) {
        sock = controller.open(net->getPort(), nic, false, UDPSocket::c_rxTimeoutMs, UDPSocket::c_rxBufferBytes);
        if (sock != 0) {
            break;
        }
        error = controller.getLastError();
        std::this_thread::sleep_for(std::chrono::milliseconds(c_openRetryDelayMs));
    }
    const std::string failure = "Failed to open socket. " + net->getIp() + ":" + std::to_string(net->getPort()) + "\n";
    if (sock == 0) {
        throw std::runtime_error(failure + error);
    }
    // Several cameras share port 6363 through port reuse, and the kernel spreads
    // unconnected sockets' datagrams over all of them: a connected socket gets
    // exactly its own camera's.
    if (!controller.connect(sock, net->getIp(), net->getPort())) {
        error = controller.getLastError();
        controller.close(sock);
        throw std::runtime_error(failure + error);
    }
    try {
        logDebug("[UDPCOMM] Rx buffer: requested " + std::to_string(UDPSocket::c_rxBufferBytes) + " bytes, got " +
                 std::to_string(controller.getRxBufferLng(sock)) + " bytes");
    } catch (const std::exception&) {
        // Only the log line is lost.
    }

    const uint32_t iface = findNetIfaceIP(parseAddress(net->getIp()));
    auto socket = std::make_shared<UDPSocket>();
    socket->setSocket(sock);
    UDPSocketPtr replaced;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pEndpoint = endpoint;
        m_pSocket = socket;
        UDPSocketPtr& slot = m_sockets[net->getIp()];
        replaced.swap(slot);
        slot = socket;
    }
    replaced.reset(); // joins an old receive thread outside the lock
    if (!socket->open(c_port, iface, UDPSocket::c_defaultSlots)) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_pSocket.reset();
            m_sockets.erase(net->getIp());
            m_pEndpoint.reset();
        }
        socket->close();
        throw std::runtime_error(failure + "receive thread did not start");
    }
    endpoint->setIsInitialized(true);
}

void UDPComm::closeDevice(EndpointPtr endpoint)
{
    const auto net = std::dynamic_pointer_cast<NetEndpoint>(endpoint);
    if (!net) {
        return;
    }
    UDPSocketPtr target;
    std::vector<UDPSocketPtr> images;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_pSocket || !m_pSocket->isOpen()) {
            return;
        }
        const auto found = m_sockets.find(net->getIp());
        if (found != m_sockets.end()) {
            target = found->second;
        }
        images = m_imgSockets;
    }
    // close() joins the receive thread, which closes the descriptor.
    if (target) {
        target->close();
    }
    for (auto& image : images) {
        image->close();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (target && m_pSocket == target) {
            m_pSocket.reset();
        }
        m_imgSockets.clear();
        const auto found = m_sockets.find(net->getIp());
        if (found != m_sockets.end() && found->second == target) {
            m_sockets.erase(found);
        }
        m_pEndpoint.reset();
    }
    endpoint->setIsInitialized(false);
}

void UDPComm::queryDevices(MessagePtr request, MessagePtr response, EndpointPtr templ, IOHandlerPtr handler)
{
    if (!request || !response) {
        return;
    }
    const IOBufferPtr frame = request->getBuffer();
    if (!frame) {
        return;
    }
    const auto net = std::dynamic_pointer_cast<NetEndpoint>(templ);
    const std::string destination = net ? net->getIp() : std::string("255.255.255.255");

    auto onAnswer = [&](const uint8_t* data, size_t length, const std::string& sourceIp, uint16_t sourcePort,
                        const std::string& hostIp) {
        if (length < 3 || data[0] != Cmd || data[1] != GetCameraInfo || data[2] != V1Response) {
            return;
        }
        auto endpoint = std::make_shared<NetEndpoint>(sourceIp, sourcePort, 0);
        endpoint->setNICIP(hostIp);
        auto context = std::make_shared<MessageContext>(request, response, endpoint, Medium, handler);
        const IOBufferPtr buffer = IOBuffer::newBuffer(reinterpret_cast<const char*>(data), length);
        if (!parsePacket(context, buffer)) {
            return;
        }
        if (handler != nullptr) {
            handler->receiveMessage(*response, endpoint, context);
            handler->handleMessage(context);
        }
    };
    UDPController::get().broadcast(frame->data, frame->length, 0, destination, c_port, onAnswer);
}

bool UDPComm::parsePacket(const MessageContextPtr& context, const IOBufferPtr& buffer)
{
    if (!context || !buffer) {
        return false;
    }
    const MessagePtr response = context->getResponse();
    if (!response) {
        return false;
    }
    const MessagePtr request = context->getRequest();
    const BodyType expected = request ? request->getBodyType() : response->getBodyType();

    // The message parses only the bytes received, whatever its header claims.
    response->setBuffer(buffer);
    const BaseHeaderPtr& header = response->getHeader();
    if (!header || buffer->length < header->getBufferLength()) {
        return false;
    }
    if (header->getHeaderType() != V1Response || header->getBodyType() != expected) {
        return false;
    }
    // A frame whose lengths reach past the datagram is no answer: skipping it
    // like a foreign datagram leaves the wait for the intact one.
    if (response->isMalformed()) {
        return false;
    }
    const BaseFooterPtr& footer = response->getFooter();
    if (footer && header->getFooterType() != V1None) {
        footer->validate(buffer, header->getBufferLength() + header->getBodyLength());
    }
    return true;
}

void UDPComm::sendMessage(MessageContextPtr context)
{
    if (!context) {
        return;
    }
    std::lock_guard<std::recursive_mutex> exchange(m_exchangeMutex);
    const PromisePtr promise = context->getPromise();
    try {
        const IOBufferPtr frame = context->getBuffer();
        const UDPSocketPtr socket = getCommandSocket();
        if (!frame || !socket || !socket->send(context->getEndpoint(), frame->data, frame->length)) {
            return; // the promise ends by its time-out
        }
        if (promise) {
            promise->setStatus(IPromise::Executing);
        }
        logRequest(context);
        if (!context->getHasResponse() || !context->getResponse()) {
            // Nothing comes back for this request: written is done.
            if (promise) {
                promise->set_value("");
            }
            return;
        }
        receiveMessage(context);
    } catch (const std::exception&) {
        if (promise && !getAborted()) {
            promise->set_exception(std::current_exception());
        }
    }
}

void UDPComm::resendMessage(MessageContextPtr context)
{
    sendMessage(context);
}

void UDPComm::receiveMessage(MessageContextPtr context)
{
    std::lock_guard<std::recursive_mutex> exchange(m_exchangeMutex);
    const UDPSocketPtr socket = getCommandSocket();
    if (!socket || !socket->isOpen()) {
        return;
    }
    if (!context) {
        socket->clear();
        return;
    }

    // Each send gets one window, however many foreign datagrams arrive in it.
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(getResponseTimeout());
    for (;;) {
        const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now());
        if (remaining.count() <= 0) {
            break;
        }
        size_t length = 0;
        const uint8_t* datagram = socket->read(remaining, &length);
        if (datagram == nullptr) {
            break; // silence, or the socket is closing
        }
        if (length == 0 || datagram[0] != Cmd) {
            socket->pop();
            continue;
        }
        const IOBufferPtr buffer = IOBuffer::newBuffer(reinterpret_cast<const char*>(datagram), length);
        socket->pop();
        if (!parsePacket(context, buffer)) {
            continue;
        }
        const MessagePtr response = context->getResponse();
        if (response->getStatusCode() != EStatusCode::BadChecksum) {
            logResponse(context);
            updateHandlers(0, response, context->getEndpoint(), context);
            return;
        }
        break; // the camera received a damaged request: send it again
    }

    if (!context->getResent()) {
        context->setResent();
        sendMessage(context);
        return;
    }
    if (const PromisePtr promise = context->getPromise()) {
        promise->setError("Rx Timeout: no response received for packet '" + context->getName() + "'", true);
    }
}

size_t UDPComm::availablePackets()
{
    const UDPSocketPtr socket = getCommandSocket();
    return socket ? socket->availablePackets() : 0;
}

namespace {

// The next datagram of a socket's ring, left in place until popped.
bool peekSocket(const UDPSocketPtr& socket, uint8_t*& data, size_t& length)
{
    if (!socket) {
        return false;
    }
    size_t received = 0;
    uint8_t* slot = socket->read(std::chrono::milliseconds(UDPComm::c_peekTimeoutMs), &received);
    if (slot == nullptr) {
        return false;
    }
    data = slot;
    length = received;
    return true;
}

} // namespace

bool UDPComm::peekRaw(uint8_t*& data, size_t& length)
{
    return peekSocket(getCommandSocket(), data, length);
}

bool UDPComm::peekRaw(uint32_t channel, uint8_t*& data, size_t& length)
{
    return peekSocket(socketForChannel(channel), data, length);
}

bool UDPComm::popRaw()
{
    const UDPSocketPtr socket = getCommandSocket();
    if (!socket) {
        return false;
    }
    socket->pop();
    return true;
}

bool UDPComm::popRaw(uint32_t channel)
{
    const UDPSocketPtr socket = socketForChannel(channel);
    if (!socket) {
        return false;
    }
    socket->pop();
    return true;
}

bool UDPComm::writeRaw(uint8_t* data, size_t length, EndpointPtr endpoint)
{
    const UDPSocketPtr socket = getCommandSocket();
    return socket && socket->send(endpoint, data, length);
}

bool UDPComm::writeRawUnbound(const uint8_t* data, size_t length, EndpointPtr endpoint, uint32_t localAddress)
{
    const auto net = std::dynamic_pointer_cast<NetEndpoint>(endpoint);
    if (!net || data == nullptr) {
        return false;
    }
    UDPController& controller = UDPController::get();
    const int sock = controller.open(c_port, localAddress, true, 1000, 40000);
    if (sock == 0) {
        return false;
    }
    const ssize_t sent = controller.sendto(sock, data, length, 0, net->getIp(), net->getPort());
    controller.close(sock);
    return sent >= 0 && static_cast<size_t>(sent) == length;
}

void UDPComm::getImgChannels(uint32_t& ip0, uint16_t& port0, uint16_t& ports0b, uint32_t& ip1, uint16_t& port1,
                             uint16_t& ports1b)
{
    ip0 = 0;
    port0 = 0;
    ports0b = 0;
    ip1 = 0;
    port1 = 0;
    ports1b = 0;
    std::vector<UDPSocketPtr> images;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        images = m_imgSockets;
    }
    auto fill = [&images](size_t first, uint32_t& ip, uint16_t& port, uint16_t& second) {
        if (images[first]->isOpen()) {
            ip = images[first]->getBoundIP();
            port = images[first]->getBoundPort();
        }
        if (images[first + 1]->isOpen()) {
            second = images[first + 1]->getBoundPort();
        }
    };
    if (images.size() >= 2) {
        fill(0, ip0, port0, ports0b);
    }
    if (images.size() >= 4) {
        fill(2, ip1, port1, ports1b);
    }
}

uint32_t UDPComm::findNetIfaceIP(uint32_t cameraAddress)
{
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        std::perror("getifaddrs");
        return 0;
    }
    uint32_t found = 0;
    for (const ifaddrs* entry = list; entry != nullptr && found == 0; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_netmask == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        const uint32_t host = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
        const uint32_t mask = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr);
        if ((host & mask) == (ntohl(cameraAddress) & mask)) {
            found = htonl(host);
        }
    }
    ::freeifaddrs(list);
    return found;
}

} // namespace kv
