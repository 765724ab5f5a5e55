#include "ScriptedComm.h"

#include "gateway/literals.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace kv;
using namespace kvtest;

namespace {

struct Fixture : ::testing::Test {
    Fixture() { handler.comm = &comm; }

    // The queue's contexts, in queue order.
    std::vector<MessageContextPtr> queued()
    {
        std::lock_guard<std::recursive_mutex> lock(handler.getMutex());
        std::vector<MessageContextPtr> contexts;
        for (const auto& entry : *handler.getQueue()) {
            contexts.push_back(entry.second);
        }
        return contexts;
    }

    TestHandler handler;
    ScriptedComm comm{&handler};
};

using Dispatch = Fixture;

} // namespace

TEST_F(Dispatch, SmallerPriorityFirstAndInsertionOrderKept)
{
    auto high = handler.make(High, "high");
    auto low1 = handler.make(Low, "low1");
    auto low2 = handler.make(Low, "low2");
    handler.pushMessage(high);
    handler.pushMessage(low1);
    handler.pushMessage(low2);

    EXPECT_EQ(handler.topMessage(), low1);
    low1->setSent(true);
    EXPECT_EQ(handler.topMessage(), low2);
    low2->getPromise()->set_value("");
    EXPECT_EQ(handler.topMessage(), high);
    high->setSent(true);
    EXPECT_EQ(handler.topMessage(), nullptr);
    // Sent and answered contexts stay until purged.
    EXPECT_EQ(queued(), (std::vector<MessageContextPtr>{low1, low2, high}));
}

TEST_F(Dispatch, SuccessfulExchangeCompletesThePromiseSynchronously)
{
    auto context = handler.make();
    handler.queueMessage(context);
    PromisePtr promise = context->getPromise();
    EXPECT_EQ(comm.sends, 1);
    EXPECT_EQ(handler.received, 1);
    EXPECT_EQ(promise->getStatus(), IPromise::Complete);
    EXPECT_EQ(promise->getAPIStatusCode(), EStatusCode::Success);
    EXPECT_EQ(promise->wait(), IPromise::Complete);
    EXPECT_EQ(lastError(*promise), "");

    // Released and handled: purged by the next queueMessage.
    promise->release();
    auto next = handler.make();
    handler.queueMessage(next);
    EXPECT_EQ(queued(), (std::vector<MessageContextPtr>{next}));
}

TEST_F(Dispatch, ReleaseBeforeTheAnswerRemovesOnlyThatContext)
{
    comm.setDefault({Reply::Silent});
    auto first = handler.make(Medium, "first");
    auto second = handler.make(Medium, "second");
    handler.queueMessage(first);
    handler.queueMessage(second);
    first->getPromise()->release();

    handler.handleMessage(first);
    EXPECT_TRUE(first->getPromise()->getIsHandled());
    EXPECT_EQ(queued(), (std::vector<MessageContextPtr>{second}));
}

TEST_F(Dispatch, FailuresSettleThePromiseAndSkipTheHandler)
{
    struct Case {
        Reply reply;
        EStatusCode code;
        const char* text;
    };
    const Case cases[] = {
        {{Reply::Answer, EStatusCode::DeviceBusy, 0}, EStatusCode::DeviceBusy,
         "Encountered an API error (129)\nDevice Error :: Device is Busy and cannot comply"},
        {{Reply::Answer, EStatusCode::InvalidParameter, 0}, EStatusCode::InvalidParameter,
         "Encountered an API error (7)\nClient Error :: Invalid Parameter"},
        {{Reply::Answer, EStatusCode::DeviceError, 0}, EStatusCode::DeviceError,
         "Encountered an API error (128)\nUnknown Error"},
        {{Reply::CommError, EStatusCode::Success, 5}, EStatusCode::InvalidStatus,
         "[ERROR] Camera::receiveMessage() : Comm reported error code 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        comm.script({c.reply});
        handler.received = 0;
        auto context = handler.make();
        // The failure path re-enters the handler's queue from inside queueMessage.
        handler.queueMessage(context);
        PromisePtr promise = context->getPromise();
        EXPECT_EQ(handler.received, 0);
        EXPECT_TRUE(promise->getIsHandled());
        EXPECT_EQ(promise->getStatus(), IPromise::Error);
        EXPECT_EQ(promise->getAPIStatusCode(), c.code);
        EXPECT_EQ(promise->wait(), IPromise::Error);
        EXPECT_EQ(lastError(*promise), c.text);
        promise->release();
    }
}

TEST_F(Dispatch, FailureStartsTheHandlersNextExchange)
{
    comm.setDefault({Reply::Silent});
    auto waiting = handler.make(Medium, "waiting");
    // Not sent yet: pushed behind the failing one without a send of its own.
    comm.script({{Reply::Answer, EStatusCode::DeviceBusy, 0}});
    auto failing = handler.make(Low, "failing");
    handler.pushMessage(waiting);
    handler.queueMessage(failing);
    EXPECT_EQ(failing->getPromise()->getStatus(), IPromise::Error);
    // The dispatch handed the failure back and the handler sent the next one.
    EXPECT_TRUE(waiting->getSent());
    EXPECT_EQ(comm.sends, 2);
}

TEST_F(Dispatch, InvalidResponseIsResentOnceAndLeavesThePromiseAlone)
{
    comm.script({{Reply::Invalid}, {Reply::Silent}});
    auto context = handler.make();
    handler.queueMessage(context);
    PromisePtr promise = context->getPromise();
    EXPECT_EQ(comm.resends, 1);
    EXPECT_EQ(comm.sends, 2);
    EXPECT_EQ(context->getResentCount(), 1);
    EXPECT_FALSE(promise->getIsHandled());
    EXPECT_EQ(promise->getStatus(), IPromise::Executing);
    EXPECT_EQ(handler.received, 0);

    comm.script({{Reply::Invalid}, {Reply::Answer}});
    auto recovered = handler.make();
    handler.queueMessage(recovered);
    EXPECT_EQ(comm.resends, 2);
    EXPECT_EQ(recovered->getPromise()->getStatus(), IPromise::Complete);
    EXPECT_EQ(handler.received, 1);
}

TEST_F(Dispatch, ResendsOfInvalidResponsesAreBounded)
{
    comm.setDefault({Reply::Invalid});
    auto context = handler.make(Medium, "Camera::queryInfo");
    handler.queueMessage(context);
    PromisePtr promise = context->getPromise();
    EXPECT_EQ(comm.resends, MessageContext::c_maxResends);
    EXPECT_EQ(comm.sends, MessageContext::c_maxResends + 1);
    EXPECT_EQ(promise->getStatus(), IPromise::Error);
    EXPECT_TRUE(promise->getIsHandled());
    EXPECT_EQ(promise->wait(), IPromise::Error);
    EXPECT_EQ(lastError(*promise), "Invalid response received for packet 'Camera::queryInfo'");
    EXPECT_EQ(handler.received, 0);
}

TEST_F(Dispatch, UnclaimedResponseLeavesThePromiseOpenUntilItsTimeOut)
{
    handler.claim = false;
    auto context = handler.make();
    handler.queueMessage(context);
    PromisePtr promise = context->getPromise();
    EXPECT_EQ(handler.received, 1);
    EXPECT_FALSE(promise->getIsHandled());
    EXPECT_EQ(promise->getStatus(), IPromise::Executing);
    EXPECT_EQ(promise->getAPIStatusCode(), EStatusCode::Success);
    promise->setTimeout(20);
    EXPECT_EQ(promise->wait(), IPromise::Error);
    EXPECT_EQ(lastError(*promise), "Promise timed out.");
}

TEST_F(Dispatch, AbortedTransportDropsFailuresSilently)
{
    comm.script({{Reply::Answer, EStatusCode::DeviceBusy, 0}});
    comm.setAborted(true);
    auto context = handler.make();
    handler.queueMessage(context);
    PromisePtr promise = context->getPromise();
    EXPECT_EQ(promise->getAPIStatusCode(), EStatusCode::DeviceBusy);
    EXPECT_FALSE(promise->getIsHandled());
    EXPECT_EQ(promise->getStatus(), IPromise::Executing);
}

TEST_F(Dispatch, ContextWithoutHandlerIsLeftOpen)
{
    auto context = handler.make();
    context->setIoHandler(nullptr);
    comm.sendMessage(context);
    EXPECT_EQ(context->getPromise()->getStatus(), IPromise::Executing);
    EXPECT_EQ(handler.received, 0);
}

TEST(MessageContext, CopySharesThePromiseAndMoveEmptiesTheSource)
{
    TestHandler handler;
    auto original = handler.make(High, "copy me");
    original->setResent();
    original->setSent(true);

    MessageContext copy(*original);
    EXPECT_EQ(copy.getPromise(), original->getPromise());
    EXPECT_EQ(copy.getRequest(), original->getRequest());
    EXPECT_EQ(copy.getResponse(), nullptr);
    EXPECT_EQ(copy.getResentCount(), 0);
    EXPECT_TRUE(copy.getSent());
    EXPECT_EQ(copy.getPriority(), static_cast<uint32_t>(High));
    EXPECT_EQ(copy.getName(), "copy me");
    EXPECT_EQ(copy.getIoHandler(), &handler);

    MessageContext moved(std::move(copy));
    EXPECT_EQ(moved.getPromise(), original->getPromise());
    EXPECT_EQ(copy.getPromise(), nullptr);
    EXPECT_EQ(copy.getRequest(), nullptr);
    EXPECT_EQ(copy.getEndpoint(), nullptr);
    EXPECT_EQ(copy.getIoHandler(), nullptr);

    MessageContext empty;
    EXPECT_NE(empty.getPromise(), nullptr);
    EXPECT_EQ(empty.getBuffer(), nullptr);
    EXPECT_TRUE(empty.getHasResponse());
    EXPECT_FALSE(empty.getUseHiSpeed());
    for (int i = 0; i < MessageContext::c_maxResends; ++i) {
        EXPECT_FALSE(empty.getResent());
        empty.setResent();
    }
    EXPECT_TRUE(empty.getResent());
}

TEST(MessageContext, BufferIsTheRequestFrame)
{
    TestHandler handler;
    auto context = handler.make();
    EXPECT_EQ(Comm::PrintBuffer(context->getBuffer()), "a5 0a 00 00 00 00 00 00 00 ");
}

TEST(Comm, PrintBuffer)
{
    const char bytes[] = {static_cast<char>(0xA5), 0x00, 0x1F};
    EXPECT_EQ(Comm::PrintBuffer(IOBuffer::newBuffer(bytes, 3)), "a5 00 1f ");
    EXPECT_EQ(Comm::PrintBuffer(IOBuffer::newBuffer(0)), "");
    EXPECT_EQ(Comm::PrintBuffer(nullptr), "Empty Message");
}

TEST(Comm, DefaultsOfTheBaseClass)
{
    TestHandler handler;
    ScriptedComm comm(&handler);
    size_t length = 4;
    unsigned char buffer[4];
    try {
        comm.readRaw(nullptr, buffer, length);
        FAIL() << "readRaw must throw";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Unimplemented for this interface");
    }
    EXPECT_FALSE(comm.processingResponses());
    EXPECT_EQ(comm.processedResponses(), 0u);
    EXPECT_EQ(comm.queuedResponses(), 0u);
    EXPECT_TRUE(comm.isEnabled());
    EXPECT_FALSE(comm.getAsyncIO());
    EXPECT_FALSE(comm.getAborted());
    // Without counters the receive loop runs once instead of spinning.
    EXPECT_EQ(comm.receiveMessages(nullptr, 3, 0), 0);

    EXPECT_EQ(comm.getIoHandlers().size(), 1u);
    comm.registerHandler(&handler);
    EXPECT_EQ(comm.getIoHandlers().size(), 2u);
    comm.unregisterHandler(&handler);
    EXPECT_TRUE(comm.getIoHandlers().empty());
    comm.setIoHandlers({&handler});
    comm.clearHandlers();
    EXPECT_TRUE(comm.getIoHandlers().empty());
}

TEST(Literals, SizesAndCounts)
{
    static_assert(4_KB == 4096ULL, "");
    static_assert(3_MB == 3145728ULL, "");
    static_assert(10_K == 10000ULL, "");
    SUCCEED();
}
