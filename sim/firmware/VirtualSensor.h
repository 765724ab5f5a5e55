#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include <kvapi/kvapi.h>

#include "firmware/CameraConfig.h"
#include "firmware/Clock.h"

namespace kvsim {

// The region read out and the binning. Offsets and sizes count binned pixels,
// as the host's subframe adjustments send them: a window of width w binned by
// b covers w * b columns of the sensor.
struct SubframeRecord {
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t binX = 1;
    uint8_t binY = 1;
};

struct ExposureRequest {
    float duration = 0.0f; // seconds
    bool lightFrame = true;
    bool externalTrigger = false;
    bool rbiPreflash = false;
    uint8_t readoutMode = 0;
};

// One exposure the sensor took or is taking.
struct ExposureRecord {
    ExposureRequest request;
    SubframeRecord subframe;
    TimePoint requested{}; // when StartExposure arrived
    uint32_t number = 0;   // 1 for the first exposure of the sensor
};

// One image sensor of the firmware: information, settings, calibration,
// subframe, and the exposure state machine
//   Idle -> [Trigger] -> [PreShutter] -> [DoShutterOpen] -> Exposing
//        -> [DoShutterClose] -> Reading -> ReadyToDownload -> Idle,
// with each phase lasting its real time. Abort returns to Idle from anywhere.
class VirtualSensor {
public:
    // shutterMove: time the mechanical shutter takes, zero for none.
    VirtualSensor(uint8_t id, const SensorConfig& config, Duration shutterMove);

    uint8_t id() const { return m_id; }
    const SensorConfig& config() const { return m_config; }

    // Settings by ISensor::Setting code. Unknown codes and values outside a
    // setting's range are InvalidParameter; changes while exposing or reading DeviceBusy.
    kv::EStatusCode getSetting(uint32_t setting, uint16_t& value) const;
    kv::EStatusCode setSetting(uint32_t setting, uint32_t value, TimePoint now);
    const std::map<uint32_t, uint16_t>& settings() const { return m_settings; }

    // The legacy calibration record; FeatureNotSupported on sensors without one.
    kv::EStatusCode getCalibration(kv::ISensor::Calibration& calibration) const;
    kv::EStatusCode setCalibration(const kv::ISensor::Calibration& calibration, bool persist, TimePoint now);
    bool calibrationPersisted() const { return m_calibrationPersisted; }

    // Calibration values by key (ISensor::CalibrationKey) and sub-key.
    static constexpr uint32_t c_subKeys = 16;
    kv::EStatusCode getCalibration(uint32_t key, uint32_t subKey, uint32_t& value) const;
    kv::EStatusCode setCalibration(uint32_t key, uint32_t subKey, uint32_t value, TimePoint now);

    // The subframe must lie inside the sensor, with binning 1 to the maximum.
    kv::EStatusCode setSubframe(const SubframeRecord& subframe, TimePoint now);
    const SubframeRecord& subframe() const { return m_subframe; }

    // DeviceBusy unless idle or holding an image; InvalidParameter for a duration
    // outside the sensor's range or an unknown readout mode.
    kv::EStatusCode startExposure(const ExposureRequest& request, TimePoint now);
    // Ends any exposure and drops an image not yet downloaded.
    kv::EStatusCode abortExposure(TimePoint now);
    // The external trigger of an exposure waiting in Trigger.
    void trigger(TimePoint now);
    // ImageNotAvailable unless an image is ready; the image is then handed out
    // and the sensor returns to Idle.
    kv::EStatusCode startDownload(TimePoint now);

    kv::ISensor::Status state(TimePoint now) const;
    bool busy(TimePoint now) const; // exposing or reading
    // Whether a light frame holds the shutter open now.
    bool shutterOpen(TimePoint now) const;
    uint32_t exposureCount() const { return m_exposureCount; }
    const std::optional<ExposureRecord>& lastExposure() const { return m_lastExposure; }

private:
    struct Timeline {
        bool waitingForTrigger = false;
        TimePoint preShutter{};
        TimePoint shutterOpen{};
        TimePoint exposing{};
        TimePoint shutterClose{};
        TimePoint reading{};
        TimePoint ready{};
    };

    void schedule(TimePoint start);
    Duration readoutTime() const;

    uint8_t m_id;
    SensorConfig m_config;
    Duration m_shutterMove;
    std::map<uint32_t, uint16_t> m_settings;
    kv::ISensor::Calibration m_calibration;
    bool m_calibrationPersisted = false;
    std::map<uint32_t, std::map<uint32_t, uint32_t>> m_calibrationByKey;
    SubframeRecord m_subframe;
    std::optional<Timeline> m_timeline; // the exposure in progress or holding an image
    std::optional<ExposureRecord> m_lastExposure;
    uint32_t m_exposureCount = 0;
};

} // namespace kvsim
