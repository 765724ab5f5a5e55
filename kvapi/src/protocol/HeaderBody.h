#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <kvapi/kvapi.h>

#include "protocol/Serializable.h"
#include "protocol/protocol.h"

namespace kv {
namespace V1 {

// The fields shared by request and response headers. The first four bytes of
// both are the preamble: start byte, body type, header type, footer type.
class BaseHeaderBody : public Serializable {
public:
    BaseHeaderBody();
    ~BaseHeaderBody() override;

    uint8_t getSoh() const { return m_soh; }
    uint8_t getHeaderType() const { return m_headerType; }
    uint8_t getBodyType() const { return m_bodyType; }
    uint8_t getFooterType() const { return m_footerType; }
    uint32_t getBodyLength() const { return m_bodyLength; }
    uint8_t getSensorId() const { return m_sensorId; }

    void setSoh(uint8_t soh) { m_soh = soh; }
    void setHeaderType(uint8_t headerType) { m_headerType = headerType; }
    void setBodyType(uint8_t bodyType) { m_bodyType = bodyType; }
    void setFooterType(uint8_t footerType) { m_footerType = footerType; }
    void setBodyLength(uint32_t bodyLength) { m_bodyLength = bodyLength; }
    void setSensorId(uint8_t sensorId) { m_sensorId = sensorId; }

    // Multi-line description for logs, ending with the raw header bytes.
    std::string toString() const;

    virtual bool valid() const = 0;

protected:
    // Preamble bytes shared by both kinds; `buffer` holds at least 4 bytes.
    void writePreamble(char* buffer) const;
    void readPreamble(const char* buffer);

    uint8_t m_soh = 0;
    uint8_t m_headerType = 0;
    uint8_t m_bodyType = 0;
    uint8_t m_footerType = 0;
    uint32_t m_bodyLength = 0;
    uint8_t m_sensorId = 0;
};

// 9 bytes: preamble, sensor id, body length.
class RequestHeaderBody : public BaseHeaderBody {
public:
    static constexpr size_t c_length = 9;

    RequestHeaderBody();

    IOBufferPtr getBuffer() const override;
    // Reads nothing from a buffer shorter than the header.
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override { return c_length; }

    bool valid() const override { return true; }
};

// 10 bytes: preamble, status, sensor id, body length.
class ResponseHeaderBody : public BaseHeaderBody {
public:
    static constexpr size_t c_length = 10;

    ResponseHeaderBody();

    IOBufferPtr getBuffer() const override;
    // Reads nothing from a buffer shorter than the header.
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override { return c_length; }

    EStatusCode getStatusCode() const { return m_statusCode; }
    void setStatusCode(EStatusCode statusCode) { m_statusCode = statusCode; }

    bool valid() const override;

private:
    EStatusCode m_statusCode;
};

using BaseHeaderPtr = std::shared_ptr<BaseHeaderBody>;

} // namespace V1

using V1::BaseHeaderPtr;

} // namespace kv
