#include "camera/FW.h"

#include "camera/Camera.h"
#include "protocol/FWGetStatusResponseBody.h"
#include "protocol/FWGotoRequestBody.h"
#include "protocol/FWInitResponseBody.h"
#include "protocol/Message.h"
#include "transport/Comm.h"
#include "transport/Endpoint.h"

#include <stdexcept>

namespace kv {

namespace {

constexpr const char* c_noEndpoint = "Camera has no valid endpoint.";
constexpr const char* c_invalidMessage = "Invalid message structure.";
constexpr const char* c_unknownName = "Unknown FW";

const char* const c_builtInNames[] = {"BFW-16", "BFW-15", "BFW-14", "BFW-13", "BFW-12", "BFW-11", "BFW-10", "BFW-9",
                                      "BFW-8",  "BFW-7",  "BFW-6",  "BFW-5",  "BFW-4",  "BFW-3",  "BFW-2"};

} // namespace

FW::FW(Camera& camera)
    : Peripheral(camera, camera.getCommRef()),
      m_fwMoveState(Idle),
      m_queuedPositionTimeout(std::chrono::system_clock::now()),
      m_queuedPosition(0),
      m_position(0),
      m_primaryModel(InvalidFWModel),
      m_status(InvalidFWStatus)
{
}

FW::~FW() = default;

IFW::Model FW::getAPIModelID(uint8_t id)
{
    if (id <= 7) {
        return TWL;
    }
    if (id >= 16 && id <= 23) {
        return TW10;
    }
    if (id >= 24 && id <= 31) {
        return TW9;
    }
    if (id >= 32 && id <= 39) {
        return TWL8;
    }
    if (id >= 48 && id <= 55) {
        return FW5_MX;
    }
    if (id >= 56 && id <= 63) {
        return FW7_MX;
    }
    if (id >= 64 && id <= 71) {
        return (id & 0x07) == 1 ? FW8_8300 : FW5_8300;
    }
    if (id >= 128 && id <= 135) {
        return Internal;
    }
    if (id == 187) {
        return FW5_MF_DETENT;
    }
    if (id >= 184 && id <= 191) {
        return FW8_MT;
    }
    if (id >= 136 && id <= 150) {
        return static_cast<Model>(BFW16 + (id - 136));
    }
    return UnknownFWModel;
}

uint32_t FW::getModelSlots(Model model)
{
    switch (model) {
    case TW5:
    case TW8:
    case TW9:
    case FW5_MX:
    case FW5_8300:
    case FW5_MF_DETENT:
        return 5;
    case TWL:
    case TWL8:
    case TWL8G:
    case FW8_8300:
    case FW8_MT:
    case Internal:
        return 8;
    case TW402:
        return 4;
    case TW6A:
        return 6;
    case TW10:
    case TW10_SERIAL:
        return 10;
    case FW7_MX:
        return 7;
    default:
        break;
    }
    if (model >= BFW16 && model <= BFW2) {
        return 16 - (model - BFW16);
    }
    return 0;
}

const char* FW::getModelDisplayName(Model model)
{
    switch (model) {
    case TWL:
        return "TW-L";
    case TW10:
        return "TW-10";
    case TW9:
        return "TW-9";
    case TWL8:
        return "TW-8";
    case FW5_MX:
        return "FW5-MX";
    case FW5_8300:
        return "FW5-8300";
    case FW8_8300:
        return "FW8-8300";
    case FW7_MX:
        return "FW7-MX";
    case FW8_MT:
        return "FW8-MT";
    case FW5_MF_DETENT:
        return "FW5-MF (Detent)";
    case Internal:
        return "Internal FW";
    default:
        break;
    }
    if (model >= BFW16 && model <= BFW2) {
        return c_builtInNames[model - BFW16];
    }
    return c_unknownName;
}

// --- requests -------------------------------------------------------------

MessageContextPtr FW::newRequest(BodyType bodyType, const char* label)
{
    Camera& camera = getCamera();
    if (!camera.getEndpoint()) {
        camera.fail(c_noEndpoint);
    }
    return camera.makeRequest(*this, getComm(), bodyType, Medium, label);
}

IPromisePtr FW::initialize()
{
    return getCamera().queueRequest(*this, newRequest(FWInit, "FW::Init"));
}

IPromisePtr FW::queryStatus()
{
    return getCamera().queueRequest(*this, newRequest(FWGetStatus, "FW::GetStatus"));
}

IPromisePtr FW::setPosition(int position)
{
    const MessageContextPtr context = newRequest(FWGoto, "FW::Goto");
    const auto body = context->getRequest()->getTypedBody<V1::FWGotoRequestBody>();
    if (!body) {
        getCamera().fail("Could not generate request body");
    }
    // The wire counts positions from 1.
    body->setPosition(static_cast<uint8_t>(position + 1));
    return getCamera().queueRequest(*this, context);
}

// --- accessors ------------------------------------------------------------

int FW::getPosition()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_position;
}

IFW::Status FW::getStatus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_status;
}

IFW::Model FW::getModel()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_primaryModel;
}

void FW::setModel(Model model)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_primaryModel = model;
}

uint32_t FW::getSlots()
{
    return getModelSlots(getModel());
}

uint32_t FW::getChildCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<uint32_t>(m_children.size());
}

IFW::Model FW::getChildModel(uint32_t child)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return child < m_children.size() ? m_children[child] : InvalidFWModel;
}

uint32_t FW::getChildSlots(uint32_t child)
{
    if (child == 0) {
        return getSlots();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    return child < m_children.size() ? getModelSlots(m_children[child]) : 4294967295u;
}

const char* FW::getModelName(uint32_t child)
{
    if (child == 0) {
        return getModelDisplayName(getModel());
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    return child < m_children.size() ? getModelDisplayName(m_children[child]) : c_unknownName;
}

void FW::registerChild(const V1::TPeripheralInfo& info)
{
    // The address comes from the camera: a bound keeps a garbled inventory
    // from making the list enormous.
    constexpr uint32_t c_maxAddress = 255;
    if (info.address > c_maxAddress) {
        getCamera().log(logging::eWARN, "Filter wheel at address " + std::to_string(info.address) + " ignored");
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_children.size() < info.address + 1) {
        m_children.resize(info.address + 1, UnknownFWModel);
    }
    m_children[info.address] = getAPIModelID(static_cast<uint8_t>(info.model & 0xFF));
}

// --- responses ------------------------------------------------------------

void FW::sendMessage()
{
    sendToComm(topMessage());
}

bool FW::receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr context)
{
    switch (response.getBodyType()) {
    case FWInit:
        return onInitResponse(response, sender);
    case FWGetStatus:
        return onGetStatusResponse(response, sender);
    case FWGoto:
        return onGotoResponse(sender, context);
    default:
        return false;
    }
}

bool FW::onInitResponse(const Message& response, const EndpointPtr& sender)
{
    if (!isFromOwnCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::FWInitResponseBody>();
    if (!body) {
        getCamera().fail(c_invalidMessage);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_primaryModel = getAPIModelID(body->getModel());
    m_position = 0;
    return true;
}

bool FW::onGotoResponse(const EndpointPtr& sender, const MessageContextPtr& context)
{
    if (!isFromOwnCamera(sender)) {
        return false;
    }
    const MessagePtr request = context ? context->getRequest() : nullptr;
    const auto body = request ? request->getTypedBody<V1::FWGotoRequestBody>() : nullptr;
    if (!body) {
        getCamera().fail(c_invalidMessage);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queuedPosition = body->getPosition();
    m_queuedPositionTimeout = std::chrono::system_clock::now() + c_moveStartWindow;
    m_fwMoveState = Requested;
    return true;
}

bool FW::onGetStatusResponse(const Message& response, const EndpointPtr& sender)
{
    if (!isFromOwnCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::FWGetStatusResponseBody>();
    if (!body) {
        getCamera().fail(c_invalidMessage);
    }
    const Status reported = body->getStatus();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = reported;
    const bool timedOut = std::chrono::system_clock::now() > m_queuedPositionTimeout;
    switch (m_fwMoveState) {
    case Requested:
        if (reported == FWBusy || (reported == FWIdle && timedOut)) {
            m_fwMoveState = WaitingMove;
        }
        break;
    case WaitingMove:
        if (reported == FWIdle) {
            m_position = m_queuedPosition - 1;
            m_fwMoveState = Idle;
            m_queuedPosition = -1;
        }
        break;
    default:
        break;
    }
    return true;
}

} // namespace kv
