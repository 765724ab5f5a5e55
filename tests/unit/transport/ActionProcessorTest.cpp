#include "transport/ActionProcessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace kv;
using Clock = std::chrono::steady_clock;

namespace {

// A one-shot flag to wait on with a deadline.
class Signal {
public:
    void set()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_set = true;
        m_cv.notify_all();
    }
    bool waitFor(std::chrono::milliseconds timeout)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, timeout, [this] { return m_set; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_set = false;
};

constexpr std::chrono::seconds c_deadline{10};

} // namespace

TEST(ActionProcessor, RunsActionsOneAtATimeInOrder)
{
    std::mutex mutex;
    std::vector<int> order;
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    Signal done;
    ActionProcessor processor; // declared last: joined before the state its actions use
    constexpr int count = 200;
    for (int i = 0; i < count; ++i) {
        processor.queueAction([&, i] {
            if (running.fetch_add(1) != 0) {
                overlapped = true;
            }
            {
                std::lock_guard<std::mutex> lock(mutex);
                order.push_back(i);
            }
            running.fetch_sub(1);
            if (i == count - 1) {
                done.set();
            }
        });
    }
    ASSERT_TRUE(done.waitFor(c_deadline));
    EXPECT_FALSE(overlapped);
    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_EQ(order.size(), static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(order[i], i);
    }
}

TEST(ActionProcessor, ShutdownFinishesTheRunningActionAndDiscardsQueuedOnes)
{
    Signal started;
    Signal proceed;
    std::atomic<bool> firstFinished{false};
    std::atomic<bool> secondRan{false};
    ActionProcessor processor;
    processor.queueAction([&] {
        started.set();
        proceed.waitFor(c_deadline);
        firstFinished = true;
    });
    processor.queueAction([&] { secondRan = true; });
    ASSERT_TRUE(started.waitFor(c_deadline));
    EXPECT_TRUE(processor.hasAction());

    std::thread releaser([&] {
        // Let the running action go only once shutdown has begun.
        const auto until = Clock::now() + c_deadline;
        while (processor.isActive() && Clock::now() < until) {
            std::this_thread::yield();
        }
        proceed.set();
    });
    processor.shutdown();
    releaser.join();

    EXPECT_TRUE(firstFinished);
    EXPECT_FALSE(secondRan);
    EXPECT_FALSE(processor.hasAction());
    EXPECT_FALSE(processor.isActive());
}

TEST(ActionProcessor, QueueAccessors)
{
    ActionProcessor processor;
    processor.shutdown(); // nothing runs: the accessors see the queue as it is
    EXPECT_FALSE(processor.hasAction());
    EXPECT_FALSE(static_cast<bool>(processor.nextAction()));
    processor.dequeueAction(); // harmless on an empty queue

    int value = 0;
    processor.queueAction([&] { value = 1; });
    processor.queueAction([&] { value = 2; });
    ASSERT_TRUE(processor.hasAction());
    processor.nextAction()();
    EXPECT_EQ(value, 1);
    processor.dequeueAction();
    processor.nextAction()();
    EXPECT_EQ(value, 2);
    processor.dequeueAction();
    EXPECT_FALSE(processor.hasAction());
}

TEST(ActionProcessor, SurvivesAThrowingAction)
{
    Signal done;
    ActionProcessor processor;
    processor.queueAction([] { throw std::runtime_error("boom"); });
    processor.queueAction([&] { done.set(); });
    EXPECT_TRUE(done.waitFor(c_deadline));
}
