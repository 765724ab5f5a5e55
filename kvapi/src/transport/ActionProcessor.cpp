#include "transport/ActionProcessor.h"

#include "gateway/ThreadNaming.h"

#include <exception>

namespace kv {

ActionProcessor::ActionProcessor() : m_isActive(true)
{
    m_thread = std::thread(&ActionProcessor::run, this);
}

ActionProcessor::~ActionProcessor()
{
    shutdown();
}

void ActionProcessor::queueAction(TAction action)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_actionQueue.push(std::move(action));
    }
    m_cv.notify_one();
}

bool ActionProcessor::hasAction()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_actionQueue.empty();
}

ActionProcessor::TAction ActionProcessor::nextAction()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_actionQueue.empty()) {
        return TAction();
    }
    return m_actionQueue.front();
}

void ActionProcessor::dequeueAction()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_actionQueue.empty()) {
        m_actionQueue.pop();
    }
}

void ActionProcessor::shutdown()
{
    {
        // Under the lock, so the worker cannot miss the wake-up between its
        // check and its wait.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_isActive.store(false);
    }
    m_cv.notify_all();
    if (m_thread.joinable()) {
        if (m_thread.get_id() == std::this_thread::get_id()) {
            // Reached from an action: the worker cannot join itself.
            m_thread.detach();
        } else {
            m_thread.join();
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    std::queue<TAction>().swap(m_actionQueue);
}

void ActionProcessor::run()
{
    SetThreadName("ActionProcessor", 0);
    for (;;) {
        TAction action;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait(lock, [this] { return !m_isActive.load() || !m_actionQueue.empty(); });
            if (!m_isActive.load()) {
                return;
            }
            action = m_actionQueue.front();
        }
        try {
            if (action) {
                action();
            }
        } catch (...) {
            // An action reports its failure through its own promise; the worker
            // must survive it.
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_actionQueue.empty()) {
            m_actionQueue.pop();
        }
    }
}

} // namespace kv
