#include "sensor/SensorIMX428SubframeAdjustment.h"
#include "sensor/SensorSubframeAdjustments.h"
#include "integration/SensorRig.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <typeinfo>
#include <vector>

namespace kv {
inline bool operator==(const TSubframe& a, const TSubframe& b)
{
    return a.top == b.top && a.left == b.left && a.width == b.width && a.height == b.height && a.binX == b.binX &&
           a.binY == b.binY;
}
inline std::ostream& operator<<(std::ostream& out, const TSubframe& s)
{
    return out << "{top " << s.top << ", left " << s.left << ", width " << s.width << ", height " << s.height
               << ", bin " << s.binX << "x" << s.binY << "}";
}
} // namespace kv

namespace {

using kv::TSubframe;
using sensortest::Rig;

TSubframe sub(int32_t top, int32_t left, int32_t width, int32_t height, int32_t binX, int32_t binY)
{
    TSubframe s;
    s.top = top;
    s.left = left;
    s.width = width;
    s.height = height;
    s.binX = binX;
    s.binY = binY;
    return s;
}

struct Case {
    const char* name;
    TSubframe in;
    TSubframe out;
};

// Runs the cases through the adjustment the sensor of this camera gets.
template <class Expected>
void runCases(Rig& rig, const std::vector<Case>& cases, bool onChipBinning = false)
{
    Rig::OwnSensor sensor(rig, 0);
    sensor->initialize();
    const kv::ISensorSubframeAdjustmentPtr adjustment = kv::ISensorSubframeAdjustment::getAdjustment(*sensor);
    ASSERT_NE(dynamic_cast<Expected*>(adjustment.get()), nullptr) << typeid(*adjustment).name();
    EXPECT_EQ(&adjustment->getSensor(), &*sensor);
    adjustment->setOnChipBinning(onChipBinning);
    EXPECT_EQ(adjustment->hasOnChipBinning(), onChipBinning);
    for (const Case& c : cases)
        EXPECT_EQ(adjustment->adjust(c.in), c.out) << c.name;
}

TEST(SubframeAdjustment, DefaultKeepsTheRequestWhateverItHolds)
{
    Rig rig("Brisa"); // ICX694
    runCases<kv::SensorDefaultSubframeAdjustment>(
        rig, {
                 {"ordinary", sub(10, 20, 100, 50, 2, 2), sub(10, 20, 100, 50, 2, 2)},
                 {"absurd", sub(-1, 5, 0, 70000, 0, 9), sub(-1, 5, 0, 70000, 0, 9)},
             });
}

TEST(SubframeAdjustment, Gsense4040ReadsWholeUnbinnedRows)
{
    Rig rig("BrisaCMOS"); // GSENSE4040, 4096 wide
    runCases<kv::SensorGSENSE4040SubframeAdjustment>(
        rig, {
                 {"binned window", sub(100, 200, 1000, 500, 2, 2), sub(200, 0, 4096, 1000, 1, 1)},
                 {"full frame", sub(0, 0, 4096, 4096, 1, 1), sub(0, 0, 4096, 4096, 1, 1)},
                 {"only rows binned", sub(10, 5, 100, 20, 1, 3), sub(30, 0, 4096, 60, 1, 1)},
                 {"wider than the sensor stays", sub(0, 0, 5000, 10, 1, 1), sub(0, 0, 5000, 10, 1, 1)},
                 // Compared unsigned, a negative width is not "narrower".
                 {"negative width", sub(0, 0, -1, 10, 1, 1), sub(0, 0, -1, 10, 1, 1)},
                 {"rows times binning saturate", sub(INT_MAX, 0, 10, INT_MAX, 4, 4),
                  sub(INT_MAX, 0, 4096, INT_MAX, 1, 1)},
             });
}

TEST(SubframeAdjustment, Gsense2020KeepsBinningTopAndHeightWithOnChipBinning)
{
    Rig rig("BrisaBC2020"); // GSENSE2020, 2048 wide
    runCases<kv::SensorGSENSE2020SubframeAdjustment>(
        rig, {{"on-chip binning", sub(100, 200, 1000, 500, 2, 2), sub(100, 0, 2048, 500, 2, 2)}}, true);
    runCases<kv::SensorGSENSE2020SubframeAdjustment>(
        rig, {{"without", sub(100, 200, 1000, 500, 2, 2), sub(200, 0, 2048, 1000, 1, 1)}}, false);
}

TEST(SubframeAdjustment, P1300SplitsBinningBetweenCameraAndHost)
{
    Rig rig("Vireo"); // P1300, bins 2 x 2 itself
    runCases<kv::SoftwareBinningSubframeAdjustment>(
        rig, {
                 {"4 x 4: 2 on the camera", sub(5, 10, 100, 50, 4, 4), sub(10, 20, 200, 100, 2, 2)},
                 {"3 x 3: all on the host", sub(5, 10, 100, 50, 3, 3), sub(15, 30, 300, 150, 1, 1)},
                 {"within the limit", sub(5, 10, 100, 50, 2, 1), sub(5, 10, 100, 50, 2, 1)},
                 // 8 / 2 = 4 is beyond the camera: it bins by its limit, the host by 4.
                 {"8 x 8", sub(5, 10, 100, 50, 8, 8), sub(20, 40, 400, 200, 2, 2)},
                 {"zero and negative binning", sub(5, 10, 100, 50, 0, -4), sub(5, 10, 100, 50, 0, -4)},
                 {"huge binning saturates", sub(0, 1, INT_MAX, 1, 3, 1), sub(0, 3, INT_MAX, 1, 1, 1)},
             });
}

TEST(SubframeAdjustment, SoftwareBinningOfASensorThatReportsNoHardwareBinning)
{
    for (const uint8_t limit : {uint8_t{1}, uint8_t{0}}) {
        auto config = kvsim::Presets::camera("Vireo");
        config.sensors[0].maxBinX = config.sensors[0].maxBinY = limit;
        Rig rig(config);
        runCases<kv::SoftwareBinningSubframeAdjustment>(
            rig, {{"4 x 4 all on the host", sub(5, 10, 100, 50, 4, 4), sub(20, 40, 400, 200, 1, 1)}});
    }
}

TEST(SubframeAdjustment, Imx428WindowsOnTheEightPixelGrid)
{
    Rig rig("MTC"); // IMX428, 3208 x 2200
    runCases<kv::SensorIMX428SubframeAdjustment>(
        rig, {
                 {"off the grid", sub(3, 5, 10, 10, 1, 1), sub(0, 0, 16, 16, 1, 1)},
                 {"on the grid", sub(0, 0, 16, 8, 1, 1), sub(0, 0, 16, 8, 1, 1)},
                 {"edge on the grid gains a block", sub(8, 8, 8, 5, 1, 1), sub(8, 8, 16, 8, 1, 1)},
                 {"3 x 3 read unbinned", sub(10, 10, 100, 100, 3, 3), sub(24, 24, 312, 312, 1, 1)},
                 {"4 x 4 read 2 x 2", sub(10, 10, 100, 100, 4, 4), sub(16, 16, 208, 208, 2, 2)},
                 {"binning 5 untouched", sub(3, 5, 10, 10, 5, 5), sub(3, 5, 10, 10, 5, 5)},
                 {"binX 0 untouched", sub(3, 5, 10, 10, 0, 1), sub(3, 5, 10, 10, 0, 1)},
                 // The window stops at the sensor's last row instead of reaching past it.
                 {"bottom edge", sub(11, 0, 8, 2189, 1, 1), sub(8, 0, 16, 2192, 1, 1)},
                 {"starts before the sensor", sub(0, -5, 10, 8, 1, 1), sub(0, 0, 16, 16, 1, 1)},
                 {"larger than the sensor", sub(0, 0, INT_MAX, INT_MAX, 1, 1), sub(0, 0, 3208, 2200, 1, 1)},
                 {"starts past the sensor", sub(0, 4000, 10, 8, 1, 1), sub(0, 4000, 0, 16, 1, 1)},
             });
}

TEST(SubframeAdjustment, Imx428Helpers)
{
    Rig rig("MTC");
    Rig::OwnSensor sensor(rig, 0);
    sensor->initialize();
    kv::SensorIMX428SubframeAdjustment adjustment(*sensor);
    EXPECT_TRUE(adjustment.pixelOnBoundary(0));
    EXPECT_TRUE(adjustment.pixelOnBoundary(16));
    EXPECT_FALSE(adjustment.pixelOnBoundary(15));
    EXPECT_TRUE(adjustment.subframeOnBoundary(sub(8, 0, 16, 8, 3, 3)));
    EXPECT_FALSE(adjustment.subframeOnBoundary(sub(8, 0, 16, 9, 1, 1)));
    // Binning 4 uses the camera's 2 x 2 and the grid: before reframing 20, 20, 200, 200.
    EXPECT_EQ(adjustment.adjust_software(sub(10, 10, 100, 100, 4, 4)), sub(16, 16, 208, 208, 2, 2));
    EXPECT_EQ(adjustment.adjust_hardware(sub(0, 0, 16, 16, 2, 2)), sub(0, 0, 16, 16, 2, 2));
}

} // namespace
