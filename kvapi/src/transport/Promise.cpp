#include "transport/Promise.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kv {

namespace {

std::atomic<size_t> s_instances{0};

// Longest single sleep of wait(). Progress only moves the deadline later, which
// wait() notices when the old deadline passes; the cap bounds how late a
// shortened time-out (setTimeout during a wait) is noticed.
constexpr std::chrono::milliseconds c_maxWaitSlice{50};

const char* const c_timedOut = "Promise timed out.";

} // namespace

Promise::Promise()
    : m_pPromise(std::make_shared<StdPromise>()),
      m_status(IPromise::Idle),
      // Nothing has answered yet: InvalidStatus is the library's "no status"
      // and cannot be mistaken for a camera's Success.
      m_responseCode(EStatusCode::InvalidStatus),
      m_isHandled(false),
      m_isReleased(false),
      m_created(std::chrono::system_clock::now()),
      m_updated(m_created),
      m_lastProgress(std::chrono::steady_clock::now()),
      m_timeout_ms(c_defaultTimeoutMs)
{
    s_instances.fetch_add(1, std::memory_order_relaxed);
}

Promise::~Promise()
{
    s_instances.fetch_sub(1, std::memory_order_relaxed);
}

size_t Promise::getInstanceCount()
{
    return s_instances.load(std::memory_order_relaxed);
}

void Promise::touchLocked()
{
    m_updated = std::chrono::system_clock::now();
    m_lastProgress = std::chrono::steady_clock::now();
}

void Promise::getLastError(char* buffer, size_t& length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const size_t count = std::min(length, m_error.size());
    if (count > 0 && buffer != nullptr) {
        std::memcpy(buffer, m_error.data(), count);
        length = count;
    } else {
        length = 0;
    }
}

EStatusCode Promise::getAPIStatusCode()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_responseCode;
}

IPromise::Status Promise::getStatus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_status;
}

IPromise::Status Promise::wait()
{
    StdFuture future;
    try {
        future = getFuture();
    } catch (const std::exception&) {
        // The future went to an earlier wait(): nothing to wait on.
        return IPromise::Error;
    }

    bool failed = false;
    std::string failure;
    try {
        for (;;) {
            std::chrono::steady_clock::time_point deadline;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                deadline = m_lastProgress + std::chrono::milliseconds(m_timeout_ms.load());
            }
            const auto now = std::chrono::steady_clock::now();
            // Always look at the future first, so an outcome that is already
            // there wins over a time-out that is already due.
            const auto until = std::max(now, std::min(deadline, now + c_maxWaitSlice));
            if (future.wait_until(until) == std::future_status::ready) {
                std::string value = future.get(); // a delivered exception is raised here
                std::lock_guard<std::mutex> lock(m_mutex);
                m_error = value;
                m_status = IPromise::Complete;
                touchLocked();
                break;
            }
            if (getTimeSinceLastUpdate() >= getTimeout()) {
                throw std::runtime_error(c_timedOut);
            }
        }
    } catch (const std::exception& e) {
        failed = true;
        failure = e.what();
    } catch (...) {
        failed = true;
        failure = "Unknown error.";
    }

    std::lock_guard<std::mutex> lock(m_mutex);
    if (failed) {
        // A late answer must not overturn the failure.
        m_isHandled = true;
        m_error = failure;
        m_status = IPromise::Error;
    }
    if (!m_error.empty()) {
        m_status = IPromise::Error;
    }
    touchLocked();
    return m_status;
}

void Promise::release()
{
    PromisePtr self;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_isReleased = true;
        self.swap(m_self);
    }
    // For a promise made by Completed() the last reference goes here, after the
    // lock is released; nothing of this object is touched afterwards.
}

void Promise::deliverLocked(const std::string* value, std::exception_ptr error)
{
    if (m_isHandled) {
        return;
    }
    try {
        if (value != nullptr) {
            m_pPromise->set_value(*value);
        } else {
            m_pPromise->set_exception(error);
        }
    } catch (const std::future_error&) {
        // The channel was already settled (setIsHandled(false) reopened the
        // promise): the first outcome stands.
    }
    m_isHandled = true;
    m_status = value != nullptr ? IPromise::Complete : IPromise::Error;
}

void Promise::set_value(const std::string& value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    deliverLocked(&value, nullptr);
}

void Promise::set_exception(std::exception_ptr error)
{
    if (!error) {
        error = std::make_exception_ptr(std::runtime_error("Unknown error."));
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    deliverLocked(nullptr, error);
}

void Promise::setStatus(IPromise::Status status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
    touchLocked();
}

void Promise::update()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    touchLocked();
}

void Promise::reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pPromise = std::make_shared<StdPromise>();
    m_error.clear();
    m_status = IPromise::Idle;
    m_isHandled = false;
    m_isReleased = false;
    m_created = std::chrono::system_clock::now();
    m_updated = m_created;
    m_lastProgress = std::chrono::steady_clock::now();
}

void Promise::setErrorCode(EStatusCode code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_responseCode = code;
}

EStatusCode Promise::getErrorCode()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_responseCode;
}

void Promise::setError(const std::string& message, bool raise)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_error = message;
    if (raise) {
        deliverLocked(nullptr, std::make_exception_ptr(std::runtime_error(message)));
    }
}

std::string Promise::getError()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

void Promise::setIsHandled(bool handled)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_isHandled = handled;
}

bool Promise::getIsHandled()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_isHandled;
}

bool Promise::getIsReleased()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_isReleased;
}

Promise::timepoint_t Promise::getCreated()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_created;
}

Promise::timepoint_t Promise::getUpdated()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_updated;
}

Promise::StdPromisePtr Promise::getPromise()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pPromise;
}

void Promise::setTimeout(size_t ms)
{
    m_timeout_ms.store(ms);
}

size_t Promise::getTimeout() const
{
    return static_cast<size_t>(m_timeout_ms.load());
}

std::uint32_t Promise::getTimeSinceLastUpdate()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_lastProgress).count();
    if (elapsed <= 0) {
        return 0;
    }
    return static_cast<std::uint32_t>(std::min<long long>(elapsed, UINT32_MAX));
}

Promise::StdFuture Promise::getFuture()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pPromise->get_future();
}

IPromisePtr Promise::Completed(IPromise::Status status, EStatusCode code, const std::string& message)
{
    auto promise = std::make_shared<Promise>();
    promise->setErrorCode(code);
    if (status == IPromise::Complete) {
        promise->set_value("");
    } else {
        promise->setError(message, true);
    }
    std::lock_guard<std::mutex> lock(promise->m_mutex);
    promise->m_self = promise;
    return promise.get();
}

} // namespace kv
