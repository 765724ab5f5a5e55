#pragma once

#include <kvapi/kvapi.h>

#include "camera/Peripheral.h"
#include "transport/IOHandler.h"

#include <cstdint>
#include <mutex>

namespace kv {

// The adaptive-optics unit: a tip/tilt element in front of the sensor.
class AO : public IAO, public IOHandler, public Peripheral {
public:
    static constexpr uint16_t AO_CENTER = 2048;
    static constexpr uint16_t AO_MAX_DEFLECT = 256;
    // Positions the application may ask for, on every model.
    static constexpr size_t c_limitMin = 0;
    static constexpr size_t c_limitMax = 4095;

    explicit AO(Camera& camera);

    // IAO
    IPromisePtr initialize() override;
    IPromisePtr queryStatus() override;
    IPromisePtr setPosition(int16_t x, int16_t y) override;
    Status getStatus() override;
    void getPosition(int16_t& tip, int16_t& tilt) override;
    void getLimits(size_t& tipMin, size_t& tipMax, size_t& tiltMin, size_t& tiltMax) override;
    Model getModel() override;

    ~AO() override;

    // IOHandler
    void sendMessage() override;
    bool receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr context) override;

    // The wire value of one axis for a TTX unit: an eighth of the distance
    // from the centre, within AO_CENTER ± AO_MAX_DEFLECT.
    static uint16_t toTTX(uint16_t position);

private:
    MessageContextPtr newRequest(BodyType bodyType, MessagePriority priority, const char* label);
    bool onInitResponse(const Message& response, const EndpointPtr& sender);
    bool onGetStatusResponse(const Message& response, const EndpointPtr& sender);
    bool onEmptyResponse(const EndpointPtr& sender);

    int16_t m_tip;
    int16_t m_tilt;
    Model m_model;
    Status m_status;
    std::mutex m_mutex;
};

} // namespace kv
