#pragma once

#include <kvapi/kvapi.h>

#include "camera/Peripheral.h"
#include "protocol/TPeripheralInfo.h"
#include "transport/IOHandler.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kv {

// The filter wheel attached to the camera (the primary wheel) and the wheels
// the camera's peripheral inventory lists behind it (child wheels). A move is
// tracked through status polls until the wheel has settled.
class FW : public IFWExtended, public IOHandler, public Peripheral {
public:
    enum FWMoveState : int32_t { Idle = 0, Requested = 1, WaitingMove = 2 };

    // How long after an accepted move an idle report still means "not started yet".
    static constexpr std::chrono::seconds c_moveStartWindow{1};

    explicit FW(Camera& camera);

    // IFW
    IPromisePtr initialize() override;
    IPromisePtr queryStatus() override;
    int getPosition() override;
    Status getStatus() override;
    Model getModel() override;
    uint32_t getSlots() override;
    IPromisePtr setPosition(int position) override;
    // IFWExtended
    uint32_t getChildCount() override;
    Model getChildModel(uint32_t child) override;
    uint32_t getChildSlots(uint32_t child) override;
    const char* getModelName(uint32_t child) override;

    ~FW() override;

    // IOHandler
    void sendMessage() override;
    bool receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr context) override;

    // A child wheel from the peripheral inventory, stored at its address.
    void registerChild(const V1::TPeripheralInfo& info);
    void setModel(Model model);

    // The model of a hardware id as the camera reports it.
    static Model getAPIModelID(uint8_t hardwareId);
    // Number of filter positions of a model; 0 for models without a known count.
    static uint32_t getModelSlots(Model model);
    // Display name of a model; "Unknown FW" for models without one.
    static const char* getModelDisplayName(Model model);

private:
    MessageContextPtr newRequest(BodyType bodyType, const char* label);
    bool onInitResponse(const Message& response, const EndpointPtr& sender);
    bool onGetStatusResponse(const Message& response, const EndpointPtr& sender);
    bool onGotoResponse(const EndpointPtr& sender, const MessageContextPtr& context);

    FWMoveState m_fwMoveState;
    std::chrono::system_clock::time_point m_queuedPositionTimeout;
    int32_t m_queuedPosition;
    int32_t m_position;
    Model m_primaryModel;
    std::vector<Model> m_children;
    Status m_status;
    std::mutex m_mutex;
};

} // namespace kv
