#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <kvapi/kvapi.h>

#include "firmware/AdaptiveOptics.h"
#include "firmware/CameraConfig.h"
#include "firmware/Clock.h"
#include "firmware/Cooler.h"
#include "firmware/FilterWheel.h"
#include "firmware/GuidePort.h"
#include "firmware/Shutter.h"
#include "firmware/VirtualSensor.h"
#include "gateway/types.h"
#include "protocol/BaseBody.h"

namespace kvsim {

// Network settings a SetNetworkConfig broadcast gave this camera.
struct NetworkAssignment {
    std::array<uint8_t, 6> mac{};
    std::array<uint8_t, 4> address{};
    std::array<uint8_t, 4> gateway{};
    std::array<uint8_t, 4> subnetMask{};
};

// The camera's firmware: takes one request frame and gives the answer frame,
// with the status codes a camera uses. Knows nothing of transports and holds
// no lock: VirtualCamera serialises the calls.
class Firmware {
public:
    Firmware(const CameraConfig& config, TimePoint start);
    ~Firmware();

    // The answer to one received frame; null when the frame gets none (shorter
    // than a request header, or a broadcast that is never answered).
    kv::IOBufferPtr answer(const kv::IOBufferPtr& frame, TimePoint now);
    // A status-only answer to the frame, as a camera refuses a request; null
    // when the frame would get no answer at all.
    static kv::IOBufferPtr refusal(const kv::IOBufferPtr& frame, kv::EStatusCode status);

    const CameraConfig& config() const { return m_config; }
    kv::ICamera::Info info() const;
    // The serial number as text, for example BR694M-24011542; empty when it fits no format.
    std::string serialText() const;
    // What GetCameraStatus reports now.
    kv::ICamera::Status status(TimePoint now);
    bool capability(kv::ICamera::Capability capability) const;
    int protocolRevision() const;

    Cooler& cooler() { return m_cooler; }
    Shutter& shutter() { return m_shutter; }
    FilterWheel& filterWheel() { return m_filterWheel; }
    AdaptiveOptics& adaptiveOptics() { return m_adaptiveOptics; }
    GuidePort& guidePort() { return m_guidePort; }
    size_t sensorCount() const { return m_sensors.size(); }
    // Null for an id without a sensor.
    VirtualSensor* sensor(size_t id);

    uint8_t fanSpeed() const { return m_fanSpeed; }
    const std::map<uint8_t, int16_t>& options() const { return m_options; }
    const WifiConfig& wifi() const { return m_wifi; }
    const std::optional<NetworkAssignment>& networkAssignment() const { return m_networkAssignment; }

    // One request frame as read (defined with the dispatch).
    struct Request;

private:
    struct Outcome;

    Outcome dispatch(const Request& request, TimePoint now);
    Outcome answerSensor(const Request& request, TimePoint now);
    Outcome answerCameraStatus(TimePoint now);
    Outcome answerCapability(const Request& request);
    Outcome answerOption(const Request& request);
    Outcome answerNetwork(const Request& request);
    Outcome answerCooler(const Request& request, TimePoint now);
    Outcome answerShutter(const Request& request, TimePoint now);
    Outcome answerFilterWheel(const Request& request, TimePoint now);
    Outcome answerAdaptiveOptics(const Request& request, TimePoint now);
    Outcome answerPulseGuide(const Request& request, TimePoint now);
    Outcome answerPeripheralInfo();
    void applyNetworkConfig(const Request& request);

    CameraConfig m_config;
    Cooler m_cooler;
    Shutter m_shutter;
    FilterWheel m_filterWheel;
    AdaptiveOptics m_adaptiveOptics;
    GuidePort m_guidePort;
    std::vector<std::unique_ptr<VirtualSensor>> m_sensors;
    uint8_t m_fanSpeed = 100;
    std::map<uint8_t, int16_t> m_options;
    WifiConfig m_wifi;
    std::optional<NetworkAssignment> m_networkAssignment;
};

} // namespace kvsim
