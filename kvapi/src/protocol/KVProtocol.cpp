#include "protocol/KVProtocol.h"

#include <cstdint>
#include <limits>

namespace kv {

namespace {

using TRevisionTable = std::map<ICamera::Model, std::map<int, int>>;

constexpr int c_fallbackRevision = 7;

void addRevisions(TRevisionTable& table, ICamera::Model model, int firstFirmware, int lastFirmware, int revision)
{
    std::map<int, int>& revisions = table[model];
    for (int firmware = firstFirmware; firmware <= lastFirmware; ++firmware)
        revisions[firmware] = revision;
}

TRevisionTable makeRevisionTable()
{
    TRevisionTable table;
    addRevisions(table, ICamera::Brisa, 0, 2, 0);
    addRevisions(table, ICamera::Brisa, 3, 8, 1);
    addRevisions(table, ICamera::Brisa, 9, 9, 2);
    addRevisions(table, ICamera::Brisa, 10, 11, 3);
    addRevisions(table, ICamera::Brisa, 12, 12, 4);
    addRevisions(table, ICamera::Brisa, 13, 16, 5);
    addRevisions(table, ICamera::Brisa, 17, 17, 6);
    addRevisions(table, ICamera::Brisa, 18, 20, 7);
    addRevisions(table, ICamera::Brisa, 21, 21, 8);
    // Firmware 2 is listed twice; the later row wins.
    addRevisions(table, ICamera::Vireo, 0, 2, 7);
    addRevisions(table, ICamera::Vireo, 2, 2, 8);
    addRevisions(table, ICamera::MTC, 0, 1, 8);
    addRevisions(table, ICamera::VireoE, 0, 0, 8);
    return table;
}

} // namespace

int getProtocolRevision(ICamera::Info info)
{
    static const TRevisionTable table = makeRevisionTable();
    const auto model = table.find(info.model);
    if (model == table.end())
        return c_fallbackRevision;
    // Firmware revisions beyond int's range cannot be in the table.
    if (info.firmwareRevision > static_cast<uint32_t>(std::numeric_limits<int>::max()))
        return c_fallbackRevision;
    const auto revision = model->second.find(static_cast<int>(info.firmwareRevision));
    if (revision == model->second.end())
        return c_fallbackRevision;
    return revision->second;
}

Protocol::Protocol(int revision)
{
    auto add = [this](Feature feature) { m_featureMap[feature] = true; };
    if (revision > 0)
        add(IRLEDToggleSensorSetting);
    if (revision > 1) {
        add(OnChipBinToggleSensorSetting);
        add(TriggerModeToggleSensorSetting);
        add(GetSubframeCompactBody);
    }
    if (revision > 2)
        add(ExtendedMessageBodySize);
    if (revision > 3)
        add(PerAxisPulseGuideStatus);
    if (revision > 4) {
        add(AutoFanModeToggleSensorSetting);
        add(ExtendedConfigData);
    }
    if (revision > 5)
        add(FilterWheelErrorCodes);
    if (revision > 6) {
        add(GetCameraCapabilitiesCommand);
        add(ShutterPolarityToggleSensorSetting);
        add(EnableStatusLEDToggleSensorSetting);
        add(AdaptiveOpticsErrorCodes);
    }
    if (revision > 7)
        add(ExtendedPacketId);
}

void Protocol::setFeatureSupported(Feature feature, bool supported)
{
    m_featureMap[feature] = supported;
}

bool Protocol::getFeatureSupported(Feature feature) const
{
    const auto entry = m_featureMap.find(feature);
    return entry != m_featureMap.end() && entry->second;
}

void Protocol::setFeatureMap(const TFeatureMap& featureMap)
{
    m_featureMap = featureMap;
}

const Protocol::TFeatureMap& Protocol::getFeatureMap() const
{
    return m_featureMap;
}

} // namespace kv
