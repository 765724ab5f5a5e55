#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi_factory.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V2 {

#pragma pack(push, 1)
// The wire layout of the extended flash-control request. The parameter is the one
// big-endian field of the protocol: it is held here in network byte order.
struct TConfigControlRequest {
    uint8_t m_command = 0;
    uint32_t m_parameter = 0;
};
#pragma pack(pop)

static_assert(sizeof(TConfigControlRequest) == 5, "TConfigControlRequest is packed");

// Flash control with a 32-bit argument. Part of the protocol; no camera operation sends it.
class ConfigControlExtRequestBody : public V1::BaseBody {
public:
    static constexpr size_t c_bodyLength = sizeof(TConfigControlRequest);

    ConfigControlExtRequestBody();
    explicit ConfigControlExtRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ConfigControlCommand getCommand() const { return static_cast<ConfigControlCommand>(m_request.m_command); }
    void setCommand(ConfigControlCommand command) { m_request.m_command = static_cast<uint8_t>(command); }
    // Host order in and out; stored most significant byte first.
    uint32_t getParameter() const;
    void setParameter(uint32_t parameter);

private:
    TConfigControlRequest m_request;
};

} // namespace V2
} // namespace kv
