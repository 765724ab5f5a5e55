#pragma once

#include <memory>

#include <kvapi/kvapi.h>

#include "protocol/BaseBody.h"
#include "protocol/BodyFactory.h"
#include "protocol/FooterBody.h"
#include "protocol/HeaderBody.h"
#include "protocol/Serializable.h"
#include "protocol/protocol.h"

namespace kv {

class Endpoint;
using EndpointPtr = std::shared_ptr<Endpoint>;

// One frame in memory: header ‖ body ‖ footer.
//
// Received frames are untrusted. setBuffer() and the request rebuilt from bytes
// never read outside the bytes given and never throw on bad input. A frame
// shorter than its header, whose body length exceeds the bytes that follow the
// header, whose footer is cut short, that carries body bytes for a body type
// without a body class, or whose body refuses its bytes (by throwing), leaves
// the message malformed: validate() is false, so the dispatcher asks the
// transport to send the request again. Bytes after the footer are ignored.
class Message : public Serializable {
public:
    Message();
    // Messages are shared through MessagePtr, never copied.
    Message(const Message& other);
    Message& operator=(const Message&) = delete;
    ~Message() override;

    // The frame bytes; parts without bytes contribute nothing.
    IOBufferPtr getBuffer() const override;
    // Parses a received frame, re-typing the body and footer after the header.
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;

    // Well-formed, header valid and footer checksum not failed.
    virtual bool validate() const;
    // The response status; InvalidStatus for requests and frames without a valid start byte.
    virtual EStatusCode getStatusCode() const;
    // Re-types the message, creating a new body or footer where the type changed.
    virtual void update(HeaderType headerType, BodyType bodyType, FooterType footerType);
    // Prepares a request for its device: expected response length (USB),
    // header footer type and body length, sequence number and checksum.
    // A negative length means: derive the expected length from the body type.
    virtual void updateEndpoint(const EndpointPtr& endpoint, int length);

    template <class T>
    std::shared_ptr<T> getTypedBody() const
    {
        return std::dynamic_pointer_cast<T>(m_pBody);
    }
    template <class T>
    std::shared_ptr<T> getTypedHeader() const
    {
        return std::dynamic_pointer_cast<T>(m_pHeader);
    }
    template <class T>
    std::shared_ptr<T> getTypedFooter() const
    {
        return std::dynamic_pointer_cast<T>(m_pFooter);
    }

    const BaseHeaderPtr& getHeader() const { return m_pHeader; }
    const BaseBodyPtr& getBody() const { return m_pBody; }
    const BaseFooterPtr& getFooter() const { return m_pFooter; }
    // The bytes each part was last parsed from.
    const IOBufferPtr& getHeaderBuffer() const { return m_pHeaderBuffer; }
    const IOBufferPtr& getBodyBuffer() const { return m_pBodyBuffer; }
    const IOBufferPtr& getFooterBuffer() const { return m_pFooterBuffer; }
    HeaderType getHeaderType() const { return m_headerType; }
    BodyType getBodyType() const { return m_bodyType; }
    FooterType getFooterType() const { return m_footerType; }
    bool isMalformed() const { return m_isMalformed; }

protected:
    virtual const BaseBodyFactory& factory() const = 0;
    // Request or response: the kind of message this is.
    virtual HeaderType ownHeaderType() const = 0;

    // Default header of the message's kind, body and footer from the factory,
    // header filled in from them.
    void build(BodyType bodyType, FooterType footerType);
    // Rebuilds the message from its own bytes; failures leave the later parts
    // absent and the message malformed.
    void rebuild(const IOBufferPtr& buffer);

    BaseHeaderPtr m_pHeader;
    BaseBodyPtr m_pBody;
    BaseFooterPtr m_pFooter;
    IOBufferPtr m_pHeaderBuffer;
    IOBufferPtr m_pBodyBuffer;
    IOBufferPtr m_pFooterBuffer;
    HeaderType m_headerType = InvalidHeader;
    BodyType m_bodyType = InvalidBody;
    FooterType m_footerType = InvalidFooter;
    bool m_isMalformed = false;

private:
    void parse(const IOBufferPtr& buffer);
};

using MessagePtr = std::shared_ptr<Message>;

template <HeaderType H>
class V1Message : public Message, public V1BodyFactory {
public:
    V1Message(BodyType bodyType, FooterType footerType);
    // Rebuilds a message from its bytes (used for requests). Never throws:
    // a message that cannot be rebuilt lacks its later parts; check the typed
    // body before use.
    explicit V1Message(const IOBufferPtr& buffer);

    void setSensorId(unsigned sensorId);

protected:
    const BaseBodyFactory& factory() const override { return *this; }
    HeaderType ownHeaderType() const override { return H; }
};

extern template class V1Message<V1Request>;
extern template class V1Message<V1Response>;

using V1RequestMessage = V1Message<V1Request>;
using V1ResponseMessage = V1Message<V1Response>;

} // namespace kv
