#include "protocol/BaseBody.h"

namespace kv {
namespace V1 {

BaseBody::BaseBody(SohType sohType, BodyType bodyType) : m_sohType(sohType), m_bodyType(bodyType) {}

BaseBody::~BaseBody() = default;

std::string BaseBody::getMessageDataString() const
{
    return "No Data";
}

} // namespace V1
} // namespace kv
