#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <kvapi/kvapi.h>

#include "firmware/CameraConfig.h"
#include "firmware/Clock.h"
#include "firmware/Faults.h"
#include "firmware/Firmware.h"
#include "firmware/Journal.h"
#include "gateway/types.h"

namespace kvsim {

// What the camera sends back for one received datagram.
struct Reply {
    std::vector<kv::IOBufferPtr> datagrams; // in the order they are to be sent
    std::chrono::milliseconds delay{0};     // how long after the request
};

// A snapshot of the cooler as the camera sees it.
struct CoolerState {
    bool enabled = false;
    float setpoint = 0.0f;
    float sensorTemperature = 0.0f;
    float heatSinkTemperature = 0.0f;
    float power = 0.0f;
    uint8_t fanSpeed = 0;
};

struct FilterWheelState {
    bool present = false;
    uint8_t hardwareId = 0;
    uint32_t slots = 0;
    uint32_t position = 0; // wire numbering, 1 to slots
    kv::IFW::Status status = kv::IFW::FWIdle;
};

struct AdaptiveOpticsState {
    kv::IAO::Model model = kv::IAO::UnknownAOModel;
    uint16_t tip = 0;
    uint16_t tilt = 0;
    kv::IAO::Status status = kv::IAO::Idle;
};

struct SensorState {
    kv::ISensor::Status state = kv::ISensor::Idle;
    std::map<uint32_t, uint16_t> settings;
    SubframeRecord subframe;
    kv::ISensor::Calibration calibration;
    uint32_t exposureCount = 0;
    std::optional<ExposureRecord> lastExposure;
};

// One virtual camera: the firmware model with its fault injection and its
// journal of received requests, independent of any transport. Front ends hand
// it each received datagram and send what it returns. Thread-safe.
class VirtualCamera {
public:
    // A real-time clock when none is given.
    explicit VirtualCamera(const CameraConfig& config, ClockPtr clock = nullptr);
    ~VirtualCamera();

    VirtualCamera(const VirtualCamera&) = delete;
    VirtualCamera& operator=(const VirtualCamera&) = delete;

    // std::invalid_argument for an unknown preset; std::runtime_error for a
    // file that cannot be read or understood.
    static std::shared_ptr<VirtualCamera> fromPreset(const std::string& preset, ClockPtr clock = nullptr);
    static std::shared_ptr<VirtualCamera> fromFile(const std::string& path, ClockPtr clock = nullptr);

    // One datagram received from `source` ("ip:port"); the datagrams to answer with.
    Reply receive(const char* data, size_t length, const std::string& source = std::string());
    Reply receive(const kv::IOBufferPtr& datagram, const std::string& source = std::string());

    const CameraConfig& config() const { return m_config; }
    const ClockPtr& clock() const { return m_clock; }
    Journal& journal() { return m_journal; }
    Faults& faults() { return m_faults; }

    kv::ICamera::Info info() const;
    std::string serialText() const;
    kv::ICamera::Status status() const;
    CoolerState cooler() const;
    FilterWheelState filterWheel() const;
    AdaptiveOpticsState adaptiveOptics() const;
    // Null when the camera has no sensor of that id.
    std::optional<SensorState> sensor(size_t id) const;
    WifiConfig wifi() const;
    std::map<uint8_t, int16_t> options() const;
    std::optional<NetworkAssignment> networkAssignment() const;

    // The external trigger of an exposure that waits for one.
    void trigger(size_t sensorId);
    // Runs `visit` on the firmware under the camera's lock, at the camera's now.
    void inspect(const std::function<void(Firmware&, TimePoint)>& visit);

private:
    const CameraConfig m_config;
    const ClockPtr m_clock;
    Journal m_journal;
    Faults m_faults;
    mutable std::mutex m_mutex;
    mutable Firmware m_firmware;
};

using VirtualCameraPtr = std::shared_ptr<VirtualCamera>;

} // namespace kvsim
