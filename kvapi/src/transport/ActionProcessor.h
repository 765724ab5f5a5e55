#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <queue>
#include <thread>

namespace kv {

// A single worker thread that runs queued actions one at a time, in the order
// queued. On shutdown a running action finishes; actions still queued are
// discarded.
class ActionProcessor {
public:
    using TAction = std::function<void()>;

    ActionProcessor();
    virtual ~ActionProcessor();
    ActionProcessor(const ActionProcessor&) = delete;
    ActionProcessor& operator=(const ActionProcessor&) = delete;

    void queueAction(TAction action);
    bool hasAction();
    // A copy of the first action (empty when there is none).
    TAction nextAction();
    void dequeueAction();
    // Stops the worker and joins it. Called from an action, it only stops the
    // worker after that action; the processor must not be destroyed by one.
    void shutdown();
    bool isActive() const { return m_isActive.load(); }

private:
    void run();

    std::atomic<bool> m_isActive;
    std::thread m_thread;
    std::queue<TAction> m_actionQueue;
    std::mutex m_mutex; // guards the queue; never held while an action runs
    std::condition_variable m_cv;
};

} // namespace kv
