#include "RGBProtocol/animation/PreviewClock.hpp"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(PreviewClock, PausesWithoutJumpAndNeverRunsBackwards)
{
    PreviewClock clock(100);
    EXPECT_EQ(clock.elapsed(99), 0);
    EXPECT_EQ(clock.elapsed(102.5), 2.5);

    clock.setRunning(false, 103);
    EXPECT_FALSE(clock.running());
    for (const double now : {103.0, 105.0, 110.0, 200.0}) {
        EXPECT_EQ(clock.elapsed(now), 3) << now;
    }
    clock.setRunning(false, 107);
    EXPECT_EQ(clock.elapsed(120), 3);

    clock.setRunning(true, 110);
    EXPECT_TRUE(clock.running());
    EXPECT_EQ(clock.elapsed(110), 3);
    EXPECT_EQ(clock.elapsed(111), 4);
    EXPECT_EQ(clock.elapsed(104), 3);

    // Resuming an already running clock must not move its anchor.
    clock.setRunning(true, 115);
    EXPECT_EQ(clock.elapsed(111), 4);
}

} // namespace
} // namespace kavrin
