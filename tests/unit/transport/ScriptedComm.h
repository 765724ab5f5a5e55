#pragma once

// A transport for dispatch tests: it "sends" nothing and answers every request
// from a script of replies, synchronously on the caller's thread or on a real
// ActionProcessor worker, through the library's own dispatch.

#include "protocol/Message.h"
#include "transport/ActionProcessor.h"
#include "transport/Comm.h"
#include "transport/IOHandler.h"
#include "transport/NetEndpoint.h"
#include "transport/Promise.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kvtest {

struct Reply {
    enum Kind { Answer, Invalid, Silent, CommError };
    Kind kind = Answer;
    kv::EStatusCode status = kv::EStatusCode::Success;
    int error = 0;
};

// Every scripted exchange is an AbortExposure: empty bodies both ways.
constexpr kv::BodyType c_body = kv::AbortExposure;

class ScriptedComm : public kv::Comm {
public:
    explicit ScriptedComm(kv::IOHandler* handler, bool async = false) : kv::Comm(handler)
    {
        setAsyncIO(async);
        if (async) {
            m_worker = std::make_unique<kv::ActionProcessor>();
        }
    }

    ~ScriptedComm() override
    {
        setAborted(true);
        m_worker.reset();
    }

    void script(std::vector<Reply> replies)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_script.assign(replies.begin(), replies.end());
    }
    void setDefault(Reply reply)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_default = reply;
    }

    void openDevice(kv::EndpointPtr) override {}
    void queryDevices(kv::MessagePtr, kv::MessagePtr, kv::EndpointPtr, kv::IOHandlerPtr) override {}
    void closeDevice(kv::EndpointPtr) override {}
    void receiveMessage(kv::MessageContextPtr) override {}
    size_t availablePackets() override { return 0; }
    bool isBusy() override { return false; }
    kv::FooterType getFooterType() override { return kv::V1None; }

    void sendMessage(kv::MessageContextPtr context) override
    {
        ++sends;
        context->setSent(true);
        if (m_worker) {
            m_worker->queueAction([this, context] { exchange(context); });
        } else {
            exchange(context);
        }
    }

    void resendMessage(kv::MessageContextPtr context) override
    {
        ++resends;
        sendMessage(context);
    }

    std::atomic<int> sends{0};
    std::atomic<int> resends{0};

private:
    Reply next()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_script.empty()) {
            return m_default;
        }
        Reply reply = m_script.front();
        m_script.pop_front();
        return reply;
    }

    void exchange(const kv::MessageContextPtr& context)
    {
        const Reply reply = next();
        context->getPromise()->setStatus(kv::IPromise::Executing);
        switch (reply.kind) {
        case Reply::Silent:
            return;
        case Reply::CommError:
            updateHandlers(reply.error, context->getResponse(), context->getEndpoint(), context);
            return;
        case Reply::Answer:
        case Reply::Invalid:
            break;
        }
        // Response header: start byte, body type, header type 1, footer 0,
        // status, sensor id, body length 0. A start byte of 0x83 is invalid.
        const char frame[10] = {static_cast<char>(reply.kind == Reply::Invalid ? 0x83 : 0xA5),
                                static_cast<char>(c_body), 1, 0, static_cast<char>(reply.status), 0, 0, 0, 0, 0};
        kv::IOBufferPtr buffer = kv::IOBuffer::newBuffer(frame, sizeof(frame));
        kv::MessagePtr response = context->getResponse();
        response->setBuffer(buffer);
        updateHandlers(0, response, context->getEndpoint(), context);
    }

    std::mutex m_mutex;
    std::deque<Reply> m_script;
    Reply m_default;
    // Last member: joined first, while everything its actions use still exists.
    std::unique_ptr<kv::ActionProcessor> m_worker;
};

class TestHandler : public kv::IOHandler {
public:
    void sendMessage() override
    {
        kv::MessageContextPtr top = topMessage();
        if (top && comm != nullptr) {
            comm->sendMessage(top);
        }
    }

    bool receiveMessage(const kv::Message&, kv::EndpointPtr, kv::MessageContextPtr) override
    {
        ++received;
        return claim.load();
    }

    kv::MessageContextPtr make(kv::MessagePriority priority = kv::Medium, const std::string& name = "Test::abort")
    {
        return makeMessage(c_body, kv::V1None, std::make_shared<kv::NetEndpoint>("127.0.0.2", 6363, 0), priority,
                           name);
    }

    kv::Comm* comm = nullptr; // not owned
    std::atomic<int> received{0};
    std::atomic<bool> claim{true};
};

inline std::string lastError(kv::IPromise& promise)
{
    char buffer[256];
    size_t length = sizeof(buffer);
    promise.getLastError(buffer, length);
    return std::string(buffer, length);
}

} // namespace kvtest
