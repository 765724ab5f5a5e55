#pragma once

#include "protocol/BaseBody.h"
#include "protocol/FooterBody.h"
#include "protocol/HeaderBody.h"
#include "protocol/protocol.h"

namespace kv {

// Creates the header, body and footer objects for the frame's type codes.
// Every generator returns an empty pointer for a code it has no class for.
class BaseBodyFactory {
public:
    virtual ~BaseBodyFactory();

    virtual BaseHeaderPtr generateHeader(HeaderType type) const = 0;
    virtual BaseBodyPtr generateBody(HeaderType headerType, BodyType bodyType) const = 0;
    virtual BaseFooterPtr generateFooter(FooterType type) const = 0;
};

class V1BodyFactory : public BaseBodyFactory {
public:
    BaseHeaderPtr generateHeader(HeaderType type) const override;
    BaseBodyPtr generateBody(HeaderType headerType, BodyType bodyType) const override;
    BaseFooterPtr generateFooter(FooterType type) const override;

    // The body of a request / a response of that type, with its default content.
    BaseBodyPtr generateRequestBody(BodyType bodyType) const;
    BaseBodyPtr generateResponseBody(BodyType bodyType) const;
};

} // namespace kv
