#pragma once

#include <kvapi/kvapi.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <future>
#include <memory>
#include <mutex>
#include <string>

namespace kv {

class Promise;
using PromisePtr = std::shared_ptr<Promise>;

// The outcome of one exchange with a camera. The result travels through a
// standard promise/future of string; the library only ever delivers "" as the
// value, so success means "a value arrived" and failure "an exception arrived,
// or nothing arrived before the time-out".
//
// The time-out runs from the last sign of progress (construction, setStatus,
// update, reset), not from the start of wait(): long operations keep a waiter
// blocked by calling update().
//
// The mutex guards every field except the atomic time-out and is the innermost
// lock of the library: it may be taken while a handler's queue lock is held,
// never the other way round.
class Promise : public IPromise {
public:
    using StdPromise = std::promise<std::string>;
    using StdPromisePtr = std::shared_ptr<StdPromise>;
    using StdFuture = std::future<std::string>;
    using timepoint_t = std::chrono::time_point<std::chrono::system_clock, std::chrono::nanoseconds>;

    static constexpr std::uint64_t c_defaultTimeoutMs = 5000;

    Promise();
    virtual ~Promise();

    Promise(const Promise&) = delete;
    Promise& operator=(const Promise&) = delete;

    // IPromise
    void getLastError(char* buffer, size_t& length) override;
    EStatusCode getAPIStatusCode() override;
    IPromise::Status getStatus() override;
    IPromise::Status wait() override;
    void release() override;

    // Settle the outcome; only the first of set_value / set_exception counts.
    void set_value(const std::string& value);
    void set_exception(std::exception_ptr error);

    void setStatus(IPromise::Status status);
    void update();
    void reset();

    void setErrorCode(EStatusCode code);
    EStatusCode getErrorCode();
    void setError(const std::string& message, bool raise);
    std::string getError();

    void setIsHandled(bool handled);
    bool getIsHandled();
    bool getIsReleased();
    timepoint_t getCreated();
    timepoint_t getUpdated();
    StdPromisePtr getPromise();

    void setTimeout(size_t ms);
    size_t getTimeout() const;
    std::uint32_t getTimeSinceLastUpdate();

    // The future of the current channel; a channel hands it out only once, a
    // second call throws std::future_error.
    StdFuture getFuture();

    // A promise settled from the start, for operations decided without talking
    // to the camera. It owns itself until the application calls release(),
    // which frees it: callers that drop it without releasing leak it, exactly
    // like any other promise they never release.
    static IPromisePtr Completed(IPromise::Status status, EStatusCode code, const std::string& message);

    // Number of Promise objects alive in the process (diagnostics and tests).
    static size_t getInstanceCount();

private:
    using steady_t = std::chrono::steady_clock::time_point;

    // The caller holds m_mutex.
    void touchLocked();
    void deliverLocked(const std::string* value, std::exception_ptr error);

    StdPromisePtr m_pPromise;
    std::string m_error;
    IPromise::Status m_status;
    EStatusCode m_responseCode;
    bool m_isHandled;
    bool m_isReleased;
    timepoint_t m_created;
    timepoint_t m_updated;
    // Monotonic twin of m_updated: the time-out must not jump with the wall clock.
    steady_t m_lastProgress;
    std::atomic<std::uint64_t> m_timeout_ms;
    // Set only on promises made by Completed(); dropped by release().
    PromisePtr m_self;
    mutable std::mutex m_mutex;
};

} // namespace kv
