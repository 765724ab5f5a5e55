#include "protocol/FooterBody.h"

#include "gateway/utilities.h"
#include "protocol/crypto.h"

namespace kv {
namespace V1 {

namespace {

// The bytes a checksum covers on the way out: header ‖ body.
IOBufferPtr headerAndBody(const BaseHeaderPtr& header, const BaseBodyPtr& body)
{
    auto bytes = (header ? header->getBuffer() : IOBufferPtr()) + (body ? body->getBuffer() : IOBufferPtr());
    return bytes ? bytes : IOBuffer::newBuffer(0);
}

} // namespace

BaseFooterBody::~BaseFooterBody() = default;

IOBufferPtr SeqCrc16Body::getBuffer() const
{
    auto buffer = IOBuffer::newBuffer(c_length);
    utl::copy::to(buffer->data, m_sequenceNumber);
    utl::copy::to(buffer->data + 1, m_crc16);
    return buffer;
}

void SeqCrc16Body::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->length < c_length)
        return;
    utl::copy::from(&m_sequenceNumber, buffer->data);
    utl::copy::from(&m_crc16, buffer->data + 1);
}

void SeqCrc16Body::update(const BaseHeaderPtr& header, const BaseBodyPtr& body)
{
    const char sequence = static_cast<char>(m_sequenceNumber);
    auto covered = headerAndBody(header, body)->concatenate(IOBuffer(&sequence, 1));
    m_crc16 = utl::crypto::crc16_ccitt(covered->data, covered->length);
}

// Same coverage as update(): the given header ‖ body bytes, then the sequence
// byte, so that a frame made by update() checks out here.
void SeqCrc16Body::validate(const IOBufferPtr& frame, size_t length)
{
    if (!frame || length > frame->length) {
        m_isValid = false;
        return;
    }
    const char sequence = static_cast<char>(m_sequenceNumber);
    auto covered = frame->extract(0, length)->concatenate(IOBuffer(&sequence, 1));
    m_isValid = utl::crypto::crc16_ccitt(covered->data, covered->length) == m_crc16;
}

IOBufferPtr Crc8Body::getBuffer() const
{
    auto buffer = IOBuffer::newBuffer(c_length);
    utl::copy::to(buffer->data, m_crc8);
    return buffer;
}

void Crc8Body::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->length < c_length)
        return;
    utl::copy::from(&m_crc8, buffer->data);
}

void Crc8Body::update(const BaseHeaderPtr& header, const BaseBodyPtr& body)
{
    auto covered = headerAndBody(header, body);
    m_crc8 = utl::crypto::crc8_ccitt(covered->data, covered->length);
}

void Crc8Body::validate(const IOBufferPtr& frame, size_t length)
{
    if (!frame || length > frame->length) {
        m_isValid = false;
        return;
    }
    m_isValid = utl::crypto::crc8_ccitt(frame->data, length) == m_crc8;
}

} // namespace V1
} // namespace kv
