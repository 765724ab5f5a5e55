#include "firmware/VirtualCamera.h"

#include "firmware/ConfigFile.h"
#include "firmware/Presets.h"
#include "firmware/SteadyClock.h"

#include <algorithm>
#include <cstring>

namespace kvsim {

namespace {

ClockPtr orSteady(ClockPtr clock)
{
    return clock ? clock : std::make_shared<SteadyClock>();
}

// Bytes that are no frame: they do not begin with the start byte.
kv::IOBufferPtr foreignDatagram(size_t index)
{
    static const char c_text[] = "kvsim: not a frame";
    auto datagram = kv::IOBuffer::newBuffer(c_text, sizeof(c_text) - 1);
    datagram->data[sizeof(c_text) - 2] = static_cast<char>('0' + index % 10);
    return datagram;
}

// The answer cut short: its header promises more body than follows.
kv::IOBufferPtr truncatedDatagram(const kv::IOBufferPtr& answer)
{
    const size_t keep = answer->length > 10 ? 10 + (answer->length - 10) / 2 : answer->length / 2;
    return answer->extract(0, std::min(keep, answer->length - 1));
}

} // namespace

VirtualCamera::VirtualCamera(const CameraConfig& config, ClockPtr clock)
    : m_config(config), m_clock(orSteady(std::move(clock))), m_faults(config.faults),
      m_firmware(config, m_clock->now())
{
}

VirtualCamera::~VirtualCamera() = default;

std::shared_ptr<VirtualCamera> VirtualCamera::fromPreset(const std::string& preset, ClockPtr clock)
{
    return std::make_shared<VirtualCamera>(Presets::camera(preset), std::move(clock));
}

std::shared_ptr<VirtualCamera> VirtualCamera::fromFile(const std::string& path, ClockPtr clock)
{
    return std::make_shared<VirtualCamera>(ConfigFile::load(path), std::move(clock));
}

Reply VirtualCamera::receive(const char* data, size_t length, const std::string& source)
{
    return receive(kv::IOBuffer::newBuffer(data, data ? length : 0), source);
}

Reply VirtualCamera::receive(const kv::IOBufferPtr& datagram, const std::string& source)
{
    const TimePoint now = m_clock->now();
    const kv::IOBufferPtr bytes = datagram ? datagram : kv::IOBuffer::newBuffer(0);
    JournalEntry entry{now, bytes, source};
    const uint8_t bodyType = entry.bodyType();
    m_journal.record(std::move(entry));

    const Faults::Decision decision = m_faults.decide(bodyType);
    Reply reply;
    if (decision.silent)
        return reply;
    kv::IOBufferPtr answer;
    if (decision.refuse) {
        answer = Firmware::refusal(bytes, decision.status);
    } else {
        std::lock_guard<std::mutex> lock(m_mutex);
        answer = m_firmware.answer(bytes, now);
    }
    if (!answer || decision.dropAnswer)
        return reply;
    for (uint32_t i = 0; i < decision.foreignBefore; ++i)
        reply.datagrams.push_back(foreignDatagram(i));
    for (uint32_t i = 0; i < decision.truncatedBefore; ++i)
        reply.datagrams.push_back(truncatedDatagram(answer));
    reply.datagrams.push_back(answer);
    reply.delay = decision.delay;
    return reply;
}

kv::ICamera::Info VirtualCamera::info() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmware.info();
}

std::string VirtualCamera::serialText() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmware.serialText();
}

kv::ICamera::Status VirtualCamera::status() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmware.status(m_clock->now());
}

CoolerState VirtualCamera::cooler() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const TimePoint now = m_clock->now();
    Cooler& cooler = m_firmware.cooler();
    CoolerState state;
    state.enabled = cooler.enabled();
    state.setpoint = cooler.setpoint();
    state.sensorTemperature = cooler.sensorTemperature(now);
    state.heatSinkTemperature = cooler.heatSinkTemperature(now);
    state.power = cooler.power(now);
    state.fanSpeed = m_firmware.fanSpeed();
    return state;
}

FilterWheelState VirtualCamera::filterWheel() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const FilterWheel& wheel = m_firmware.filterWheel();
    FilterWheelState state;
    state.present = wheel.present();
    state.hardwareId = wheel.hardwareId();
    state.slots = wheel.slots();
    state.position = wheel.position();
    state.status = wheel.status(m_clock->now());
    return state;
}

AdaptiveOpticsState VirtualCamera::adaptiveOptics() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const AdaptiveOptics& ao = m_firmware.adaptiveOptics();
    AdaptiveOpticsState state;
    state.model = ao.model();
    state.tip = ao.tip();
    state.tilt = ao.tilt();
    state.status = ao.status(m_clock->now());
    return state;
}

std::optional<SensorState> VirtualCamera::sensor(size_t id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const VirtualSensor* sensor = m_firmware.sensor(id);
    if (!sensor)
        return std::nullopt;
    SensorState state;
    state.state = sensor->state(m_clock->now());
    state.settings = sensor->settings();
    state.subframe = sensor->subframe();
    sensor->getCalibration(state.calibration);
    state.exposureCount = sensor->exposureCount();
    state.lastExposure = sensor->lastExposure();
    return state;
}

WifiConfig VirtualCamera::wifi() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmware.wifi();
}

std::map<uint8_t, int16_t> VirtualCamera::options() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmware.options();
}

std::optional<NetworkAssignment> VirtualCamera::networkAssignment() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmware.networkAssignment();
}

void VirtualCamera::trigger(size_t sensorId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (VirtualSensor* sensor = m_firmware.sensor(sensorId))
        sensor->trigger(m_clock->now());
}

void VirtualCamera::inspect(const std::function<void(Firmware&, TimePoint)>& visit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    visit(m_firmware, m_clock->now());
}

} // namespace kvsim
