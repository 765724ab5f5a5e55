#pragma once

#include <memory>
#include <mutex>

namespace kv {

class Camera;
class Comm;
class Endpoint;
class MessageContext;

// Base of the camera's components (sensors, cooler, filter wheel, adaptive
// optics): the owning camera and its transport. Both are references the
// component does not own; the camera outlives its components.
class Peripheral {
public:
    Peripheral(Camera& camera, Comm& comm);
    virtual ~Peripheral();

    Camera& getCamera();
    Comm& getComm();
    // Assign through the references; used only when a component is copied.
    void setCamera(const Camera& camera);
    void setComm(const Comm& comm);

protected:
    // Hands a component's next exchange to the transport. A failure there is
    // logged; the exchange itself ends through its promise.
    void sendToComm(const std::shared_ptr<MessageContext>& context);
    // True when an answer comes from the owning camera's endpoint.
    bool isFromOwnCamera(const std::shared_ptr<Endpoint>& sender);

    Camera& m_camera;
    Comm& m_comm;
    std::mutex m_mutex;
};

} // namespace kv
