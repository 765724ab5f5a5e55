#include "transport/Endpoint.h"

namespace kv {

Endpoint::Endpoint(EEndpointType type) : m_type(type) {}

Endpoint::~Endpoint() = default;

} // namespace kv
