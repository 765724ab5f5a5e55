#pragma once

#include <kvapi/kvapi.h>

#include "camera/Peripheral.h"
#include "transport/IOHandler.h"

#include <memory>
#include <mutex>

namespace kv {

class Promise;
using PromisePtr = std::shared_ptr<Promise>;

// The thermoelectric cooler. The set-point is the camera's; the temperatures
// and the power are copied in by the camera's status handler.
class TEC : public ITEC, public IOHandler, public Peripheral {
public:
    explicit TEC(Camera& camera);

    // ITEC
    bool getEnabled() override;
    float getSetpoint() override;
    float getCoolerPower() override;
    float getSensorThermopileTemperature() override;
    float getHeatSinkThermopileTemperature() override;
    IPromisePtr setState(bool enable, float setpoint) override;

    ~TEC() override;

    // IOHandler
    void sendMessage() override;
    bool receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr context) override;

    void setEnabled(bool enabled);
    void setSetpoint(float setpoint);
    void setCoolerPower(float power);
    void setSensorTemperature(float celsius);
    void setHeatSinkTemperature(float celsius);
    void setSupportsGetCoolerStatus(bool supported);
    bool getSupportsGetCoolerStatus();

    // Reads the cooler state back; an already failed promise on firmware that
    // does not answer it.
    IPromisePtr queryStatus();

private:
    bool onEmptyResponse(const EndpointPtr& sender);
    bool onStatusResponse(const Message& response, const EndpointPtr& sender);
    IPromisePtr failedPromise(EStatusCode code, const std::string& text);

    bool m_supportsGetCoolerStatus;
    PromisePtr m_pJunkPromise;
    bool m_enabled;
    float m_setpoint;
    float m_coolerPower;
    float m_sensorTemperature;
    float m_heatSinkTemperature;
    std::mutex m_mutex;
};

} // namespace kv
