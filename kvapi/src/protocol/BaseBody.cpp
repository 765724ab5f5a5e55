#include "protocol/BaseBody.h"

namespace kv {
namespace V1 {

BaseBody::BaseBody(SohType sohType, BodyType bodyType) : m_sohType(sohType), m_bodyType(bodyType) {}

BaseBody::~BaseBody() = default;

std::string BaseBody::getMessageDataString() const
{
    return "No Data";
}

void BaseBody::adoptReadSettings(const BaseBody& previous)
{
    m_firmwareVersion = previous.m_firmwareVersion;
}

} // namespace V1
} // namespace kv
