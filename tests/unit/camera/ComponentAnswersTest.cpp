// Answers handed to the camera and its components the way the dispatch hands
// them over, without a network: what they store, and what they refuse.
#include "camera/AO.h"
#include "camera/Camera.h"
#include "camera/FW.h"
#include "camera/TEC.h"
#include "protocol/AOInitResponseBody.h"
#include "protocol/FWGetStatusResponseBody.h"
#include "protocol/FWGotoRequestBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "protocol/GetCoolerStateResponseBody.h"
#include "protocol/Message.h"
#include "transport/MessageContext.h"
#include "transport/NetEndpoint.h"
#include "transport/UDPComm.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

using namespace kv;

namespace {

// A camera wired as the gateway wires it, on a transport that never opens.
struct Rig {
    Rig()
    {
        camera.setEndpoint(endpoint);
        camera.setComm(comm);
        tec = std::make_shared<TEC>(camera);
        fw = std::make_shared<FW>(camera);
        ao = std::make_shared<AO>(camera);
    }
    NetEndpointPtr endpoint = std::make_shared<NetEndpoint>("127.0.0.2", 6363, 0);
    NetEndpointPtr stranger = std::make_shared<NetEndpoint>("127.0.0.3", 6363, 0);
    std::shared_ptr<UDPComm> comm = std::make_shared<UDPComm>();
    Camera camera;
    std::shared_ptr<TEC> tec;
    std::shared_ptr<FW> fw;
    std::shared_ptr<AO> ao;
};

std::shared_ptr<V1ResponseMessage> answer(BodyType type)
{
    return std::make_shared<V1ResponseMessage>(type, V1None);
}

MessageContextPtr gotoContext(Rig& rig, uint8_t wirePosition)
{
    auto request = std::make_shared<V1RequestMessage>(FWGoto, V1None);
    request->getTypedBody<V1::FWGotoRequestBody>()->setPosition(wirePosition);
    return std::make_shared<MessageContext>(request, answer(FWGoto), rig.endpoint, Medium, rig.fw.get());
}

bool fwStatus(Rig& rig, IFW::Status status)
{
    const auto message = answer(FWGetStatus);
    message->getTypedBody<V1::FWGetStatusResponseBody>()->setStatus(status);
    return rig.fw->receiveMessage(*message, rig.endpoint, nullptr);
}

} // namespace

TEST(CoolerAnswers, StateAnswerSetsEnabledAndSetpointOnlyWhenEnabled)
{
    struct Case {
        bool enabled;
        float setpoint;
        float stored;
    };
    const Case cases[] = {{true, -10.5f, -10.5f}, {false, -10.5f, 0.0f}, {false, 12.0f, 0.0f}};
    for (const Case& c : cases) {
        Rig rig;
        const auto message = answer(GetCoolerState);
        auto body = message->getTypedBody<V1::GetCoolerStateResponseBody>();
        body->setEnabled(c.enabled);
        body->setSetpoint(c.setpoint);
        // Another endpoint's answer is not claimed and changes nothing.
        rig.tec->setSetpoint(3.0f);
        EXPECT_FALSE(rig.tec->receiveMessage(*message, rig.stranger, nullptr));
        EXPECT_EQ(rig.tec->getSetpoint(), 3.0f);
        EXPECT_TRUE(rig.tec->receiveMessage(*message, rig.endpoint, nullptr));
        EXPECT_EQ(rig.tec->getEnabled(), c.enabled);
        EXPECT_EQ(rig.tec->getSetpoint(), c.stored);
    }
}

TEST(CoolerAnswers, UnsupportedStateQueryFailsAtOnceWithoutSending)
{
    Rig rig;
    IPromisePtr promise = rig.tec->queryStatus();
    ASSERT_NE(promise, nullptr);
    EXPECT_EQ(promise->getStatus(), IPromise::Error);
    EXPECT_EQ(promise->getAPIStatusCode(), FeatureNotSupported);
    EXPECT_EQ(promise->wait(), IPromise::Error);
    char text[128] = {};
    size_t length = sizeof(text);
    promise->getLastError(text, length);
    EXPECT_EQ(std::string(text, length),
              "Firmware version does not support this command. Please upgrade your firmware.");
    promise->release();
    EXPECT_EQ(rig.tec->getQueueSize(), 0u);
}

TEST(CameraAnswers, StatusFromAnotherEndpointIsNotClaimedAndTheCoolerGetsTheReadings)
{
    Rig rig;
    const auto message = answer(GetCameraStatus);
    auto body = message->getTypedBody<V1::GetCameraStatusResponseBody>();
    body->setSensorTemperature(-20.25f);
    body->setHeatSinkTemperature(21.5f);
    body->setCoolerPower(40.0f);
    body->setPulseGuideStatus(PulseGuideStatus::c_xBusy);
    EXPECT_FALSE(rig.camera.receiveMessage(*message, rig.stranger, nullptr));
    EXPECT_EQ(rig.camera.getStatus().sensorTemperature, 0.0f);
    EXPECT_TRUE(rig.camera.receiveMessage(*message, rig.endpoint, nullptr));
    EXPECT_EQ(rig.camera.getStatus().sensorTemperature, -20.25f);
    EXPECT_EQ(rig.camera.getStatus().pulseGuideStatus, PulseGuideStatus::c_xBusy);
    // The camera has no cooler component of its own here; the rig's is not wired in.
    EXPECT_EQ(rig.tec->getSensorThermopileTemperature(), 0.0f);
}

TEST(CameraAnswers, RequestsWithoutTransportThrow)
{
    Camera camera;
    try {
        camera.queryStatus();
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "No comm present.");
    }
    EXPECT_THROW(camera.queryInfo(), std::runtime_error);
    EXPECT_EQ(camera.getConnectionType(), InvalidEndpoint);
    EXPECT_FALSE(camera.getConnection());
    EXPECT_EQ(camera.getCameraOption(Factory::IFactoryCamera::eCameraOptionPlatform), 2147483647);
}

TEST(FilterWheelAnswers, MoveCompletesAfterBusyThenIdle)
{
    Rig rig;
    EXPECT_TRUE(rig.fw->receiveMessage(*answer(FWGoto), rig.endpoint, gotoContext(rig, 1)));
    // Idle within the second after the move request: the move has not started.
    EXPECT_TRUE(fwStatus(rig, IFW::FWIdle));
    EXPECT_TRUE(fwStatus(rig, IFW::FWIdle));
    EXPECT_EQ(rig.fw->getPosition(), 0);
    EXPECT_TRUE(rig.fw->receiveMessage(*answer(FWGoto), rig.endpoint, gotoContext(rig, 5)));
    EXPECT_TRUE(fwStatus(rig, IFW::FWBusy));
    EXPECT_EQ(rig.fw->getStatus(), IFW::FWBusy);
    EXPECT_TRUE(fwStatus(rig, IFW::FWError)); // stored, does not complete the move
    EXPECT_EQ(rig.fw->getStatus(), IFW::FWError);
    EXPECT_EQ(rig.fw->getPosition(), 0);
    EXPECT_TRUE(fwStatus(rig, IFW::FWIdle));
    EXPECT_EQ(rig.fw->getPosition(), 4);
    // From another endpoint: not claimed.
    const auto message = answer(FWGetStatus);
    EXPECT_FALSE(rig.fw->receiveMessage(*message, rig.stranger, nullptr));
}

TEST(FilterWheelAnswers, ChildWheelsAreIndexedByAddress)
{
    Rig rig;
    rig.fw->registerChild({V1::PeripheralType::FilterWheel, 0x100 | 56, 2}); // only the low byte counts
    ASSERT_EQ(rig.fw->getChildCount(), 3u);
    EXPECT_EQ(rig.fw->getChildModel(0), IFW::UnknownFWModel);
    EXPECT_EQ(rig.fw->getChildModel(1), IFW::UnknownFWModel);
    EXPECT_EQ(rig.fw->getChildModel(2), IFW::FW7_MX);
    EXPECT_EQ(rig.fw->getChildSlots(2), 7u);
    EXPECT_STREQ(rig.fw->getModelName(5), "Unknown FW");
    // An address no inventory can mean is ignored rather than allocated.
    rig.fw->registerChild({V1::PeripheralType::FilterWheel, 65, 0xFFFFFFFFu});
    rig.fw->registerChild({V1::PeripheralType::FilterWheel, 65, 100000});
    EXPECT_EQ(rig.fw->getChildCount(), 3u);
}

TEST(AdaptiveOpticsAnswers, InitAnswerFromAnotherEndpointIsNotClaimed)
{
    Rig rig;
    const auto message = answer(AOInit);
    message->getTypedBody<V1::AOInitResponseBody>()->setModel(IAO::TTX);
    EXPECT_FALSE(rig.ao->receiveMessage(*message, rig.stranger, nullptr));
    EXPECT_EQ(rig.ao->getModel(), IAO::InvalidAOModel);
    EXPECT_TRUE(rig.ao->receiveMessage(*message, rig.endpoint, nullptr));
    EXPECT_EQ(rig.ao->getModel(), IAO::TTX);
}
