#include "daemon/ExchangeLog.h"

#include "protocol/GetCameraStatusResponseBody.h"
#include "protocol/Message.h"
#include "protocol/protocol.h"

#include <sstream>

namespace kvsim {
namespace ExchangeLog {

namespace {

std::string dataOf(const kv::Message& message)
{
    const auto& body = message.getBody();
    if (!body || body->getBufferLength() == 0)
        return "";
    const std::string data = body->getMessageDataString();
    return data == "No Data" || data.empty() ? "" : " " + data;
}

} // namespace

std::string request(const Exchange& exchange)
{
    std::ostringstream out;
    out << "<- " << exchange.source << (exchange.broadcast ? " (broadcast) " : " ");
    const auto& bytes = exchange.request;
    if (!bytes || bytes->length < 2 || static_cast<unsigned char>(bytes->data[0]) != kv::Cmd) {
        out << "not a frame (" << (bytes ? bytes->length : 0) << " bytes)";
        return out.str();
    }
    const unsigned bodyType = static_cast<unsigned char>(bytes->data[1]);
    out << kv::Reflections::messageBodyToString(bodyType);
    if (bytes->length > 4)
        out << " sensor " << static_cast<unsigned>(static_cast<unsigned char>(bytes->data[4]));
    kv::V1RequestMessage message(bytes);
    if (message.getBody())
        out << dataOf(message);
    return out.str();
}

std::string reply(const Exchange& exchange, bool preciseCoolerPower)
{
    if (exchange.reply.datagrams.empty())
        return "";
    std::ostringstream out;
    out << "-> " << exchange.source;
    if (exchange.reply.delay.count() > 0)
        out << " after " << exchange.reply.delay.count() << " ms";
    const auto& answer = exchange.reply.datagrams.back();
    const size_t extra = exchange.reply.datagrams.size() - 1;
    if (extra > 0)
        out << " (" << extra << " stray datagrams first)";
    if (answer->length < 10) {
        out << " " << answer->length << " bytes";
        return out.str();
    }
    const auto bodyType = static_cast<kv::BodyType>(static_cast<unsigned char>(answer->data[1]));
    kv::V1ResponseMessage message(bodyType, kv::V1None);
    message.setBuffer(answer);
    out << " " << kv::Reflections::messageBodyToString(bodyType) << " "
        << kv::errors::getErrorString(message.getStatusCode());
    if (message.getStatusCode() != kv::Success)
        return out.str();
    // Parsing makes a fresh body, so the cooler-power decoding is chosen here.
    if (bodyType == kv::GetCameraStatus && preciseCoolerPower && message.getBodyBuffer())
        out << " " << kv::V1::GetCameraStatusResponseBody(message.getBodyBuffer(), false).getMessageDataString();
    else
        out << dataOf(message);
    return out.str();
}

} // namespace ExchangeLog
} // namespace kvsim
