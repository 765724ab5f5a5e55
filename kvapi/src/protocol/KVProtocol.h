#pragma once

#include <kvapi/kvapi.h>

#include <map>

namespace kv {

// The protocol features of one protocol revision. Bodies whose layout depends on the
// camera generation build one for their protocol version and ask it.
class Protocol {
public:
    // Each feature is present from the revision noted on its right onwards.
    enum Feature : int {
        IRLEDToggleSensorSetting = 0,             // 1
        OnChipBinToggleSensorSetting = 1,         // 2
        TriggerModeToggleSensorSetting = 2,       // 2
        GetSubframeCompactBody = 3,               // 2
        ExtendedMessageBodySize = 4,              // 3
        PerAxisPulseGuideStatus = 5,              // 4
        AutoFanModeToggleSensorSetting = 6,       // 5
        ExtendedConfigData = 7,                   // 5
        FilterWheelErrorCodes = 8,                // 6
        GetCameraCapabilitiesCommand = 9,         // 7
        ShutterPolarityToggleSensorSetting = 10,  // 7
        EnableStatusLEDToggleSensorSetting = 11,  // 7
        AdaptiveOpticsErrorCodes = 12,            // 7
        ExtendedPacketId = 13                     // 8
    };

    using TFeatureMap = std::map<Feature, bool>;

    // Revisions above 8 have the features of 8; a negative revision has none.
    explicit Protocol(int revision);
    Protocol(const Protocol&) = default;
    Protocol& operator=(const Protocol&) = default;
    virtual ~Protocol() = default;

    void setFeatureSupported(Feature feature, bool supported);
    // False for a feature without an entry; never adds one.
    bool getFeatureSupported(Feature feature) const;
    void setFeatureMap(const TFeatureMap& featureMap);
    const TFeatureMap& getFeatureMap() const;

private:
    TFeatureMap m_featureMap;
};

// getProtocolRevision(ICamera::Info) and isIMXPlatform(ICamera::Model) are declared in
// the public header; the revision table behind the first lives in KVProtocol.cpp.

} // namespace kv
