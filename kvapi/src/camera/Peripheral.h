#pragma once

#include <mutex>

namespace kv {

class Camera;
class Comm;

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
    Camera& m_camera;
    Comm& m_comm;
    std::mutex m_mutex;
};

} // namespace kv
