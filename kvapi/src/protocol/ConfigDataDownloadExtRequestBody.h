#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V2 {

#pragma pack(push, 1)
// The wire layout of the large-block download request.
struct TConfigDataDownloadExtRequest {
    uint32_t dataLength = 0;
    uint32_t address = 0;
};
#pragma pack(pop)

static_assert(sizeof(TConfigDataDownloadExtRequest) == 8, "TConfigDataDownloadExtRequest is packed");

// Asks an IMX-platform camera for a large block of its configuration flash back.
class ConfigDataDownloadExtRequestBody : public V1::BaseBody {
public:
    static constexpr size_t c_bodyLength = sizeof(TConfigDataDownloadExtRequest);

    ConfigDataDownloadExtRequestBody();
    explicit ConfigDataDownloadExtRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint32_t getDataLength() const { return m_request.dataLength; }
    void setDataLength(uint32_t length) { m_request.dataLength = length; }
    uint32_t getAddress() const { return m_request.address; }
    void setAddress(uint32_t address) { m_request.address = address; }

private:
    TConfigDataDownloadExtRequest m_request;
};

} // namespace V2
} // namespace kv
