#include "transport/Promise.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace kv;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

std::string lastError(IPromise& promise, size_t capacity = 256)
{
    std::vector<char> buffer(capacity, '\0');
    size_t length = buffer.size();
    promise.getLastError(buffer.data(), length);
    return std::string(buffer.data(), length);
}

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int c_manyPromises = 100000;
#else
constexpr int c_manyPromises = 1000000;
#endif

} // namespace

TEST(Promise, StartsIdleWithNoStatusCode)
{
    Promise promise;
    EXPECT_EQ(promise.getStatus(), IPromise::Idle);
    EXPECT_EQ(promise.getAPIStatusCode(), EStatusCode::InvalidStatus);
    EXPECT_EQ(promise.getTimeout(), 5000u);
    EXPECT_FALSE(promise.getIsHandled());
    EXPECT_FALSE(promise.getIsReleased());
    EXPECT_EQ(lastError(promise), "");
}

TEST(Promise, ValueBeforeWaitCompletesAtOnce)
{
    Promise promise;
    promise.set_value("");
    EXPECT_EQ(promise.getStatus(), IPromise::Complete);
    EXPECT_TRUE(promise.getIsHandled());
    EXPECT_EQ(promise.wait(), IPromise::Complete);
    EXPECT_EQ(promise.getStatus(), IPromise::Complete);
    EXPECT_EQ(lastError(promise), "");
}

TEST(Promise, SilentPromiseTimesOutAndIgnoresLateValue)
{
    Promise promise;
    promise.setTimeout(100);
    const auto start = Clock::now();
    EXPECT_EQ(promise.wait(), IPromise::Error);
    // The time-out never fires early.
    EXPECT_GE(Clock::now() - start, milliseconds(100));
    EXPECT_EQ(lastError(promise), "Promise timed out.");
    EXPECT_TRUE(promise.getIsHandled());

    promise.set_value("");
    EXPECT_EQ(promise.getStatus(), IPromise::Error);
    EXPECT_EQ(lastError(promise), "Promise timed out.");
}

TEST(Promise, HeartbeatKeepsWaitBlockedPastTheTimeout)
{
    Promise promise;
    promise.setTimeout(300);
    std::atomic<bool> waitReturned{false};
    std::thread worker([&] {
        // Keep the exchange alive for several time-outs, then deliver.
        const auto until = Clock::now() + milliseconds(1200);
        while (Clock::now() < until && !waitReturned) {
            promise.update();
            std::this_thread::sleep_for(milliseconds(20));
        }
        promise.set_value("");
    });
    const auto start = Clock::now();
    const auto status = promise.wait();
    waitReturned = true;
    const auto waited = Clock::now() - start;
    worker.join();
    EXPECT_EQ(status, IPromise::Complete);
    EXPECT_GE(waited, milliseconds(1200));
    EXPECT_EQ(lastError(promise), "");
}

TEST(Promise, SetStatusCountsAsProgress)
{
    Promise promise;
    promise.setTimeout(200);
    std::thread worker([&] {
        const auto until = Clock::now() + milliseconds(600);
        while (Clock::now() < until) {
            promise.setStatus(IPromise::Executing);
            std::this_thread::sleep_for(milliseconds(20));
        }
        // A failed write: marked Error without an exception, the waiter ends by time-out.
        promise.setStatus(IPromise::Error);
    });
    const auto start = Clock::now();
    EXPECT_EQ(promise.wait(), IPromise::Error);
    EXPECT_GE(Clock::now() - start, milliseconds(600));
    worker.join();
    EXPECT_EQ(lastError(promise), "Promise timed out.");
}

TEST(Promise, SecondWaitReturnsErrorAndChangesNothing)
{
    Promise promise;
    promise.set_value("");
    ASSERT_EQ(promise.wait(), IPromise::Complete);
    EXPECT_EQ(promise.wait(), IPromise::Error);
    EXPECT_EQ(promise.getStatus(), IPromise::Complete);
    EXPECT_EQ(lastError(promise), "");
}

TEST(Promise, GetLastErrorCutsToCapacityWithoutTerminating)
{
    Promise promise;
    promise.setTimeout(10);
    ASSERT_EQ(promise.wait(), IPromise::Error);

    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    size_t length = 4;
    promise.getLastError(buffer, length);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(std::string(buffer, sizeof(buffer)), "Promxxxx");

    size_t none = 0;
    promise.getLastError(buffer, none);
    EXPECT_EQ(none, 0u);
}

TEST(Promise, OnlyTheFirstOutcomeCounts)
{
    Promise promise;
    promise.set_value("");
    promise.set_exception(std::make_exception_ptr(std::runtime_error("late")));
    EXPECT_EQ(promise.getStatus(), IPromise::Complete);
    EXPECT_EQ(promise.wait(), IPromise::Complete);
    EXPECT_EQ(lastError(promise), "");

    Promise failed;
    failed.set_exception(std::make_exception_ptr(std::runtime_error("first")));
    failed.set_value("");
    EXPECT_EQ(failed.getStatus(), IPromise::Error);
    EXPECT_EQ(failed.wait(), IPromise::Error);
    EXPECT_EQ(lastError(failed), "first");
}

TEST(Promise, SetErrorRaisesOnlyWhenAsked)
{
    Promise quiet;
    quiet.setError("note", false);
    EXPECT_EQ(quiet.getError(), "note");
    EXPECT_FALSE(quiet.getIsHandled());

    Promise raised;
    raised.setError("Rx Timeout: no response received for packet 'x'", true);
    EXPECT_TRUE(raised.getIsHandled());
    EXPECT_EQ(raised.wait(), IPromise::Error);
    EXPECT_EQ(lastError(raised), "Rx Timeout: no response received for packet 'x'");
}

TEST(Promise, ResetMakesItNewAgain)
{
    Promise promise;
    promise.setErrorCode(EStatusCode::DeviceBusy);
    promise.setError("busy", true);
    ASSERT_EQ(promise.wait(), IPromise::Error);
    promise.release();

    promise.reset();
    EXPECT_EQ(promise.getStatus(), IPromise::Idle);
    EXPECT_FALSE(promise.getIsHandled());
    EXPECT_FALSE(promise.getIsReleased());
    EXPECT_EQ(lastError(promise), "");
    promise.set_value("");
    EXPECT_EQ(promise.wait(), IPromise::Complete);
}

TEST(Promise, CompletedInBothStates)
{
    struct Case {
        IPromise::Status status;
        EStatusCode code;
        const char* message;
        IPromise::Status expected;
    };
    const Case cases[] = {
        {IPromise::Error, EStatusCode::FeatureNotSupported, "Camera does not support metadata keys.", IPromise::Error},
        {IPromise::Complete, EStatusCode::Success, "", IPromise::Complete},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        IPromisePtr promise = Promise::Completed(c.status, c.code, c.message);
        ASSERT_NE(promise, nullptr);
        EXPECT_EQ(promise->getStatus(), c.expected);
        EXPECT_EQ(promise->wait(), c.expected);
        EXPECT_EQ(promise->getAPIStatusCode(), c.code);
        EXPECT_EQ(lastError(*promise), c.message);
        promise->release();
    }
}

TEST(Promise, CompletedPromisesAreFreedByRelease)
{
    const size_t before = Promise::getInstanceCount();
    for (int i = 0; i < c_manyPromises; ++i) {
        const bool ok = (i % 2) == 0;
        IPromisePtr promise = Promise::Completed(ok ? IPromise::Complete : IPromise::Error,
                                                 ok ? EStatusCode::Success : EStatusCode::InvalidParameter,
                                                 ok ? "" : "bad");
        ASSERT_EQ(Promise::getInstanceCount(), before + 1);
        promise->release();
        ASSERT_EQ(Promise::getInstanceCount(), before);
    }
    // Each call yields a promise of its own.
    IPromisePtr a = Promise::Completed(IPromise::Complete, EStatusCode::Success, "");
    IPromisePtr b = Promise::Completed(IPromise::Complete, EStatusCode::Success, "");
    EXPECT_NE(a, b);
    EXPECT_EQ(Promise::getInstanceCount(), before + 2);
    a->release();
    b->release();
    EXPECT_EQ(Promise::getInstanceCount(), before);
}

TEST(Promise, ReleaseOfAnOwnedPromiseFreesNothing)
{
    const size_t before = Promise::getInstanceCount();
    {
        auto promise = std::make_shared<Promise>();
        promise->release();
        EXPECT_TRUE(promise->getIsReleased());
        EXPECT_EQ(Promise::getInstanceCount(), before + 1);
    }
    EXPECT_EQ(Promise::getInstanceCount(), before);
}
