#include "transport/UsbEndpoint.h"

namespace kv {

UsbEndpoint::UsbEndpoint() : UsbEndpoint(c_noIndex, 0, noHandle(), "") {}

UsbEndpoint::UsbEndpoint(uint32_t ftdiIndex, uint32_t expectedLength, handle ftdiHandle, const std::string& serial)
    : Endpoint(EEndpointType::USB),
      m_ftdiHandle(ftdiHandle),
      m_ftdiIndex(ftdiIndex),
      m_expectedLength(expectedLength),
      m_serial(serial)
{
}

std::string UsbEndpoint::toString() const
{
    return "USB: sn=" + m_serial;
}

std::string UsbEndpoint::toStringConcise() const
{
    return m_serial;
}

bool UsbEndpoint::compare(const EndpointPtr& other) const
{
    if (!other || other->getType() != m_type)
        return false;
    const auto usb = std::dynamic_pointer_cast<UsbEndpoint>(other);
    return usb && usb->m_serial == m_serial;
}

EndpointPtr UsbEndpoint::copy() const
{
    if (m_type != EEndpointType::USB && m_type != EEndpointType::USB3)
        return nullptr;
    auto result = std::make_shared<UsbEndpoint>(m_ftdiIndex, m_expectedLength.load(), m_ftdiHandle, m_serial);
    result->setType(m_type);
    return result;
}

} // namespace kv
