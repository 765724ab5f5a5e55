#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "firmware/Clock.h"
#include "gateway/types.h"

namespace kvsim {

// One datagram as the camera received it.
struct JournalEntry {
    TimePoint time;        // camera clock at reception
    kv::IOBufferPtr bytes; // exactly the bytes received
    std::string source;    // "ip:port" of the sender, when the front end knows it

    // Body-type byte of the frame; 255 for a datagram too short to have one.
    uint8_t bodyType() const;
    // Sensor-id byte of a request header; 255 when too short.
    uint8_t sensorId() const;
};

// The requests a virtual camera received, oldest first, so that tests can
// assert exactly what the library sent. Thread-safe; waiting is with a deadline.
class Journal {
public:
    // Oldest entries are dropped beyond this many, so a long-running daemon
    // does not grow without bound.
    static constexpr size_t c_defaultCapacity = 100000;

    explicit Journal(size_t capacity = c_defaultCapacity);

    void record(JournalEntry entry);
    void clear();

    size_t size() const;
    std::vector<JournalEntry> entries() const;
    std::vector<JournalEntry> entries(uint8_t bodyType) const;
    size_t count(uint8_t bodyType) const;

    // True once at least `count` entries (of `bodyType`, when given) are held,
    // false when the time-out passes first.
    bool waitForCount(size_t count, std::chrono::milliseconds timeout) const;
    bool waitForCount(uint8_t bodyType, size_t count, std::chrono::milliseconds timeout) const;

private:
    size_t countLocked(uint8_t bodyType) const;

    const size_t m_capacity;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    std::deque<JournalEntry> m_entries;
};

} // namespace kvsim
