#include "LoopbackPeer.h"
#include "PrivateNetwork.h"

#include "firmware/VirtualCamera.h"
#include "protocol/EchoBody.h"
#include "protocol/GetCameraCapabilityRequestBody.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "protocol/Message.h"
#include "protocol/SetFanSpeedRequestBody.h"
#include "transport/IOHandler.h"
#include "transport/NetEndpoint.h"
#include "transport/Promise.h"
#include "transport/UDPComm.h"
#include "transport/UDPController.h"
#include "udp/SimServer.h"
#include "unit/logging/LogFiles.h"
#include "unit/protocol/HexBytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace kv;
using kvsim::SimServer;
using kvsim::VirtualCamera;
using kvtest::LoopbackPeer;

namespace {

// Addresses of their own, away from the 127.0.0.x other suites use.
constexpr const char* c_cameraA = "127.0.6.2";
constexpr const char* c_cameraB = "127.0.6.3";

struct Answer {
    BodyType bodyType = InvalidBody;
    NetEndpointPtr sender;
    uint32_t serial = 0;
};

// The asking side: sends its top exchange through the transport and records
// every answer handed to it.
class Recorder : public IOHandler {
public:
    void sendMessage() override
    {
        const MessageContextPtr top = topMessage();
        if (top && comm != nullptr) {
            comm->sendMessage(top);
        }
    }

    bool receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr) override
    {
        Answer answer;
        answer.bodyType = response.getBodyType();
        answer.sender = std::dynamic_pointer_cast<NetEndpoint>(sender);
        if (const auto info = response.getTypedBody<V1::GetCameraInfoResponseBody>()) {
            answer.serial = info->getSerialNumber();
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers.push_back(answer);
        return true;
    }

    std::vector<Answer> answers()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_answers;
    }
    // Discovery on loopback also hears cameras of other test runs: keep ours.
    std::vector<Answer> answersFrom(const std::string& ip)
    {
        std::vector<Answer> selected;
        for (const Answer& answer : answers()) {
            if (answer.sender && answer.sender->getIp() == ip) {
                selected.push_back(answer);
            }
        }
        return selected;
    }

    Comm* comm = nullptr; // not owned

private:
    std::mutex m_mutex;
    std::vector<Answer> m_answers;
};

struct SimCamera {
    SimCamera(const std::string& preset, const std::string& address)
        : server(VirtualCamera::fromPreset(preset), address)
    {
    }
    VirtualCamera& camera() { return *server.camera(); }
    uint32_t serial() { return camera().info().serialNumber; }

    SimServer server;
};

// Discovery listens a shorter window in these tests.
struct ShortDiscoveryWindow {
    ShortDiscoveryWindow() { UDPController::get().setDiscoveryWindow(300); }
    ~ShortDiscoveryWindow() { UDPController::get().setDiscoveryWindow(UDPController::c_defaultDiscoveryWindowMs); }
};

void discover(UDPComm& comm, Recorder& handler, const std::string& destination)
{
    auto request = std::make_shared<V1RequestMessage>(GetCameraInfo, V1None);
    auto response = std::make_shared<V1ResponseMessage>(GetCameraInfo, V1None);
    auto templ = std::make_shared<NetEndpoint>(destination, 6363, 0);
    request->updateEndpoint(templ, -1);
    comm.queryDevices(request, response, templ, &handler);
}

std::string lastError(IPromise& promise)
{
    char text[256];
    size_t length = sizeof text;
    promise.getLastError(text, length);
    return std::string(text, length);
}

NetEndpointPtr cameraEndpoint(const std::string& ip)
{
    auto endpoint = std::make_shared<NetEndpoint>(ip, 6363, 0);
    endpoint->setNICIP("127.0.0.1");
    return endpoint;
}

// A camera, and a transport open for it.
struct Connected : ::testing::Test {
    void SetUp() override
    {
        sim.server.start();
        handler.comm = &comm;
        comm.setResponseTimeout(200);
        comm.openDevice(endpoint);
    }

    MessageContextPtr exchange(BodyType bodyType, const std::function<void(Message&)>& fill = {},
                               const std::string& name = "Test::exchange")
    {
        MessageContextPtr context = handler.makeMessage(bodyType, comm.getFooterType(), endpoint, Medium, name);
        if (fill) {
            fill(*context->getRequest());
        }
        context->getRequest()->updateEndpoint(endpoint, -1);
        handler.queueMessage(context);
        return context;
    }

    SimCamera sim{"BrisaBC455", c_cameraA};
    Recorder handler;
    UDPComm comm{&handler};
    NetEndpointPtr endpoint = cameraEndpoint(c_cameraA);
};

using UDPCommExchange = Connected;

} // namespace

TEST(UDPCommDiscovery, FindsOneCameraThroughItsNetwork)
{
    ShortDiscoveryWindow window;
    SimCamera sim("BrisaBC455", c_cameraA);
    sim.server.start();
    Recorder handler;
    UDPComm comm(&handler);
    discover(comm, handler, c_cameraA);

    const auto answers = handler.answersFrom(c_cameraA);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].bodyType, GetCameraInfo);
    EXPECT_EQ(answers[0].serial, sim.serial());
    EXPECT_EQ(answers[0].sender->getPort(), 6363);
    EXPECT_EQ(answers[0].sender->getNICIP(), "127.0.0.1");
    EXPECT_EQ(answers[0].sender->getSequenceNumber(), 0);
    // The request went out once, as a broadcast.
    const auto journal = sim.camera().journal().entries();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(hexbytes::toHex(journal[0].bytes), "a5 00 00 00 00 00 00 00 00");
}

TEST(UDPCommDiscovery, FindsTwoCamerasOnOneNetwork)
{
    ShortDiscoveryWindow window;
    SimCamera a("BrisaBC455", c_cameraA);
    SimCamera b("BrisaBC461", c_cameraB);
    a.server.start();
    b.server.start();
    Recorder handler;
    UDPComm comm(&handler);
    discover(comm, handler, c_cameraA);

    const auto fromA = handler.answersFrom(c_cameraA);
    const auto fromB = handler.answersFrom(c_cameraB);
    ASSERT_EQ(fromA.size(), 1u);
    ASSERT_EQ(fromB.size(), 1u);
    EXPECT_EQ(fromA[0].serial, a.serial());
    EXPECT_EQ(fromB[0].serial, b.serial());
}

TEST(UDPCommDiscovery, AddressOnNoLocalNetworkSendsNothing)
{
    // A long window: listening on some network would show as a wait of its length.
    ShortDiscoveryWindow restore;
    UDPController::get().setDiscoveryWindow(4000);
    SimCamera sim("BrisaBC455", c_cameraA);
    sim.server.start();
    Recorder handler;
    UDPComm comm(&handler);
    const auto start = std::chrono::steady_clock::now();
    discover(comm, handler, "203.0.113.9"); // TEST-NET-3: on no interface
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
    EXPECT_TRUE(handler.answers().empty());
    EXPECT_EQ(sim.camera().journal().size(), 0u);
}

// Besides the camera, a peer answers the broadcast: once from the host's own
// address, once with another body type, once as a
// non-frame, and once properly from an address of its own.
TEST(UDPCommDiscovery, IgnoresOwnAddressAndDatagramsThatAreNoInfoAnswer)
{
    ShortDiscoveryWindow window;
    LoopbackPeer host("127.0.0.1", 0);
    LoopbackPeer other("127.0.6.9", 0);
    ASSERT_TRUE(host.ok());
    ASSERT_TRUE(other.ok());
    const auto answer = hexbytes::fromHex("a5 00 01 00 00 00 0a 00 00 00 04 d2 04 00 00 1e 00 00 00 01");
    const std::vector<uint8_t> info(answer->data, answer->data + answer->length);
    std::vector<uint8_t> notAResponse = info;
    notAResponse[1] = 0x01;
    const std::vector<uint8_t> noFrame = {'h', 'e', 'l', 'l', 'o'};

    SimCamera sim("BrisaBC455", c_cameraA);
    sim.camera().faults().sendForeignBefore(2);
    sim.server.setObserver([&](const kvsim::Exchange& exchange) {
        if (!exchange.broadcast) {
            return;
        }
        const auto colon = exchange.source.find(':');
        const std::string ip = exchange.source.substr(0, colon);
        const auto port = static_cast<uint16_t>(std::stoi(exchange.source.substr(colon + 1)));
        host.sendTo(ip, port, info);
        other.sendTo(ip, port, notAResponse);
        other.sendTo(ip, port, noFrame);
        other.sendTo(ip, port, info);
    });
    sim.server.start();
    Recorder handler;
    UDPComm comm(&handler);
    discover(comm, handler, c_cameraA);

    EXPECT_TRUE(handler.answersFrom("127.0.0.1").empty());
    ASSERT_EQ(handler.answersFrom("127.0.6.9").size(), 1u);
    EXPECT_EQ(handler.answersFrom("127.0.6.9")[0].serial, 0x4d2u);
    EXPECT_EQ(handler.answersFrom(c_cameraA).size(), 1u);
}

TEST(UDPCommDiscovery, FullDiscoveryInAPrivateNetwork)
{
    if (!kvtest::inPrivateNetwork()) {
        kvtest::runInPrivateNetwork();
        return;
    }
    ShortDiscoveryWindow window;
    SimCamera sim("BrisaBC455", c_cameraA);
    sim.server.start();
    Recorder handler;
    UDPComm comm(&handler);
    discover(comm, handler, "255.255.255.255");
    // Loopback is the only network here.
    ASSERT_EQ(handler.answers().size(), 1u);
    EXPECT_EQ(handler.answers()[0].serial, sim.serial());
    EXPECT_EQ(handler.answers()[0].sender->getNICIP(), "127.0.0.1");
}

TEST(UDPCommDiscovery, CameraOnTwoInterfacesIsOfferedTwice)
{
    if (!kvtest::inPrivateNetwork()) {
        kvtest::runInPrivateNetwork("127.0.0.9");
        return;
    }
    ASSERT_EQ(UDPController::get().getBroadcastIPs().size(), 2u);
    ShortDiscoveryWindow window;
    SimCamera sim("BrisaBC455", c_cameraA);
    sim.server.start();
    Recorder handler;
    UDPComm comm(&handler);
    discover(comm, handler, "255.255.255.255");
    const auto answers = handler.answers();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].sender->getNICIP(), "127.0.0.1");
    EXPECT_EQ(answers[1].sender->getNICIP(), "127.0.0.9");
    EXPECT_EQ(answers[0].serial, sim.serial());
    EXPECT_EQ(answers[1].serial, sim.serial());
    EXPECT_EQ(sim.camera().journal().size(), 2u);
}

TEST(UDPCommDiscovery, NetworkConfigurationFrameLeavesFromEveryInterface)
{
    if (!kvtest::inPrivateNetwork()) {
        kvtest::runInPrivateNetwork("127.0.0.9");
        return;
    }
    // Where a camera hears broadcasts to port 6363, beside the sending sockets.
    LoopbackPeer listener("0.0.0.0", 6363, true);
    ASSERT_TRUE(listener.ok());
    std::vector<uint8_t> frame(60, 0);
    frame[0] = 0xA5;
    frame[1] = 49;
    frame[5] = 50;
    UDPComm comm;
    auto everyone = std::make_shared<NetEndpoint>("255.255.255.255", 6363, 0);
    std::vector<std::string> sent;
    for (const auto& nic : UDPController::get().getBroadcastIPs()) {
        EXPECT_TRUE(comm.writeRawUnbound(frame.data(), frame.size(), everyone, kvtest::ipv4(nic.getHostIP())));
        sent.push_back(nic.getHostIP());
    }
    ASSERT_EQ(sent.size(), 2u);
    for (size_t i = 0; i < sent.size(); ++i) {
        uint16_t from = 0;
        EXPECT_EQ(listener.receive(std::chrono::milliseconds(2000), &from), frame);
        EXPECT_EQ(from, 6363);
    }
}

TEST_F(UDPCommExchange, RequestsOfSeveralBodyTypesAreAnsweredOnce)
{
    struct Case {
        const char* name;
        BodyType bodyType;
        std::function<void(Message&)> fill;
        const char* request;
    };
    const Case cases[] = {
        {"GetCameraInfo", GetCameraInfo, {}, "a5 00 00 00 00 00 00 00 00"},
        {"GetCameraStatus", GetCameraStatus, {}, "a5 06 00 00 00 00 00 00 00"},
        {"GetCameraCapability", GetCameraCapability,
         [](Message& m) { m.getTypedBody<V1::GetCameraCapabilityRequestBody>()->setKey(ICamera::eSupportsCooler); },
         "a5 23 00 00 00 01 00 00 00 01"},
        {"SetFanSpeed", SetFanSpeed, [](Message& m) { m.getTypedBody<V1::SetFanSpeedRequestBody>()->setFanSpeed(3); },
         "a5 0d 00 00 00 01 00 00 00 03"},
        {"EchoRequest", EchoRequest, [](Message& m) { m.getTypedBody<V1::EchoBody>()->setData("kv!", 3); },
         "a5 18 00 00 00 03 00 00 00 6b 76 21"},
        {"GetCoolerState", GetCoolerState, {}, "a5 2a 00 00 00 00 00 00 00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.camera().journal().clear();
        const size_t answered = handler.answers().size();
        const MessageContextPtr context = exchange(c.bodyType, c.fill, c.name);
        ASSERT_EQ(context->getPromise()->wait(), IPromise::Complete) << lastError(*context->getPromise());
        const auto answers = handler.answers();
        ASSERT_EQ(answers.size(), answered + 1);
        EXPECT_EQ(answers.back().bodyType, c.bodyType);
        EXPECT_TRUE(answers.back().sender->compare(endpoint));
        const auto journal = sim.camera().journal().entries();
        ASSERT_EQ(journal.size(), 1u);
        EXPECT_EQ(hexbytes::toHex(journal[0].bytes), c.request);
    }
    EXPECT_EQ(handler.answers().front().serial, sim.serial());
}

TEST_F(UDPCommExchange, StrayAndCutShortDatagramsBeforeTheAnswerAreSkipped)
{
    sim.camera().faults().sendForeignBefore(2);
    sim.camera().faults().sendTruncatedBefore(2);
    const MessageContextPtr context = exchange(GetCameraInfo);
    EXPECT_EQ(context->getPromise()->wait(), IPromise::Complete);
    ASSERT_EQ(handler.answers().size(), 1u);
    EXPECT_EQ(handler.answers()[0].serial, sim.serial());
    EXPECT_EQ(sim.camera().journal().size(), 1u);
    EXPECT_EQ(context->getResentCount(), 0);
}

TEST_F(UDPCommExchange, SilenceGivesFiveSendsThenRxTimeout)
{
    sim.camera().faults().setSilent(true);
    const auto start = std::chrono::steady_clock::now();
    const MessageContextPtr context = exchange(GetCameraStatus, {}, "Camera::queryStatus");
    // Synchronous: the whole exchange ran inside queueMessage.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5 * 200));
    EXPECT_EQ(context->getPromise()->wait(), IPromise::Error);
    EXPECT_EQ(lastError(*context->getPromise()), "Rx Timeout: no response received for packet 'Camera::queryStatus'");
    EXPECT_TRUE(sim.camera().journal().waitForCount(GetCameraStatus, 5, std::chrono::milliseconds(2000)));
    EXPECT_EQ(sim.camera().journal().size(), 5u);
    EXPECT_TRUE(handler.answers().empty());
}

TEST_F(UDPCommExchange, BadChecksumIsAnsweredByAResend)
{
    struct Case {
        uint32_t refusals;
        IPromise::Status outcome;
        size_t sends;
    };
    for (const Case& c : {Case{1, IPromise::Complete, 2}, Case{3, IPromise::Complete, 4},
                          Case{5, IPromise::Error, 5}}) {
        SCOPED_TRACE(c.refusals);
        sim.camera().journal().clear();
        sim.camera().faults().answerNextWith(EStatusCode::BadChecksum, c.refusals);
        const MessageContextPtr context = exchange(GetCameraStatus, {}, "Camera::queryStatus");
        EXPECT_EQ(context->getPromise()->wait(), c.outcome);
        EXPECT_EQ(sim.camera().journal().size(), c.sends);
        sim.camera().faults().clear();
    }
    EXPECT_EQ(handler.answers().size(), 2u);
}

TEST_F(UDPCommExchange, RequestWithoutAnswerEndsWhenWritten)
{
    sim.camera().faults().setSilent(true);
    MessageContextPtr context =
        handler.makeMessage(UnlockSpecialCommands, V1None, endpoint, High, "Camera::UnlockSpecialCommands", false);
    context->setResponse(nullptr);
    context->getRequest()->updateEndpoint(endpoint, -1);
    handler.queueMessage(context);
    EXPECT_EQ(context->getPromise()->wait(), IPromise::Complete);
    EXPECT_TRUE(sim.camera().journal().waitForCount(1, std::chrono::milliseconds(2000)));
    EXPECT_EQ(sim.camera().journal().size(), 1u);
}

TEST_F(UDPCommExchange, ImageChannelsAreZeroAndRawPeekSeesTheCamerasDatagrams)
{
    uint32_t ip0 = 1, ip1 = 1;
    uint16_t port0 = 1, ports0b = 1, port1 = 1, ports1b = 1;
    comm.getImgChannels(ip0, port0, ports0b, ip1, port1, ports1b);
    EXPECT_EQ(std::vector<uint32_t>({ip0, port0, ports0b, ip1, port1, ports1b}), std::vector<uint32_t>(6, 0));

    // A raw frame through the command socket; its answer is read in place.
    V1RequestMessage request(GetCameraStatus, V1None);
    request.updateEndpoint(endpoint, -1);
    IOBufferPtr frame = request.getBuffer();
    ASSERT_TRUE(comm.writeRaw(reinterpret_cast<uint8_t*>(frame->data), frame->length, endpoint));
    uint8_t* data = nullptr;
    size_t length = 0;
    ASSERT_TRUE(kvtest::waitFor([&] { return comm.peekRaw(0, data, length); }));
    EXPECT_EQ(length, 10u + 12u);
    EXPECT_EQ(hexbytes::toHex(IOBuffer::newBuffer(reinterpret_cast<char*>(data), 4)), "a5 06 01 00");
    EXPECT_TRUE(comm.popRaw(0));
    EXPECT_FALSE(comm.peekRaw(data, length));
}

// Both command sockets are bound to port 6363 of the same host address with
// port reuse; each must see only its own camera's answers.
TEST(UDPCommParallel, TwoCamerasQueriedFromTwoThreadsGetOnlyTheirOwnAnswers)
{
    SimCamera a("BrisaBC455", c_cameraA);
    SimCamera b("BrisaBC461", c_cameraB);
    a.server.start();
    b.server.start();
    ASSERT_NE(a.serial(), b.serial());

    constexpr int c_rounds = 100;
    auto run = [](SimCamera& sim, const std::string& ip, std::atomic<int>& wrong, std::atomic<int>& failed) {
        Recorder handler;
        UDPComm comm(&handler);
        handler.comm = &comm;
        comm.setResponseTimeout(1000);
        const NetEndpointPtr endpoint = cameraEndpoint(ip);
        comm.openDevice(endpoint);
        EXPECT_EQ(comm.getCommandSocket()->getBoundPort(), 6363);
        for (int round = 0; round < c_rounds; ++round) {
            MessageContextPtr context = handler.makeMessage(GetCameraInfo, V1None, endpoint, Medium, "Test::info");
            context->getRequest()->updateEndpoint(endpoint, -1);
            handler.queueMessage(context);
            if (context->getPromise()->wait() != IPromise::Complete || context->getResentCount() != 0) {
                ++failed;
            }
            context->getPromise()->release();
        }
        for (const Answer& answer : handler.answers()) {
            if (answer.serial != sim.serial()) {
                ++wrong;
            }
        }
        EXPECT_EQ(handler.answers().size(), size_t(c_rounds));
        comm.closeDevice(endpoint);
    };
    std::atomic<int> wrongA{0}, wrongB{0}, failedA{0}, failedB{0};
    std::thread threadA([&] { run(a, c_cameraA, wrongA, failedA); });
    std::thread threadB([&] { run(b, c_cameraB, wrongB, failedB); });
    threadA.join();
    threadB.join();
    EXPECT_EQ(wrongA.load() + wrongB.load(), 0);
    EXPECT_EQ(failedA.load() + failedB.load(), 0);
    EXPECT_EQ(a.camera().journal().size(), size_t(c_rounds));
    EXPECT_EQ(b.camera().journal().size(), size_t(c_rounds));
}

// Two components of one camera (say the camera polling its status while a sensor is asked
// for its description) share the transport's socket: each exchange must get its own answer,
// the first time, whichever thread reads the socket.
TEST(UDPCommParallel, TwoHandlersOfOneCameraOnTwoThreadsGetTheirOwnAnswers)
{
    SimCamera sim("BrisaBC455", c_cameraA);
    sim.server.start();
    Recorder first;
    Recorder second;
    UDPComm comm(&first);
    first.comm = &comm;
    second.comm = &comm;
    comm.setResponseTimeout(1000);
    const NetEndpointPtr endpoint = cameraEndpoint(c_cameraA);
    comm.openDevice(endpoint);

    constexpr int c_rounds = 100;
    auto run = [&](Recorder& handler, BodyType bodyType, std::atomic<int>& failed) {
        for (int round = 0; round < c_rounds; ++round) {
            MessageContextPtr context = handler.makeMessage(bodyType, V1None, endpoint, Medium, "Test::parallel");
            context->getRequest()->updateEndpoint(endpoint, -1);
            handler.queueMessage(context);
            if (context->getPromise()->wait() != IPromise::Complete || context->getResentCount() != 0) {
                ++failed;
            }
            context->getPromise()->release();
        }
    };
    std::atomic<int> failedInfo{0}, failedStatus{0};
    std::thread info([&] { run(first, GetCameraInfo, failedInfo); });
    std::thread status([&] { run(second, GetCameraStatus, failedStatus); });
    info.join();
    status.join();
    comm.closeDevice(endpoint);

    EXPECT_EQ(failedInfo.load(), 0);
    EXPECT_EQ(failedStatus.load(), 0);
    const auto infoAnswers = first.answers();
    const auto statusAnswers = second.answers();
    EXPECT_EQ(infoAnswers.size(), size_t(c_rounds));
    EXPECT_EQ(statusAnswers.size(), size_t(c_rounds));
    for (const Answer& answer : infoAnswers) {
        EXPECT_EQ(answer.bodyType, GetCameraInfo);
    }
    for (const Answer& answer : statusAnswers) {
        EXPECT_EQ(answer.bodyType, GetCameraStatus);
    }
    EXPECT_EQ(sim.camera().journal().size(), size_t(2 * c_rounds));
}

// With a logger at its most detailed ordinary level, opening the device reports the receive
// buffer obtained and every exchange leaves its request and response lines.
TEST(UDPCommLog, OpenAndExchangesAreLogged)
{
    logtest::TempHome home;
    auto logger = logtest::startLog(home.logDir(), 4);
    SimCamera sim("BrisaBC455", c_cameraA);
    sim.server.start();
    Recorder handler;
    UDPComm comm(&handler);
    handler.comm = &comm;
    comm.setLogger(logger);
    comm.setResponseTimeout(200);
    const NetEndpointPtr endpoint = cameraEndpoint(c_cameraA);
    comm.openDevice(endpoint);

    MessageContextPtr context = handler.makeMessage(GetCameraInfo, comm.getFooterType(), endpoint, Medium, "Log");
    context->getRequest()->updateEndpoint(endpoint, -1);
    handler.queueMessage(context);
    ASSERT_EQ(context->getPromise()->wait(), IPromise::Complete);
    comm.closeDevice(endpoint);

    const std::string log = logtest::finish(*logger);
    EXPECT_NE(log.find("Rx buffer: requested 295370752 bytes, got "), std::string::npos) << log;
    EXPECT_NE(log.find("Sending request: GetCameraInfo | Target Port: 6363 | Target IP: 127.0.6.2"),
              std::string::npos) << log;
    EXPECT_NE(log.find("Receiving response: GetCameraInfo | Source Port: 6363 | Source IP: 127.0.6.2"),
              std::string::npos) << log;
}
