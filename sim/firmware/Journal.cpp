#include "firmware/Journal.h"

#include <algorithm>

namespace kvsim {

uint8_t JournalEntry::bodyType() const
{
    return bytes && bytes->length > 1 ? static_cast<uint8_t>(bytes->data[1]) : 255;
}

uint8_t JournalEntry::sensorId() const
{
    return bytes && bytes->length > 4 ? static_cast<uint8_t>(bytes->data[4]) : 255;
}

Journal::Journal(size_t capacity) : m_capacity(std::max<size_t>(capacity, 1)) {}

void Journal::record(JournalEntry entry)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_entries.size() == m_capacity)
            m_entries.pop_front();
        m_entries.push_back(std::move(entry));
    }
    m_cv.notify_all();
}

void Journal::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
}

size_t Journal::size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.size();
}

std::vector<JournalEntry> Journal::entries() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_entries.begin(), m_entries.end()};
}

std::vector<JournalEntry> Journal::entries(uint8_t bodyType) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<JournalEntry> result;
    for (const auto& entry : m_entries)
        if (entry.bodyType() == bodyType)
            result.push_back(entry);
    return result;
}

size_t Journal::count(uint8_t bodyType) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return countLocked(bodyType);
}

size_t Journal::countLocked(uint8_t bodyType) const
{
    return static_cast<size_t>(std::count_if(m_entries.begin(), m_entries.end(),
                                             [bodyType](const JournalEntry& e) { return e.bodyType() == bodyType; }));
}

bool Journal::waitForCount(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, timeout, [&] { return m_entries.size() >= count; });
}

bool Journal::waitForCount(uint8_t bodyType, size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, timeout, [&] { return countLocked(bodyType) >= count; });
}

} // namespace kvsim
