#include "protocol/Message.h"

#include <stdexcept>

#include "transport/NetEndpoint.h"
#include "transport/UsbEndpoint.h"

namespace kv {

Message::Message() = default;

Message::Message(const Message&) : Serializable()
{
    throw std::logic_error("Message copy constructor unimplemented.");
}

Message::~Message() = default;

IOBufferPtr Message::getBuffer() const
{
    IOBufferPtr frame = m_pHeader ? m_pHeader->getBuffer() : IOBufferPtr();
    if (m_pBody)
        frame = frame + m_pBody->getBuffer();
    if (m_pFooter)
        frame = frame + m_pFooter->getBuffer();
    return frame;
}

size_t Message::getBufferLength() const
{
    return (m_pHeader ? m_pHeader->getBufferLength() : 0) + (m_pBody ? m_pBody->getBufferLength() : 0) +
           (m_pFooter ? m_pFooter->getBufferLength() : 0);
}

void Message::setBuffer(const IOBufferPtr& buffer)
{
    m_isMalformed = false;
    m_pHeaderBuffer.reset();
    m_pBodyBuffer.reset();
    m_pFooterBuffer.reset();
    try {
        parse(buffer);
    } catch (const std::exception&) {
        // A body that cannot make sense of its bytes; the frame is unusable.
        m_isMalformed = true;
    }
}

void Message::parse(const IOBufferPtr& buffer)
{
    // A fresh header, so that nothing of an earlier frame survives a short one.
    m_headerType = ownHeaderType();
    m_pHeader = factory().generateHeader(m_headerType);
    const size_t headerLength = m_pHeader->getBufferLength();
    if (!buffer || buffer->length < headerLength) {
        update(m_headerType, ErrorBodyType, V1None);
        m_isMalformed = true;
        return;
    }
    m_pHeaderBuffer = buffer->extract(0, headerLength);
    m_pHeader->setBuffer(m_pHeaderBuffer);
    m_headerType = static_cast<HeaderType>(m_pHeader->getHeaderType());

    // Through the neutral type first, so that the body and footer objects are
    // always new ones of the classes the frame names. The new body still reads
    // the answer the way the asker prepared the old one for (layout version,
    // cooler-power conversion): without that, a status or memory-configuration
    // answer would be read with the defaults and come out wrong.
    const auto bodyType = static_cast<BodyType>(m_pHeader->getBodyType());
    const auto footerType = static_cast<FooterType>(m_pHeader->getFooterType());
    const BaseBodyPtr prepared = m_pBody;
    update(m_headerType, ErrorBodyType, V1None);
    update(m_headerType, bodyType, footerType);
    if (m_pBody && prepared && prepared->getBodyType() == bodyType)
        m_pBody->adoptReadSettings(*prepared);

    const size_t remaining = buffer->length - headerLength;
    const size_t bodyLength = m_pHeader->getBodyLength();
    if (bodyLength > remaining) {
        m_isMalformed = true;
        return;
    }
    if (bodyLength > 0) {
        if (!m_pBody) {
            m_isMalformed = true;
            return;
        }
        m_pBodyBuffer = buffer->extract(headerLength, bodyLength);
        m_pBody->setBuffer(m_pBodyBuffer);
    }

    const size_t footerLength = m_pFooter ? m_pFooter->getBufferLength() : 0;
    if (remaining - bodyLength < footerLength) {
        m_isMalformed = true;
        return;
    }
    if (footerLength > 0) {
        m_pFooterBuffer = buffer->extract(headerLength + bodyLength, footerLength);
        m_pFooter->setBuffer(m_pFooterBuffer);
    }
}

bool Message::validate() const
{
    return !m_isMalformed && m_pHeader && m_pHeader->valid() && (!m_pFooter || m_pFooter->isValid());
}

EStatusCode Message::getStatusCode() const
{
    if (!m_pHeader || m_pHeader->getSoh() != Cmd || m_pHeader->getHeaderType() == V1Request)
        return EStatusCode::InvalidStatus;
    const auto response = std::dynamic_pointer_cast<V1::ResponseHeaderBody>(m_pHeader);
    return response ? response->getStatusCode() : EStatusCode::InvalidStatus;
}

void Message::update(HeaderType headerType, BodyType bodyType, FooterType footerType)
{
    if (!m_pHeader || m_headerType != headerType) {
        m_headerType = ownHeaderType();
        if (!m_pHeader)
            m_pHeader = factory().generateHeader(m_headerType);
    }
    if (!m_pBody || m_pBody->getBodyType() != bodyType)
        m_pBody = factory().generateBody(m_headerType, bodyType);
    m_bodyType = bodyType;
    if (!m_pFooter || m_pFooter->getFooterType() != footerType)
        m_pFooter = factory().generateFooter(footerType);
    m_footerType = footerType;
    if (m_pFooter)
        m_pFooter->update(m_pHeader, m_pBody);
}

void Message::updateEndpoint(const EndpointPtr& endpoint, int length)
{
    if (endpoint && endpoint->getType() == EEndpointType::USB) {
        if (const auto usb = std::dynamic_pointer_cast<UsbEndpoint>(endpoint)) {
            const size_t expected =
                length >= 0 ? static_cast<size_t>(length) : V1ResponseMessage(m_bodyType, m_footerType).getBufferLength();
            usb->setExpectedLength(static_cast<uint32_t>(expected));
        }
    }

    if (m_pHeader) {
        m_pHeader->setFooterType(static_cast<uint8_t>(m_footerType));
        m_pHeader->setBodyLength(m_pBody ? static_cast<uint32_t>(m_pBody->getBufferLength()) : 0);
    }

    if (const auto net = std::dynamic_pointer_cast<NetEndpoint>(endpoint)) {
        if (const auto footer = std::dynamic_pointer_cast<V1::SeqCrc16Body>(m_pFooter)) {
            // Increment and read in one step: handlers of one camera share the endpoint.
            footer->setSequenceNumber(m_headerType == V1Request ? net->incrementSequenceNumber()
                                                                : net->getSequenceNumber());
            footer->update(m_pHeader, m_pBody);
        }
    }

    if (endpoint && endpoint->getType() == EEndpointType::RAW) {
        if (const auto footer = std::dynamic_pointer_cast<V1::Crc8Body>(m_pFooter))
            footer->update(m_pHeader, m_pBody);
    }
}

void Message::build(BodyType bodyType, FooterType footerType)
{
    m_headerType = ownHeaderType();
    m_bodyType = bodyType;
    m_footerType = footerType;
    m_pHeader = factory().generateHeader(m_headerType);
    m_pBody = factory().generateBody(m_headerType, bodyType);
    m_pFooter = factory().generateFooter(footerType);

    m_pHeader->setSoh(static_cast<uint8_t>(m_pBody ? m_pBody->getSohType() : Cmd));
    m_pHeader->setBodyType(static_cast<uint8_t>(bodyType));
    m_pHeader->setFooterType(static_cast<uint8_t>(footerType));
    m_pHeader->setBodyLength(m_pBody ? static_cast<uint32_t>(m_pBody->getBufferLength()) : 0);
}

void Message::rebuild(const IOBufferPtr& buffer)
{
    m_headerType = ownHeaderType();
    try {
        if (!buffer || buffer->length == 0)
            throw std::runtime_error("Invalid buffer received");
        auto header = factory().generateHeader(m_headerType);
        if (!header)
            throw std::runtime_error("Invalid header type provided");
        const size_t headerLength = header->getBufferLength();
        if (buffer->length < headerLength)
            throw std::runtime_error("Invalid Buffer");
        m_pHeaderBuffer = buffer->extract(0, headerLength);
        header->setBuffer(m_pHeaderBuffer);
        m_pHeader = header;
        if (!header->valid())
            throw std::runtime_error("Invalid Buffer");

        m_bodyType = static_cast<BodyType>(header->getBodyType());
        m_footerType = static_cast<FooterType>(header->getFooterType());
        auto body = factory().generateBody(m_headerType, m_bodyType);
        auto footer = factory().generateFooter(m_footerType);
        if (!footer)
            throw std::runtime_error("Invalid footer type provided");
        if (!body)
            throw std::runtime_error("Invalid body type provided");

        const size_t bodyLength = header->getBodyLength();
        const size_t footerLength = footer->getBufferLength();
        const size_t remaining = buffer->length - headerLength;
        if (bodyLength > remaining || remaining - bodyLength < footerLength)
            throw std::runtime_error("Invalid Buffer");
        if (bodyLength > 0) {
            m_pBodyBuffer = buffer->extract(headerLength, bodyLength);
            body->setBuffer(m_pBodyBuffer);
        }
        if (footerLength > 0) {
            m_pFooterBuffer = buffer->extract(headerLength + bodyLength, footerLength);
            footer->setBuffer(m_pFooterBuffer);
        }
        m_pBody = body;
        m_pFooter = footer;
    } catch (const std::exception&) {
        // The request cannot be read back; callers find its body absent.
        m_isMalformed = true;
    }
}

template <HeaderType H>
V1Message<H>::V1Message(BodyType bodyType, FooterType footerType)
{
    build(bodyType, footerType);
}

template <HeaderType H>
V1Message<H>::V1Message(const IOBufferPtr& buffer)
{
    rebuild(buffer);
}

template <HeaderType H>
void V1Message<H>::setSensorId(unsigned sensorId)
{
    if (m_pHeader)
        m_pHeader->setSensorId(static_cast<uint8_t>(sensorId));
}

template class V1Message<V1Request>;
template class V1Message<V1Response>;

} // namespace kv
