#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "transport/Endpoint.h"

namespace kv {

class UDPSocket;
using UDPSocketPtr = std::shared_ptr<UDPSocket>;

// One bound socket and its receive thread. The thread writes every datagram
// straight into the next slot of a ring and queues it; the consumer reads
// queued slots in place (read/front) until it pops them.
//
// The ring never overwrites a queued slot: with every slot queued, arriving
// datagrams are dropped and counted instead. Its memory is mapped lazily, so
// slots that never receive anything cost no resident memory.
class UDPSocket {
public:
    using worker_thread_t = std::thread;

    static constexpr size_t c_defaultSlots = 40000;
    static constexpr int c_rxTimeoutMs = 500;
    static constexpr int c_rxBufferBytes = 295370752; // 0x119B0000

    UDPSocket();
    virtual ~UDPSocket();
    UDPSocket(const UDPSocket&) = delete;
    UDPSocket& operator=(const UDPSocket&) = delete;

    // Starts receiving on the descriptor given to setSocket(), or on a new one
    // bound to (address, port). True once the receive thread listens.
    bool open(uint16_t port, uint32_t address, size_t slots = c_defaultSlots);
    // Stops and joins the receive thread, which closes the descriptor.
    void close();
    // Tells the receive thread to stop and wakes every reader.
    void abort();

    // One datagram to the endpoint's address and port.
    bool send(const EndpointPtr& endpoint, const void* data, size_t length);
    // Waits up to `timeout` for a queued datagram: its slot (still queued) and
    // its length, or null.
    uint8_t* read(std::chrono::milliseconds timeout, size_t* length = nullptr);
    uint8_t* front(size_t* length = nullptr);
    void pop();
    void clear();
    bool empty();
    size_t availablePackets();

    bool isOpen();
    bool isListening() const { return m_listening.load(); }
    size_t getPacketSize() const { return m_packetSize.load(); }
    size_t getSlotCount() const { return m_slots; }
    uint32_t getBoundIP() const { return m_boundIP.load(); }
    uint16_t getBoundPort() const { return m_boundPort.load(); }
    int getSocket();
    void setSocket(int sock);

    // Datagrams dropped because every slot was queued.
    uint64_t getDroppedPackets() const { return m_dropped.load(); }
    // Datagrams queued since the socket was made.
    uint64_t getReceivedPackets() const { return m_received.load(); }

private:
    void worker(uint16_t port, uint32_t address);
    bool allocateRing();
    void releaseRing();
    uint8_t* slot(size_t index) const { return m_pBuffer + index * m_packetSize.load(); }

    int m_socket = 0;
    std::atomic<uint16_t> m_boundPort{0};
    std::mutex m_mutex; // guards m_socket and the queue (m_head, m_count, m_lengths)
    std::condition_variable m_cv;
    worker_thread_t m_worker;
    std::atomic<bool> m_abort{false};
    std::atomic<bool> m_listening{false};
    std::atomic<bool> m_workerDone{false};
    size_t m_waiters = 0; // readers blocked in read(), under m_mutex

    // The queue is the run of m_count slots starting at m_head; the receive
    // thread writes the slot just after it. Only that thread appends, only
    // the consumer removes, so a slot is never written while it is queued.
    uint8_t* m_pBuffer = nullptr;
    size_t m_mappedBytes = 0;
    size_t m_slots = 0;
    size_t m_head = 0;
    size_t m_count = 0;
    std::vector<uint32_t> m_lengths;

    std::atomic<size_t> m_bufferSize{0};
    std::atomic<size_t> m_packetSize;
    std::atomic<uint32_t> m_boundIP{0};
    std::atomic<uint64_t> m_dropped{0};
    std::atomic<uint64_t> m_received{0};
};

} // namespace kv
