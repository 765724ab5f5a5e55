#include "transport/NetEndpoint.h"

namespace kv {

NetEndpoint::NetEndpoint(const std::string& ip, uint16_t port, uint8_t sequenceNumber)
    : Endpoint(EEndpointType::Net), m_dev_ip(ip), m_port(port), m_sequenceNumber(sequenceNumber)
{
}

std::string NetEndpoint::toString() const
{
    return "Net: ip=\"" + m_dev_ip + "\", port=" + std::to_string(m_port);
}

std::string NetEndpoint::toStringConcise() const
{
    return m_dev_ip;
}

bool NetEndpoint::compare(const EndpointPtr& other) const
{
    if (!other || other->getType() != m_type)
        return false;
    const auto net = std::dynamic_pointer_cast<NetEndpoint>(other);
    return net && net->m_dev_ip == m_dev_ip && net->m_port == m_port;
}

EndpointPtr NetEndpoint::copy() const
{
    if (m_type != EEndpointType::Net)
        return nullptr;
    return std::make_shared<NetEndpoint>(m_dev_ip, m_port, m_sequenceNumber.load());
}

uint8_t NetEndpoint::incrementSequenceNumber()
{
    return static_cast<uint8_t>(m_sequenceNumber.fetch_add(1) + 1);
}

} // namespace kv
