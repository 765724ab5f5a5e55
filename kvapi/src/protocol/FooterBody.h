#pragma once

#include <cstdint>
#include <memory>

#include "protocol/BaseBody.h"
#include "protocol/HeaderBody.h"
#include "protocol/Serializable.h"
#include "protocol/protocol.h"

namespace kv {
namespace V1 {

// The optional checksum after the body.
class BaseFooterBody : public Serializable {
public:
    BaseFooterBody() = default;
    explicit BaseFooterBody(FooterType type) : m_type(type) {}
    ~BaseFooterBody() override;

    FooterType getFooterType() const { return m_type; }
    void setFooterType(FooterType type) { m_type = type; }
    // False once validate() found a wrong checksum.
    bool isValid() const { return m_isValid; }

    // Computes the checksum of an outgoing frame from its header and body.
    virtual void update(const BaseHeaderPtr& header, const BaseBodyPtr& body) = 0;
    // Checks the checksum against the first `length` bytes of a received frame.
    // A length beyond the frame makes the footer invalid.
    virtual void validate(const IOBufferPtr& frame, size_t length) = 0;

protected:
    FooterType m_type = InvalidFooter;
    bool m_isValid = true;
};

using BaseFooterPtr = std::shared_ptr<BaseFooterBody>;

// No footer bytes.
class EmptyFooter : public BaseFooterBody {
public:
    IOBufferPtr getBuffer() const override { return {}; }
    void setBuffer(const IOBufferPtr&) override {}
    size_t getBufferLength() const override { return 0; }

    void update(const BaseHeaderPtr&, const BaseBodyPtr&) override {}
    void validate(const IOBufferPtr&, size_t) override {}
};

// Sequence number (u8) then CRC-16 (u16). The CRC covers header ‖ body ‖ sequence byte.
class SeqCrc16Body : public BaseFooterBody {
public:
    static constexpr size_t c_length = 3;

    SeqCrc16Body() : BaseFooterBody(V1SeqCrc16) {}

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override { return c_length; }

    void update(const BaseHeaderPtr& header, const BaseBodyPtr& body) override;
    void validate(const IOBufferPtr& frame, size_t length) override;

    uint8_t getSequenceNumber() const { return m_sequenceNumber; }
    void setSequenceNumber(uint8_t sequenceNumber) { m_sequenceNumber = sequenceNumber; }
    uint16_t getCrc16() const { return m_crc16; }
    void setCrc16(uint16_t crc) { m_crc16 = crc; }

private:
    uint8_t m_sequenceNumber = 0;
    uint16_t m_crc16 = 0;
};

// CRC-8 (u8) over header ‖ body.
class Crc8Body : public BaseFooterBody {
public:
    static constexpr size_t c_length = 1;

    Crc8Body() : BaseFooterBody(V1CRC8) {}

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override { return c_length; }

    void update(const BaseHeaderPtr& header, const BaseBodyPtr& body) override;
    void validate(const IOBufferPtr& frame, size_t length) override;

    uint8_t getCrc8() const { return m_crc8; }
    void setCrc8(uint8_t crc) { m_crc8 = crc; }

private:
    uint8_t m_crc8 = 0;
};

} // namespace V1

using V1::BaseFooterPtr;

} // namespace kv
