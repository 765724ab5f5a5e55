#include "protocol/GetPacketsResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/KVProtocol.h"

#include <algorithm>
#include <climits>

namespace kv {
namespace V1 {

GetPacketsResponseBody::GetPacketsResponseBody(BodyType bodyType)
    : BaseBody(SohType::Cmd, bodyType)
    , m_data(std::make_shared<PacketData>())
{
}

GetPacketsResponseBody::GetPacketsResponseBody(IOBufferPtr buffer, BodyType bodyType)
    : GetPacketsResponseBody(bodyType)
{
    GetPacketsResponseBody::setBuffer(buffer);
}

size_t GetPacketsResponseBody::getPacketIdWidth() const
{
    const size_t version = getProtocolVersion();
    if (m_idWidth == 0 || m_idWidthVersion != version) {
        const int revision = version > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(version);
        m_idWidth = Protocol(revision).getFeatureSupported(Protocol::ExtendedPacketId) ? 4 : 2;
        m_idWidthVersion = version;
    }
    return m_idWidth;
}

IOBufferPtr GetPacketsResponseBody::writePixels(size_t offset) const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(offset + 2 * maxPixels());
    const size_t count = std::min(m_data->size(), maxPixels());
    utl::copy::to(buffer->data + offset, m_data->data(), count);
    return buffer;
}

void GetPacketsResponseBody::readPixels(const IOBufferPtr& buffer, size_t offset)
{
    // A fresh list: whoever took the previous one keeps it.
    auto data = std::make_shared<PacketData>((buffer->length - offset) / 2);
    utl::copy::from(data->data(), buffer->data + offset, data->size());
    m_data = std::move(data);
}

IOBufferPtr GetPacketsResponseBody::getBuffer() const
{
    const size_t idWidth = getPacketIdWidth();
    IOBufferPtr buffer = writePixels(idWidth);
    if (idWidth == 4)
        utl::copy::to(buffer->data, m_packetId);
    else
        utl::copy::to(buffer->data, static_cast<uint16_t>(m_packetId));
    return buffer;
}

void GetPacketsResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    const size_t idWidth = getPacketIdWidth();
    // Too short for the id: nothing is parsed.
    if (!buffer || buffer->length < idWidth)
        return;
    if (idWidth == 4) {
        utl::copy::from(&m_packetId, buffer->data);
    } else {
        uint16_t id = 0;
        utl::copy::from(&id, buffer->data);
        m_packetId = id;
    }
    readPixels(buffer, idWidth);
}

size_t GetPacketsResponseBody::getBufferLength() const
{
    return getPacketIdWidth() + 2 * maxPixels();
}

std::string GetPacketsResponseBody::getMessageDataString() const
{
    return {};
}

} // namespace V1
} // namespace kv
