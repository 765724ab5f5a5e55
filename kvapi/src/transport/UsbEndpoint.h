#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "transport/Endpoint.h"

namespace kv {

// A camera on USB (FTDI D2XX) or USB3 (FTDI D3XX); the USB3 transport changes
// the type to USB3.
class UsbEndpoint : public Endpoint {
public:
    // The FTDI library's device handle, opaque here.
    using handle = void*;
    // All bits set: no device open.
    static handle noHandle() { return reinterpret_cast<handle>(~uintptr_t(0)); }
    static constexpr uint32_t c_noIndex = 0xFFFFFFFF;

    UsbEndpoint();
    UsbEndpoint(uint32_t ftdiIndex, uint32_t expectedLength, handle ftdiHandle, const std::string& serial);

    std::string toString() const override;
    std::string toStringConcise() const override;
    // Same kind and serial; handle and index do not count.
    bool compare(const EndpointPtr& other) const override;
    // Copies all four fields and the kind of a USB or USB3 endpoint.
    EndpointPtr copy() const override;

    handle getFtdiHandle() const { return m_ftdiHandle; }
    void setFtdiHandle(handle ftdiHandle) { m_ftdiHandle = ftdiHandle; }
    uint32_t getFtdiIndex() const { return m_ftdiIndex; }
    void setFtdiIndex(uint32_t index) { m_ftdiIndex = index; }
    const std::string& getSerial() const { return m_serial; }
    void setSerial(const std::string& serial) { m_serial = serial; }

    // Length of the response to the request being sent; written when a request
    // is prepared, read by the transport's worker.
    uint32_t getExpectedLength() const { return m_expectedLength; }
    void setExpectedLength(uint32_t length) { m_expectedLength = length; }

private:
    handle m_ftdiHandle;
    uint32_t m_ftdiIndex;
    std::atomic<uint32_t> m_expectedLength;
    std::string m_serial;
};

using UsbEndpointPtr = std::shared_ptr<UsbEndpoint>;

} // namespace kv
