#include "firmware/VirtualSensor.h"

#include <algorithm>
#include <cmath>

namespace kvsim {

using kv::ISensor;

namespace {

struct SettingRule {
    uint32_t min;
    uint32_t max;
    uint16_t initial;
};

// Range and power-on value of every hardware setting.
SettingRule ruleOf(uint32_t setting, const SensorConfig& config)
{
    switch (setting) {
    case ISensor::RBIPreflashDuration: return {0, 65535, 400};
    case ISensor::RBIPreflashFlushCount: return {0, 20, 3};
    case ISensor::FanSpeed: return {0, 100, 100};
    case ISensor::AutoFanMode: return {0, 1, 1};
    case ISensor::EnableStatusLED: return {0, 1, 1};
    case ISensor::PartialExposureLength: return {1, 65535, 1};
    case ISensor::AnalogGain0: return {0, 65535, static_cast<uint16_t>(config.defaultGain0)};
    case ISensor::AnalogGain1: return {0, 65535, static_cast<uint16_t>(config.defaultGain1)};
    default: return {0, 1, 0};
    }
}

const std::vector<int>* gainsOf(uint32_t setting, const SensorConfig& config)
{
    if (setting == ISensor::AnalogGain0)
        return &config.adjustableGains0;
    if (setting == ISensor::AnalogGain1)
        return &config.adjustableGains1;
    return nullptr;
}

// Per flush of the RBI pre-flash.
constexpr auto c_flushTime = std::chrono::milliseconds(10);
constexpr auto c_minReadout = std::chrono::milliseconds(1);

} // namespace

VirtualSensor::VirtualSensor(uint8_t id, const SensorConfig& config, Duration shutterMove)
    : m_id(id), m_config(config), m_shutterMove(shutterMove), m_calibration(config.calibration)
{
    for (uint32_t s = 0; s < ISensor::SettingCount; ++s)
        m_settings[s] = ruleOf(s, config).initial;
    m_subframe.width = config.pixelsX;
    m_subframe.height = config.pixelsY;
}

kv::EStatusCode VirtualSensor::getSetting(uint32_t setting, uint16_t& value) const
{
    const auto it = m_settings.find(setting);
    if (it == m_settings.end())
        return kv::InvalidParameter;
    value = it->second;
    return kv::Success;
}

kv::EStatusCode VirtualSensor::setSetting(uint32_t setting, uint32_t value, TimePoint now)
{
    if (m_settings.find(setting) == m_settings.end())
        return kv::InvalidParameter;
    const SettingRule rule = ruleOf(setting, m_config);
    if (value < rule.min || value > rule.max)
        return kv::InvalidParameter;
    if (const auto* gains = gainsOf(setting, m_config)) {
        if (!gains->empty() && std::find(gains->begin(), gains->end(), static_cast<int>(value)) == gains->end())
            return kv::InvalidParameter;
    }
    if (busy(now))
        return kv::DeviceBusy;
    m_settings[setting] = static_cast<uint16_t>(value);
    return kv::Success;
}

kv::EStatusCode VirtualSensor::getCalibration(ISensor::Calibration& calibration) const
{
    if (!m_config.legacyCalibration)
        return kv::FeatureNotSupported;
    calibration = m_calibration;
    return kv::Success;
}

kv::EStatusCode VirtualSensor::setCalibration(const ISensor::Calibration& calibration, bool persist, TimePoint now)
{
    if (!m_config.legacyCalibration)
        return kv::FeatureNotSupported;
    if (calibration.channelsInUse > 4)
        return kv::InvalidParameter;
    if (busy(now))
        return kv::DeviceBusy;
    m_calibration = calibration;
    m_calibrationPersisted = persist;
    return kv::Success;
}

kv::EStatusCode VirtualSensor::getCalibration(uint32_t key, uint32_t subKey, uint32_t& value) const
{
    if (key >= ISensor::CalibrationCount || subKey >= c_subKeys)
        return kv::InvalidParameter;
    value = 0;
    const auto byKey = m_calibrationByKey.find(key);
    if (byKey != m_calibrationByKey.end()) {
        const auto bySub = byKey->second.find(subKey);
        if (bySub != byKey->second.end())
            value = bySub->second;
    }
    return kv::Success;
}

kv::EStatusCode VirtualSensor::setCalibration(uint32_t key, uint32_t subKey, uint32_t value, TimePoint now)
{
    if (key >= ISensor::CalibrationCount || subKey >= c_subKeys)
        return kv::InvalidParameter;
    if (busy(now))
        return kv::DeviceBusy;
    m_calibrationByKey[key][subKey] = value;
    return kv::Success;
}

kv::EStatusCode VirtualSensor::setSubframe(const SubframeRecord& s, TimePoint now)
{
    if (s.width == 0 || s.height == 0 || s.binX < 1 || s.binY < 1 || s.binX > m_config.maxBinX ||
        s.binY > m_config.maxBinY)
        return kv::InvalidParameter;
    if ((static_cast<uint32_t>(s.x) + s.width) * s.binX > m_config.pixelsX ||
        (static_cast<uint32_t>(s.y) + s.height) * s.binY > m_config.pixelsY)
        return kv::InvalidParameter;
    if (busy(now))
        return kv::DeviceBusy;
    m_subframe = s;
    return kv::Success;
}

kv::EStatusCode VirtualSensor::startExposure(const ExposureRequest& request, TimePoint now)
{
    const ISensor::Status current = state(now);
    if (current != ISensor::Idle && current != ISensor::ReadyToDownload)
        return kv::DeviceBusy;
    if (!std::isfinite(request.duration) || request.duration < m_config.minExposure ||
        request.duration > m_config.maxExposure)
        return kv::InvalidParameter;
    if (request.readoutMode >= std::max<uint32_t>(m_config.readoutModes, 1))
        return kv::InvalidParameter;
    if (request.rbiPreflash && !m_config.hasRbiPreflash)
        return kv::FeatureNotSupported;

    ExposureRecord record;
    record.request = request;
    // Exposure times are kept to the sensor's precision.
    if (m_config.exposurePrecision > 0.0f)
        record.request.duration =
            std::round(request.duration / m_config.exposurePrecision) * m_config.exposurePrecision;
    record.subframe = m_subframe;
    record.requested = now;
    record.number = ++m_exposureCount;
    m_lastExposure = record;
    m_timeline = Timeline();
    if (request.externalTrigger)
        m_timeline->waitingForTrigger = true;
    else
        schedule(now);
    return kv::Success;
}

void VirtualSensor::schedule(TimePoint start)
{
    const ExposureRequest& request = m_lastExposure->request;
    Timeline& t = *m_timeline;
    t.waitingForTrigger = false;
    t.preShutter = start;
    Duration preflash{};
    if (request.rbiPreflash)
        preflash = std::chrono::milliseconds(m_settings[ISensor::RBIPreflashDuration]) +
                   c_flushTime * m_settings[ISensor::RBIPreflashFlushCount];
    t.shutterOpen = t.preShutter + preflash;
    const Duration shutter = request.lightFrame ? m_shutterMove : Duration();
    t.exposing = t.shutterOpen + shutter;
    t.shutterClose = t.exposing + std::chrono::duration_cast<Duration>(std::chrono::duration<double>(request.duration));
    t.reading = t.shutterClose + shutter;
    t.ready = t.reading + readoutTime();
}

Duration VirtualSensor::readoutTime() const
{
    const double pixels = static_cast<double>(m_subframe.width) * m_subframe.height;
    const double rate = m_config.pixelRate > 0.0 ? m_config.pixelRate : 1e6;
    const auto time = std::chrono::duration_cast<Duration>(std::chrono::duration<double>(pixels / rate));
    return std::max<Duration>(time, c_minReadout);
}

kv::EStatusCode VirtualSensor::abortExposure(TimePoint)
{
    m_timeline.reset();
    return kv::Success;
}

void VirtualSensor::trigger(TimePoint now)
{
    if (m_timeline && m_timeline->waitingForTrigger)
        schedule(now);
}

kv::EStatusCode VirtualSensor::startDownload(TimePoint now)
{
    if (state(now) != ISensor::ReadyToDownload)
        return kv::ImageNotAvailable;
    m_timeline.reset();
    return kv::Success;
}

ISensor::Status VirtualSensor::state(TimePoint now) const
{
    if (!m_timeline)
        return ISensor::Idle;
    const Timeline& t = *m_timeline;
    if (t.waitingForTrigger)
        return ISensor::Trigger;
    if (now >= t.ready)
        return ISensor::ReadyToDownload;
    if (now >= t.reading)
        return ISensor::Reading;
    if (now >= t.shutterClose)
        return t.reading > t.shutterClose ? ISensor::DoShutterClose : ISensor::Reading;
    if (now >= t.exposing)
        return ISensor::Exposing;
    if (now >= t.shutterOpen)
        return ISensor::DoShutterOpen;
    return ISensor::PreShutter;
}

bool VirtualSensor::busy(TimePoint now) const
{
    const ISensor::Status s = state(now);
    return s != ISensor::Idle && s != ISensor::ReadyToDownload;
}

bool VirtualSensor::shutterOpen(TimePoint now) const
{
    if (!m_timeline || m_timeline->waitingForTrigger || !m_lastExposure || !m_lastExposure->request.lightFrame)
        return false;
    return now >= m_timeline->exposing && now < m_timeline->shutterClose;
}

} // namespace kvsim
