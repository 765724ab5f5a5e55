#include "camera/TEC.h"

#include "camera/Camera.h"
#include "protocol/GetCoolerStateResponseBody.h"
#include "protocol/Message.h"
#include "protocol/SetCoolerRequestBody.h"
#include "transport/Comm.h"
#include "transport/Endpoint.h"
#include "transport/Promise.h"

#include <stdexcept>

namespace kv {

TEC::TEC(Camera& camera)
    : Peripheral(camera, camera.getCommRef()),
      m_supportsGetCoolerStatus(false),
      m_enabled(false),
      m_setpoint(0.0f),
      m_coolerPower(0.0f),
      m_sensorTemperature(0.0f),
      m_heatSinkTemperature(0.0f)
{
}

TEC::~TEC() = default;

bool TEC::getEnabled()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_enabled;
}

float TEC::getSetpoint()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_setpoint;
}

float TEC::getCoolerPower()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_coolerPower;
}

float TEC::getSensorThermopileTemperature()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sensorTemperature;
}

float TEC::getHeatSinkThermopileTemperature()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_heatSinkTemperature;
}

void TEC::setEnabled(bool enabled)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_enabled = enabled;
}

void TEC::setSetpoint(float setpoint)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_setpoint = setpoint;
}

void TEC::setCoolerPower(float power)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_coolerPower = power;
}

void TEC::setSensorTemperature(float celsius)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sensorTemperature = celsius;
}

void TEC::setHeatSinkTemperature(float celsius)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_heatSinkTemperature = celsius;
}

void TEC::setSupportsGetCoolerStatus(bool supported)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_supportsGetCoolerStatus = supported;
}

bool TEC::getSupportsGetCoolerStatus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_supportsGetCoolerStatus;
}

IPromisePtr TEC::setState(bool enable, float setpoint)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_enabled = enable;
        m_setpoint = setpoint;
    }
    Camera& camera = getCamera();
    Comm& comm = getComm();
    const MessageContextPtr context = camera.makeRequest(*this, comm, SetCooler, Medium, "TEC::SetCooler");
    const auto body = context->getRequest()->getTypedBody<V1::SetCoolerRequestBody>();
    if (!body) {
        throw std::runtime_error("Message had no body");
    }
    if (!context->getEndpoint()) {
        throw std::runtime_error("Camera has no valid endpoint.");
    }
    body->setIsEnabled(enable);
    body->setSetpoint(setpoint);
    return camera.queueRequest(*this, context);
}

IPromisePtr TEC::failedPromise(EStatusCode code, const std::string& text)
{
    auto promise = std::make_shared<Promise>();
    promise->setErrorCode(code);
    promise->setError(text, true);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pJunkPromise = promise;
    return promise.get();
}

IPromisePtr TEC::queryStatus()
{
    if (!getSupportsGetCoolerStatus()) {
        return failedPromise(FeatureNotSupported,
                             "Firmware version does not support this command. Please upgrade your firmware.");
    }
    Camera& camera = getCamera();
    if (!camera.getEndpoint()) {
        return failedPromise(ClientError, "Device endpoint not initialized.");
    }
    const MessageContextPtr context = camera.makeRequest(*this, getComm(), GetCoolerState, Medium, "TEC::GetCoolerState");
    return camera.queueRequest(*this, context);
}

void TEC::sendMessage()
{
    sendToComm(topMessage());
}

bool TEC::receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr)
{
    switch (response.getBodyType()) {
    case SetCooler:
        return onEmptyResponse(sender);
    case GetCoolerState:
        return onStatusResponse(response, sender);
    default:
        return false;
    }
}

bool TEC::onEmptyResponse(const EndpointPtr& sender)
{
    return isFromOwnCamera(sender);
}

bool TEC::onStatusResponse(const Message& response, const EndpointPtr& sender)
{
    if (!isFromOwnCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::GetCoolerStateResponseBody>();
    if (!body) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_enabled = body->getEnabled();
    m_setpoint = m_enabled ? body->getSetpoint() : 0.0f;
    return true;
}

} // namespace kv
