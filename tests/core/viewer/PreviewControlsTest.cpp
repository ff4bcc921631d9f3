// The preview keys: distance clamped to 1..20, angles wrapped into 0..6.28.
#include <gtest/gtest.h>

#include "viewer/PreviewControls.h"

using namespace tessarin::viewer;

TEST(PreviewControls, DistanceStopsAtOneAndTwenty) {
    PreviewControls p;
    for (int i = 0; i < 30; ++i) PreviewKeyDown(p, kKeyPageUp);
    EXPECT_DOUBLE_EQ(p.PreviewDistance, 1);
    for (int i = 0; i < 200; ++i) PreviewKeyDown(p, kKeyPageDown);
    EXPECT_DOUBLE_EQ(p.PreviewDistance, 20);
}

TEST(PreviewControls, YawWrapsPastAFullTurnBothWays) {
    PreviewControls p;
    for (int i = 0; i < 63; ++i) PreviewKeyDown(p, kKeyLeft);
    EXPECT_NEAR(p.PreviewYaw, 0.02, 1e-9);
    PreviewControls q;
    PreviewKeyDown(q, kKeyRight);
    EXPECT_NEAR(q.PreviewYaw, 6.18, 1e-9);
}

TEST(PreviewControls, PitchFollowsUpAndDownAndOtherKeysDoNothing) {
    PreviewControls p;
    PreviewKeyDown(p, kKeyDown);
    EXPECT_NEAR(p.PreviewPitch, 0.1, 1e-12);
    PreviewKeyDown(p, kKeyUp);
    PreviewKeyDown(p, kKeyUp);
    EXPECT_NEAR(p.PreviewPitch, 6.18, 1e-9);
    EXPECT_FALSE(PreviewKeyDown(p, 'A'));
    EXPECT_DOUBLE_EQ(p.PreviewDistance, 3);
}
