#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <kvapi/kvapi.h>

namespace kv {

class Endpoint;
using EndpointPtr = std::shared_ptr<Endpoint>;

// The address of one device. The transport marks it initialised once the
// device is open.
class Endpoint {
public:
    explicit Endpoint(EEndpointType type);
    virtual ~Endpoint();

    Endpoint(const Endpoint&) = delete;
    Endpoint& operator=(const Endpoint&) = delete;

    EEndpointType getType() const { return m_type; }
    void setType(EEndpointType type) { m_type = type; }
    bool getIsInitialized() const { return m_isInitialized; }
    void setIsInitialized(bool initialized) { m_isInitialized = initialized; }

    virtual std::string toString() const = 0;
    virtual std::string toStringConcise() const = 0;
    // True when both name the same device.
    virtual bool compare(const EndpointPtr& other) const = 0;
    // A new endpoint for the same device, or null when this kind cannot be copied.
    virtual EndpointPtr copy() const = 0;

protected:
    EEndpointType m_type;
    std::atomic<bool> m_isInitialized{false};
};

} // namespace kv
