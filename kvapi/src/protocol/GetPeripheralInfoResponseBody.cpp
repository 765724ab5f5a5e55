#include "protocol/GetPeripheralInfoResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <algorithm>
#include <sstream>

namespace kv {
namespace V1 {

const std::map<PeripheralType, std::string> GetPeripheralInfoResponseBody::c_peripheralTypeToStringMap = {
    {PeripheralType::FilterWheel, "FilterWheel"},
    {PeripheralType::Sensor, "Sensor"},
    {PeripheralType::AdaptiveOptics, "AdaptiveOptics"},
};

GetPeripheralInfoResponseBody::GetPeripheralInfoResponseBody()
    : BaseBody(SohType::Cmd, BodyType::GetPeripheralInfo)
{
}

GetPeripheralInfoResponseBody::GetPeripheralInfoResponseBody(IOBufferPtr buffer)
    : GetPeripheralInfoResponseBody()
{
    GetPeripheralInfoResponseBody::setBuffer(buffer);
}

IOBufferPtr GetPeripheralInfoResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(getBufferLength());
    char* p = buffer->data;
    utl::copy::to(p + 0, m_version);
    utl::copy::to(p + 4, static_cast<uint32_t>(m_devices.size()));
    p += c_headerLength;
    for (const TPeripheralInfo& device : m_devices) {
        utl::copy::to(p + 0, static_cast<uint32_t>(device.type));
        utl::copy::to(p + 4, device.model);
        utl::copy::to(p + 8, device.address);
        p += c_recordLength;
    }
    return buffer;
}

void GetPeripheralInfoResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // Without the version and count nothing is parsed.
    if (!buffer || buffer->length < c_headerLength)
        return;
    const char* p = buffer->data;
    uint32_t count = 0;
    utl::copy::from(&m_version, p + 0);
    utl::copy::from(&count, p + 4);
    // A count larger than the records present yields only the complete records present.
    const size_t present = (buffer->length - c_headerLength) / c_recordLength;
    const size_t records = std::min<size_t>(count, present);
    m_devices.clear();
    m_devices.reserve(records);
    p += c_headerLength;
    for (size_t k = 0; k < records; ++k, p += c_recordLength) {
        uint32_t type = 0;
        TPeripheralInfo device;
        utl::copy::from(&type, p + 0);
        utl::copy::from(&device.model, p + 4);
        utl::copy::from(&device.address, p + 8);
        device.type = static_cast<PeripheralType>(type);
        m_devices.push_back(device);
    }
}

size_t GetPeripheralInfoResponseBody::getBufferLength() const
{
    return c_headerLength + c_recordLength * m_devices.size();
}

std::string GetPeripheralInfoResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data"
        << " | Body Version: " << m_version
        << " | Peripherals: " << m_devices.size();
    for (size_t k = 0; k < m_devices.size(); ++k) {
        const TPeripheralInfo& device = m_devices[k];
        out << " | Peripheral " << k << ".type: " << StringMaps::mapPeripheralTypeToString(device.type)
            << ", Peripheral " << k << ".model: " << device.model
            << ", Peripheral " << k << ".address:" << device.address;
    }
    return out.str();
}

} // namespace V1
} // namespace kv
