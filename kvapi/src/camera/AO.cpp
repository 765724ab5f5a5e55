#include "camera/AO.h"

#include "camera/Camera.h"
#include "protocol/AOGetStatusResponseBody.h"
#include "protocol/AOGotoRequestBody.h"
#include "protocol/AOInitResponseBody.h"
#include "protocol/Message.h"
#include "transport/Comm.h"
#include "transport/Endpoint.h"

#include <algorithm>

namespace kv {

namespace {

constexpr const char* c_noEndpoint = "Camera has no valid endpoint.";

} // namespace

AO::AO(Camera& camera)
    : Peripheral(camera, camera.getCommRef()), m_tip(0), m_tilt(0), m_model(InvalidAOModel), m_status(InvalidAOStatus)
{
}

AO::~AO() = default;

uint16_t AO::toTTX(uint16_t position)
{
    const int scaled = (static_cast<int>(position) - AO_CENTER) / 8 + AO_CENTER;
    return static_cast<uint16_t>(
        std::clamp(scaled, AO_CENTER - AO_MAX_DEFLECT, AO_CENTER + AO_MAX_DEFLECT));
}

MessageContextPtr AO::newRequest(BodyType bodyType, MessagePriority priority, const char* label)
{
    Camera& camera = getCamera();
    if (!camera.getEndpoint()) {
        camera.fail(c_noEndpoint);
    }
    return camera.makeRequest(*this, getComm(), bodyType, priority, label);
}

IPromisePtr AO::initialize()
{
    return getCamera().queueRequest(*this, newRequest(AOInit, Medium, ""));
}

IPromisePtr AO::queryStatus()
{
    return getCamera().queueRequest(*this, newRequest(AOGetStatus, Medium, ""));
}

IPromisePtr AO::setPosition(int16_t x, int16_t y)
{
    uint16_t tip = static_cast<uint16_t>(x);
    uint16_t tilt = static_cast<uint16_t>(y);
    if (getModel() == TTX) {
        tip = toTTX(tip);
        tilt = toTTX(tilt);
    }
    const MessageContextPtr context = newRequest(AOGoto, High, "AO::Goto");
    const auto body = context->getRequest()->getTypedBody<V1::AOGotoRequestBody>();
    if (!body) {
        getCamera().fail("Invalid body created.");
    }
    body->setTip(tip);
    body->setTilt(tilt);
    // Not under m_mutex: the answer handlers take it on the thread that holds
    // the queue's lock, so holding it here while queuing could deadlock.
    IPromisePtr promise = getCamera().queueRequest(*this, context);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tip = x;
    m_tilt = y;
    return promise;
}

IAO::Status AO::getStatus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_status;
}

void AO::getPosition(int16_t& tip, int16_t& tilt)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    tip = m_tip;
    tilt = m_tilt;
}

void AO::getLimits(size_t& tipMin, size_t& tipMax, size_t& tiltMin, size_t& tiltMax)
{
    tipMin = c_limitMin;
    tipMax = c_limitMax;
    tiltMin = c_limitMin;
    tiltMax = c_limitMax;
}

IAO::Model AO::getModel()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_model;
}

void AO::sendMessage()
{
    sendToComm(topMessage());
}

bool AO::receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr)
{
    switch (response.getBodyType()) {
    case AOInit:
        return onInitResponse(response, sender);
    case AOGetStatus:
        return onGetStatusResponse(response, sender);
    case AOGoto:
        return onEmptyResponse(sender);
    default:
        return false;
    }
}

bool AO::onInitResponse(const Message& response, const EndpointPtr& sender)
{
    if (!isFromOwnCamera(sender)) {
        getCamera().log(logging::eERRORL1, "This is not our AO");
        return false;
    }
    const auto body = response.getTypedBody<V1::AOInitResponseBody>();
    if (!body) {
        getCamera().fail("Invalid response to AOInitialize");
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model = body->getModel();
    return true;
}

bool AO::onGetStatusResponse(const Message& response, const EndpointPtr& sender)
{
    if (!isFromOwnCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::AOGetStatusResponseBody>();
    if (!body) {
        getCamera().fail("Invalid response to AOGetStatus");
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = body->getStatus();
    return true;
}

bool AO::onEmptyResponse(const EndpointPtr& sender)
{
    return isFromOwnCamera(sender);
}

} // namespace kv
