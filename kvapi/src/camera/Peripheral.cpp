#include "camera/Peripheral.h"

#include "camera/Camera.h"
#include "transport/Comm.h"
#include "transport/Endpoint.h"
#include "transport/MessageContext.h"

#include <exception>

namespace kv {

Peripheral::Peripheral(Camera& camera, Comm& comm) : m_camera(camera), m_comm(comm) {}

Peripheral::~Peripheral() = default;

Camera& Peripheral::getCamera()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_camera;
}

Comm& Peripheral::getComm()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_comm;
}

void Peripheral::setCamera(const Camera&)
{
    // A camera is neither copied nor re-seated: the reference already names
    // the owner a copied component belongs to.
}

void Peripheral::setComm(const Comm&)
{
    // As setCamera: transports are not copyable.
}

void Peripheral::sendToComm(const std::shared_ptr<MessageContext>& context)
{
    if (!context)
        return;
    try {
        getComm().sendMessage(context);
    } catch (const std::exception& e) {
        getCamera().log(logging::eERRORL1, e.what());
    }
}

bool Peripheral::isFromOwnCamera(const std::shared_ptr<Endpoint>& sender)
{
    const std::shared_ptr<Endpoint> endpoint = getCamera().getEndpoint();
    return endpoint && sender && endpoint->compare(sender);
}

} // namespace kv
