#include "transport/UDPSocket.h"

#include "transport/NetEndpoint.h"
#include "transport/UDPController.h"

#include <netinet/in.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace kv {

namespace {

// Image streaming wants the receive thread on its own processors and ahead of
// ordinary work; where the machine or the process does not allow it, it runs
// as any other thread.
void raiseReceiveThread()
{
    cpu_set_t processors;
    CPU_ZERO(&processors);
    CPU_SET(2, &processors);
    CPU_SET(3, &processors);
    (void)pthread_setaffinity_np(pthread_self(), sizeof processors, &processors);
    sched_param priority{};
    priority.sched_priority = 10;
    (void)pthread_setschedparam(pthread_self(), SCHED_RR, &priority);
}

} // namespace

UDPSocket::UDPSocket() : m_packetSize(UDPController::c_packetSize) {}

UDPSocket::~UDPSocket()
{
    close();
    releaseRing();
}

bool UDPSocket::open(uint16_t port, uint32_t address, size_t slots)
{
    if (m_worker.joinable()) {
        if (m_listening.load()) {
            return true;
        }
        abort();
        m_worker.join();
    }
    m_boundIP.store(address);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_socket == 0) {
            m_socket = UDPController::get().open(port, address, false, c_rxTimeoutMs, c_rxBufferBytes);
        }
        m_slots = slots > 0 ? slots : 1;
        m_head = 0;
        m_count = 0;
    }
    m_abort.store(false);
    m_workerDone.store(false);
    m_bufferSize.store(m_packetSize.load() * m_slots);
    m_worker = worker_thread_t(&UDPSocket::worker, this, port, address);

    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(1000),
                  [this] { return m_listening.load() || m_workerDone.load(); });
    return m_listening.load();
}

void UDPSocket::close()
{
    abort();
    if (m_worker.joinable()) {
        m_worker.join();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_socket != 0) {
        // Given through setSocket() but never received on.
        UDPController::get().close(m_socket);
        m_socket = 0;
    }
    m_abort.store(false);
}

void UDPSocket::abort()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abort.store(true);
        if (m_socket != 0 && m_listening.load()) {
            // Wakes the receive thread at once instead of at its next time-out.
            ::shutdown(m_socket, SHUT_RD);
        }
    }
    m_cv.notify_all();
}

bool UDPSocket::send(const EndpointPtr& endpoint, const void* data, size_t length)
{
    const auto net = std::dynamic_pointer_cast<NetEndpoint>(endpoint);
    if (!net || data == nullptr) {
        return false;
    }
    const int sock = getSocket();
    if (sock == 0) {
        return false;
    }
    const ssize_t sent = UDPController::get().sendto(sock, data, length, 0, net->getIp(), net->getPort());
    return sent >= 0 && static_cast<size_t>(sent) == length;
}

uint8_t* UDPSocket::read(std::chrono::milliseconds timeout, size_t* length)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_count == 0 && m_listening.load()) {
        ++m_waiters;
        m_cv.wait_for(lock, timeout, [this] { return m_count > 0 || m_abort.load() || !m_listening.load(); });
        --m_waiters;
    }
    if (m_count == 0) {
        return nullptr;
    }
    if (length != nullptr) {
        *length = m_lengths[m_head];
    }
    return slot(m_head);
}

uint8_t* UDPSocket::front(size_t* length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_count == 0) {
        return nullptr;
    }
    if (length != nullptr) {
        *length = m_lengths[m_head];
    }
    return slot(m_head);
}

void UDPSocket::pop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_count > 0) {
        m_head = (m_head + 1) % m_slots;
        --m_count;
    }
}

void UDPSocket::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_slots > 0) {
        m_head = (m_head + m_count) % m_slots;
    }
    m_count = 0;
}

bool UDPSocket::empty()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count == 0;
}

size_t UDPSocket::availablePackets()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}

bool UDPSocket::isOpen()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_socket != 0;
}

int UDPSocket::getSocket()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_socket;
}

void UDPSocket::setSocket(int sock)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_socket = sock;
}

bool UDPSocket::allocateRing()
{
    // One slot more than asked for: a datagram that arrives while every slot
    // is queued lands there and is kept if the consumer freed a slot meanwhile.
    const size_t bytes = (m_slots + 1) * m_packetSize.load();
    if (m_pBuffer == nullptr || m_mappedBytes != bytes) {
        releaseRing();
        // Anonymous pages are zero and take memory only once written.
        void* ring = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                            -1, 0);
        if (ring == MAP_FAILED) {
            return false;
        }
        m_pBuffer = static_cast<uint8_t*>(ring);
        m_mappedBytes = bytes;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lengths.assign(m_slots, 0);
    return true;
}

void UDPSocket::releaseRing()
{
    if (m_pBuffer != nullptr) {
        ::munmap(m_pBuffer, m_mappedBytes);
        m_pBuffer = nullptr;
        m_mappedBytes = 0;
    }
}

void UDPSocket::worker(uint16_t port, uint32_t address)
{
    raiseReceiveThread();
    UDPController& controller = UDPController::get();

    int sock = 0;
    if (allocateRing()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_socket == 0) {
            m_socket = controller.open(port, address, false, c_rxTimeoutMs, c_rxBufferBytes);
        }
        sock = m_socket;
    }
    if (sock != 0) {
        sockaddr_in local{};
        socklen_t localLength = sizeof local;
        if (::getsockname(sock, reinterpret_cast<sockaddr*>(&local), &localLength) == 0) {
            m_boundPort.store(ntohs(local.sin_port));
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_listening.store(true);
        }
        m_cv.notify_all();
    }

    const size_t packetSize = m_packetSize.load();
    uint8_t* const scratch = sock != 0 ? slot(m_slots) : nullptr;
    while (sock != 0 && !m_abort.load()) {
        size_t target = 0;
        bool full = false;
        bool wake = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            full = m_count >= m_slots;
            target = (m_head + m_count) % m_slots;
        }
        uint8_t* const into = full ? scratch : slot(target);
        const ssize_t received = controller.recvfrom(sock, into, packetSize, 0);
        if (m_abort.load()) {
            break;
        }
        if (received < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNREFUSED) {
                // Keep an unexpected failure from spinning a processor.
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            continue;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (full) {
                if (m_count >= m_slots) {
                    m_dropped.fetch_add(1);
                    continue;
                }
                // The consumer freed a slot meanwhile: the first free one ends the queued run.
                target = (m_head + m_count) % m_slots;
                std::memcpy(slot(target), scratch, static_cast<size_t>(received));
            }
            m_lengths[target] = static_cast<uint32_t>(received);
            ++m_count;
            wake = m_waiters > 0;
        }
        m_received.fetch_add(1);
        // At line rate most datagrams find the consumer busy: wake only a waiting one.
        if (wake) {
            m_cv.notify_all();
        }
    }

    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_socket != 0) {
            controller.close(m_socket);
            m_socket = 0;
        }
        m_listening.store(false);
        m_abort.store(false);
        m_workerDone.store(true);
    }
    m_cv.notify_all();
}

} // namespace kv
