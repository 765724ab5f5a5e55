#pragma once

#include <string>

#include "udp/SimServer.h"

namespace kvsim {

// Readable log lines of one exchange: what was received and what went back,
// named and rendered by the protocol's own bodies.
namespace ExchangeLog {

std::string request(const Exchange& exchange);
// Empty when nothing is sent back. preciseCoolerPower: the camera reports the
// cooler power itself rather than a code.
std::string reply(const Exchange& exchange, bool preciseCoolerPower);

} // namespace ExchangeLog
} // namespace kvsim
