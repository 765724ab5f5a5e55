#pragma once

#include "protocol/BaseBody.h"
#include "protocol/BodyFactory.h"
#include "protocol/protocol.h"
#include "unit/protocol/HexBytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

// Golden-byte cases of message bodies: one row a body class, its bytes and its
// log text, checked both ways by the same routines for every family of bodies.
namespace goldenbodies {

using BodyMaker = std::function<kv::BaseBodyPtr()>;
using BodyParser = std::function<kv::BaseBodyPtr(const kv::IOBufferPtr&)>;

template <typename T>
BodyMaker defaultBody()
{
    return [] { return std::make_shared<T>(); };
}

// Through the constructor that parses at once.
template <typename T>
BodyParser parsedBody()
{
    return [](const kv::IOBufferPtr& buffer) { return std::make_shared<T>(buffer); };
}

template <typename T>
BodyMaker filledBody(std::function<void(T&)> fill)
{
    return [fill] {
        auto body = std::make_shared<T>();
        fill(*body);
        return body;
    };
}

struct GoldenCase {
    const char* name;
    kv::BodyType bodyType;
    BodyMaker filled;   // body built through its setters
    BodyMaker fresh;    // default-constructed body of the same class
    BodyParser parse;   // buffer constructor
    std::string hex;    // payload of the filled body
    std::string log;    // getMessageDataString of the filled body
    bool fixedLength;   // a fixed layout: shorter buffers are not parsed
};

// Setters to golden bytes, golden bytes back through the parsing constructor
// and through setBuffer of a fresh body, and the log text both ways.
inline void expectGoldenBothWays(const std::vector<GoldenCase>& cases)
{
    using hexbytes::fromHex;
    using hexbytes::toHex;
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.name);
        const kv::BaseBodyPtr filled = c.filled();
        EXPECT_EQ(filled->getSohType(), kv::Cmd);
        EXPECT_EQ(filled->getBodyType(), c.bodyType);
        EXPECT_EQ(toHex(filled->getBuffer()), c.hex);
        EXPECT_EQ(filled->getBufferLength(), fromHex(c.hex)->length);
        EXPECT_EQ(filled->getMessageDataString(), c.log);

        const kv::BaseBodyPtr parsed = c.parse(fromHex(c.hex));
        EXPECT_EQ(toHex(parsed->getBuffer()), c.hex);
        EXPECT_EQ(parsed->getMessageDataString(), c.log);

        const kv::BaseBodyPtr fresh = c.fresh();
        EXPECT_EQ(fresh->getBodyType(), c.bodyType);
        fresh->setBuffer(fromHex(c.hex));
        EXPECT_EQ(toHex(fresh->getBuffer()), c.hex);
    }
}

// A fixed layout given fewer bytes parses nothing and keeps what it held; a
// null or empty buffer changes nothing; bytes after the layout are ignored.
inline void expectFixedLayoutBadLengths(const std::vector<GoldenCase>& cases)
{
    using hexbytes::fromHex;
    using hexbytes::toHex;
    for (const GoldenCase& c : cases) {
        if (!c.fixedLength)
            continue;
        SCOPED_TRACE(c.name);
        const kv::IOBufferPtr golden = fromHex(c.hex);
        const kv::IOBufferPtr cut = golden->extract(0, golden->length - 1);
        const std::string defaults = toHex(c.fresh()->getBuffer());

        const kv::BaseBodyPtr shortBody = c.fresh();
        shortBody->setBuffer(cut);
        EXPECT_EQ(toHex(shortBody->getBuffer()), defaults);
        EXPECT_EQ(toHex(c.parse(cut)->getBuffer()), defaults);

        const kv::BaseBodyPtr kept = c.parse(golden);
        kept->setBuffer(cut);
        kept->setBuffer(kv::IOBufferPtr());
        kept->setBuffer(kv::IOBuffer::newBuffer(0));
        EXPECT_EQ(toHex(kept->getBuffer()), c.hex);

        EXPECT_EQ(toHex(c.parse(fromHex(c.hex + " ee ee ee"))->getBuffer()), c.hex);
    }
}

// A default-constructed body and the bytes it serialises to.
struct DefaultCase {
    const char* name;
    BodyMaker make;
    std::string hex;
};

inline void expectDefaults(const std::vector<DefaultCase>& cases)
{
    using hexbytes::fromHex;
    using hexbytes::toHex;
    for (const DefaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const kv::BaseBodyPtr body = c.make();
        EXPECT_EQ(body->getSohType(), kv::Cmd);
        EXPECT_EQ(body->getProtocolVersion(), 1u);
        EXPECT_EQ(toHex(body->getBuffer()), c.hex);
        EXPECT_EQ(body->getBufferLength(), fromHex(c.hex)->length);
    }
}

// What the body factory makes for one code, each direction: the exact class
// expected, or empty where the direction has no payload (an EmptyBody).
using BodyCheck = std::function<bool(const kv::BaseBodyPtr&)>;

template <typename T>
BodyCheck isBody()
{
    return [](const kv::BaseBodyPtr& body) {
        const kv::V1::BaseBody& object = *body;
        return typeid(object) == typeid(T);
    };
}

struct FactoryCase {
    kv::BodyType bodyType;
    BodyCheck request;
    BodyCheck response;
};

inline void expectFactoryCreates(const std::vector<FactoryCase>& cases)
{
    const kv::V1BodyFactory factory;
    for (const FactoryCase& c : cases) {
        SCOPED_TRACE(kv::Reflections::messageBodyToString(c.bodyType));
        const kv::BaseBodyPtr request = factory.generateRequestBody(c.bodyType);
        const kv::BaseBodyPtr response = factory.generateResponseBody(c.bodyType);
        ASSERT_TRUE(request);
        ASSERT_TRUE(response);
        EXPECT_EQ(request->getBodyType(), c.bodyType);
        EXPECT_EQ(response->getBodyType(), c.bodyType);
        if (c.request)
            EXPECT_TRUE(c.request(request));
        else
            EXPECT_EQ(request->getBufferLength(), 0u);
        if (c.response)
            EXPECT_TRUE(c.response(response));
        else
            EXPECT_EQ(response->getBufferLength(), 0u);
    }
}

} // namespace goldenbodies
