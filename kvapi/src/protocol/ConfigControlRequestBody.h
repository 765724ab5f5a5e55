#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi_factory.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// One flash-control command: read or write the protection status, erase a sector or
// the partition. The camera reads the command back from the sent frame through the
// buffer constructor when the answer arrives.
class ConfigControlRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 2;

    ConfigControlRequestBody();
    explicit ConfigControlRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    ConfigControlCommand getCommand() const { return static_cast<ConfigControlCommand>(m_command); }
    void setCommand(ConfigControlCommand command) { m_command = static_cast<uint8_t>(command); }
    uint8_t getParameter() const { return m_parameter; }
    void setParameter(uint8_t parameter) { m_parameter = parameter; }

private:
    uint8_t m_command = 0;
    uint8_t m_parameter = 0;
};

} // namespace V1
} // namespace kv
