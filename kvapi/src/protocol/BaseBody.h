#pragma once

#include <memory>
#include <string>

#include "protocol/Serializable.h"
#include "protocol/protocol.h"

namespace kv {
namespace V1 {

// Base of every message body. The protocol version selects between the body
// layouts of different camera generations where a body has more than one.
class BaseBody : public Serializable {
public:
    BaseBody(SohType sohType, BodyType bodyType);
    ~BaseBody() override;

    SohType getSohType() const { return m_sohType; }
    BodyType getBodyType() const { return m_bodyType; }
    void setSohType(SohType sohType) { m_sohType = sohType; }
    void setBodyType(BodyType bodyType) { m_bodyType = bodyType; }

    size_t getProtocolVersion() const { return m_firmwareVersion; }
    void setProtocolVersion(size_t version) { m_firmwareVersion = version; }

    // Readable rendering of the payload for logs.
    virtual std::string getMessageDataString() const;

    // Takes over, from the body this one replaces when a received frame re-types
    // its message, what the asker set to decide how the answer is read (layout
    // version, unit conversions).
    virtual void adoptReadSettings(const BaseBody& previous);

protected:
    SohType m_sohType;
    BodyType m_bodyType;
    size_t m_firmwareVersion = 1;
};

using BaseBodyPtr = std::shared_ptr<BaseBody>;

} // namespace V1

using V1::BaseBodyPtr;

} // namespace kv
