// Several application threads queue on one handler while exchanges finish on
// another thread (a transport worker) or on the queuing threads themselves.
// Run under ThreadSanitizer too.

#include "ScriptedComm.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace kv;
using namespace kvtest;

namespace {

struct Outcome {
    int complete = 0;
    int failed = 0;
};

// Every third exchange fails with a device status, so the failure path
// (handleMessage and the next sendMessage on the finishing thread) runs while
// other threads queue.
void runClients(TestHandler& handler, int threads, int perThread, std::vector<Outcome>& outcomes)
{
    outcomes.assign(threads, Outcome{});
    std::vector<std::thread> clients;
    for (int t = 0; t < threads; ++t) {
        clients.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i) {
                auto context = handler.make(static_cast<MessagePriority>(i % 4), "client");
                PromisePtr promise = context->getPromise();
                promise->setTimeout(10000);
                handler.queueMessage(context);
                const auto status = promise->wait();
                (status == IPromise::Complete ? outcomes[t].complete : outcomes[t].failed)++;
                promise->release();
            }
        });
    }
    for (auto& client : clients) {
        client.join();
    }
}

void script(ScriptedComm& comm, int total)
{
    std::vector<Reply> replies;
    for (int i = 0; i < total; ++i) {
        replies.push_back(i % 3 == 2 ? Reply{Reply::Answer, EStatusCode::DeviceBusy, 0} : Reply{});
    }
    comm.script(replies);
}

void check(const std::vector<Outcome>& outcomes, int total)
{
    int complete = 0;
    int failed = 0;
    for (const auto& o : outcomes) {
        complete += o.complete;
        failed += o.failed;
    }
    EXPECT_EQ(complete + failed, total);
    EXPECT_EQ(failed, total / 3);
}

constexpr int c_threads = 4;
constexpr int c_perThread = 150;
constexpr int c_total = c_threads * c_perThread;

} // namespace

TEST(DispatchConcurrency, ThreadsQueueWhileAWorkerAnswers)
{
    TestHandler handler;
    ScriptedComm comm(&handler, true);
    handler.comm = &comm;
    script(comm, c_total);

    std::vector<Outcome> outcomes;
    runClients(handler, c_threads, c_perThread, outcomes);
    check(outcomes, c_total);
    EXPECT_EQ(comm.sends, c_total);

    // Everything was answered and released: one more queue operation empties the queue.
    handler.purgeHandled();
    EXPECT_EQ(handler.getQueueSize(), 0u);
}

TEST(DispatchConcurrency, ThreadsQueueOnASynchronousTransport)
{
    TestHandler handler;
    ScriptedComm comm(&handler, false);
    handler.comm = &comm;
    script(comm, c_total);

    std::vector<Outcome> outcomes;
    runClients(handler, c_threads, c_perThread, outcomes);
    check(outcomes, c_total);
    EXPECT_EQ(comm.sends, c_total);
    handler.purgeHandled();
    EXPECT_EQ(handler.getQueueSize(), 0u);
}
