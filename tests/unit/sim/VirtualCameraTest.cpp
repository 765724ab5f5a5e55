#include "firmware/ManualClock.h"
#include "firmware/Presets.h"
#include "firmware/VirtualCamera.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "unit/protocol/HexBytes.h"
#include "unit/sim/SimFrames.h"

#include <gtest/gtest.h>

using namespace kvsim;

namespace {

struct VirtualCameraTest : ::testing::Test {
    ManualClockPtr clock = std::make_shared<ManualClock>();

    std::shared_ptr<VirtualCamera> make(const std::string& preset)
    {
        return VirtualCamera::fromPreset(preset, clock);
    }

    // The single datagram the camera answers with.
    static kv::IOBufferPtr answer(VirtualCamera& camera, const kv::IOBufferPtr& frame)
    {
        const Reply reply = camera.receive(frame);
        EXPECT_EQ(reply.datagrams.size(), 1u);
        return reply.datagrams.empty() ? nullptr : reply.datagrams.back();
    }
};

TEST_F(VirtualCameraTest, AnswersGetCameraInfoWithItsIdentity)
{
    auto camera = make("Brisa");
    const auto frame = simframes::request(kv::GetCameraInfo);
    ASSERT_EQ(hexbytes::toHex(frame), "a5 00 00 00 00 00 00 00 00");
    // Brisa, serial BR694M-24011542 (808386602), firmware 21, Wi-Fi firmware 7, one sensor.
    EXPECT_EQ(hexbytes::toHex(answer(*camera, frame)),
              "a5 00 01 00 00 00 0a 00 00 00 00 2a 00 2f 30 15 00 07 00 01");
    EXPECT_EQ(camera->serialText(), "BR694M-24011542");
}

} // namespace
