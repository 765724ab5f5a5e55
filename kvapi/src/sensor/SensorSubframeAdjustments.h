#pragma once

#include <kvapi/kvapi.h>

#include <memory>

namespace kv {

class Sensor;
class ISensorSubframeAdjustment;
using ISensorSubframeAdjustmentPtr = std::shared_ptr<ISensorSubframeAdjustment>;

// Turns the subframe an application asks for (the user subframe, in binned
// pixels) into one the camera can read out (the camera subframe). What the
// camera reads beyond the request is cut away from the image afterwards.
class ISensorSubframeAdjustment {
public:
    explicit ISensorSubframeAdjustment(Sensor& sensor);
    virtual ~ISensorSubframeAdjustment();
    ISensorSubframeAdjustment(const ISensorSubframeAdjustment&) = delete;
    ISensorSubframeAdjustment& operator=(const ISensorSubframeAdjustment&) = delete;

    // Reads only the sensor's description and the on-chip binning flag.
    virtual TSubframe adjust(TSubframe subframe) = 0;

    // The adjustment for the sensor's model.
    static ISensorSubframeAdjustmentPtr getAdjustment(Sensor& sensor);

    Sensor& getSensor() const { return m_ctx; }
    bool hasOnChipBinning() const { return m_onChipBinning; }
    void setOnChipBinning(bool onChip) { m_onChipBinning = onChip; }

protected:
    Sensor& m_ctx; // not owned: the sensor outlives its adjustments
    bool m_onChipBinning = false;
};

// Every sensor without rules of its own: the camera reads what is asked.
class SensorDefaultSubframeAdjustment : public ISensorSubframeAdjustment {
public:
    explicit SensorDefaultSubframeAdjustment(Sensor& sensor);
    TSubframe adjust(TSubframe subframe) override;
};

// GSENSE4040: the camera reads whole rows and never bins; binned rows are
// asked for as the unbinned rows they cover.
class SensorGSENSE4040SubframeAdjustment : public ISensorSubframeAdjustment {
public:
    explicit SensorGSENSE4040SubframeAdjustment(Sensor& sensor);
    TSubframe adjust(TSubframe subframe) override;
};

// GSENSE2020: whole rows as the 4040; with on-chip binning the camera keeps
// the binning, the top and the height.
class SensorGSENSE2020SubframeAdjustment : public ISensorSubframeAdjustment {
public:
    explicit SensorGSENSE2020SubframeAdjustment(Sensor& sensor);
    TSubframe adjust(TSubframe subframe) override;
};

// P1300: binning beyond the hardware limit is split between the camera and
// the host, or done wholly on the host.
class SoftwareBinningSubframeAdjustment : public ISensorSubframeAdjustment {
public:
    explicit SoftwareBinningSubframeAdjustment(Sensor& sensor);
    TSubframe adjust(TSubframe subframe) override;
};

namespace SubframeMath {
// a × b (and a × b / c) without overflow, saturated to the range of int32_t.
int32_t scaled(int32_t a, int32_t b);
int32_t scaled(int32_t a, int32_t b, int32_t divisor);
} // namespace SubframeMath

} // namespace kv
