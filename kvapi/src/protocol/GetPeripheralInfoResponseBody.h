#pragma once

#include "protocol/BaseBody.h"
#include "protocol/TPeripheralInfo.h"

#include <cstdint>
#include <map>
#include <string>

namespace kv {
namespace V1 {

// Answer to GetPeripheralInfo: a layout version and the list of peripherals attached.
class GetPeripheralInfoResponseBody : public BaseBody {
public:
    static constexpr size_t c_headerLength = 8;
    static constexpr size_t c_recordLength = 12;
    static const std::map<PeripheralType, std::string> c_peripheralTypeToStringMap;

    GetPeripheralInfoResponseBody();
    explicit GetPeripheralInfoResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint32_t getVersion() const { return m_version; }
    void setVersion(uint32_t version) { m_version = version; }
    const TPeripheralInfoList& getPeripheralList() const { return m_devices; }
    void setPeripheralInfoList(const TPeripheralInfoList& devices) { m_devices = devices; }

private:
    uint32_t m_version = 0;
    TPeripheralInfoList m_devices;
};

} // namespace V1
} // namespace kv
