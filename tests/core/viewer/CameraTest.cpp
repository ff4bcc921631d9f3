// The camera: its keys and heading wrap, the view and projection it makes, the room it stands in,
// and the frame-rate figure.
#include <cmath>
#include <gtest/gtest.h>

#include "viewer/Camera.h"

using namespace tessarin;
using namespace tessarin::viewer;

TEST(Camera, KeysMoveAndTurnWithTheHeadingWrap) {
    Camera c;
    EXPECT_TRUE(ViewerKeyDown(c, kKeyRight));
    EXPECT_NEAR(c.CamAngle, 6.183184f, 1e-6f);

    Camera left;
    int wraps = 0;
    for (int i = 0; i < 63; ++i) {
        const float before = left.CamAngle;
        ViewerKeyDown(left, kKeyLeft);
        if (left.CamAngle < before) ++wraps;
    }
    EXPECT_EQ(wraps, 1);
    EXPECT_NEAR(left.CamAngle, 0.0168f, 1e-4f);

    Camera walk;
    walk.CamAngle = 1.2f;
    ViewerKeyDown(walk, kKeyUp);
    ViewerKeyDown(walk, kKeyDown);
    EXPECT_NEAR(std::hypot(walk.CamX, walk.CamZ), 0.09, 1e-9);
    EXPECT_NEAR(walk.CamZ / walk.CamX, std::tan(1.2), 1e-6);
    ViewerKeyDown(walk, kKeyA);
    ViewerKeyDown(walk, kKeyA);
    ViewerKeyDown(walk, kKeyZ);
    EXPECT_NEAR(walk.CamY, 0.2, 1e-12);
    EXPECT_FALSE(ViewerKeyDown(walk, 'Q'));
}

TEST(Camera, ViewLooksAlongTheHeadingOrAtTheTargetWithLeftOnTheLeft) {
    Camera c;
    c.CamX = 5;
    c.CamY = 1;
    c.CamZ = 7;
    c.CamAngle = 0;  // looking along +x
    const Mat4 view = SetView(c);
    const Vec3 ahead = view.transformPoint({8, 1, 7});
    EXPECT_NEAR(ahead.x, 0, 1e-5);
    EXPECT_NEAR(ahead.z, 3, 1e-5);
    // A left turn swings the heading towards +z, so a point on +z lies on the left of the picture.
    EXPECT_LT(view.transformPoint({5, 1, 9}).x, 0);
    EXPECT_GT(view.transformPoint({5, 3, 7}).y, 0);

    c.CamLookAt = true;
    c.CamTargetX = 5;
    c.CamTargetY = 1;
    c.CamTargetZ = 3;
    const Vec3 target = SetView(c).transformPoint({5, 1, 3});
    EXPECT_NEAR(target.x, 0, 1e-5);
    EXPECT_NEAR(target.y, 0, 1e-5);
    EXPECT_NEAR(target.z, 4, 1e-5);
}

TEST(Camera, ProjectionSpansAQuarterTurnFromNearToFar) {
    const Mat4 p = ProjectionMatrix(1.0f);
    EXPECT_NEAR(p.transformPoint({0, 0, 0.1f}).z, -1, 1e-4);
    EXPECT_NEAR(p.transformPoint({0, 0, 100}).z, 1, 1e-4);
    EXPECT_NEAR(p.transformPoint({0, 10, 10}).y, 1, 1e-5);  // 45 degrees up is the top edge
    EXPECT_NEAR(ProjectionMatrix(2.0f).transformPoint({20, 0, 10}).x, 1, 1e-5);

    const Frustum f(p);
    Box front;
    front.add({-1, -1, 5});
    front.add({1, 1, 6});
    EXPECT_TRUE(f.intersects(front));
    Box behind;
    behind.add({-1, -1, -6});
    behind.add({1, 1, -5});
    EXPECT_FALSE(f.intersects(behind));
    Box beyond;
    beyond.add({-1, -1, 101});
    beyond.add({1, 1, 102});
    EXPECT_FALSE(f.intersects(beyond));
    // The far plane is flat: at the edge of the view a box 99 ahead is drawn though it lies about
    // 140 from the eye.
    Box edge;
    edge.add({97, 0, 98});
    edge.add({98, 1, 99});
    EXPECT_TRUE(f.intersects(edge));
    EXPECT_FALSE(f.intersects(Box{}));
}

TEST(Camera, TheCameraRoomIsTheFirstWhoseInsideHoldsItBoundsIncluded) {
    level::TRLevel level;
    level::TRRoom a;
    a.X = 2048;
    a.Z = 1024;
    a.NumXSectors = 4;
    a.NumZSectors = 3;
    a.YTop = -2048;
    a.YBottom = 512;
    level.Rooms = {a, a};
    level.Rooms[0].X = 50 * 1024;  // elsewhere
    // Inside room 1 is x in [3, 5], z in [2, 3], y in [-0.5, 2].
    EXPECT_EQ(FindCameraRoom(level, 3, 0, 2), 1);
    EXPECT_EQ(FindCameraRoom(level, 5, -0.5, 3), 1);
    EXPECT_EQ(FindCameraRoom(level, 5, 2, 3), 1);
    EXPECT_EQ(FindCameraRoom(level, 2.99, 0, 2.5), -1);  // the wall ring does not count
    EXPECT_EQ(FindCameraRoom(level, 4, 2.01, 2.5), -1);
    EXPECT_EQ(FindCameraRoom(level, 4, 0, 3.01), -1);
    level.Rooms[0] = a;  // two rooms in the same place: the lower index wins
    EXPECT_EQ(FindCameraRoom(level, 4, 0, 2.5), 0);
    EXPECT_EQ(FindCameraRoom(level::TRLevel{}, 0, 0, 0), -1);
}

TEST(Camera, TheViewerStartsAtTheFirstPlayerItem) {
    level::TRLevel level;
    level::TRItem item;
    item.ObjectID = 5;
    item.X = 1024;
    level.Items.push_back(item);
    Camera c;
    EXPECT_FALSE(PlaceCameraAtPlayer(c, level));
    EXPECT_EQ(c.CamX, 0);
    item.ObjectID = 0;
    item.X = 2048;
    item.Y = -512;
    item.Z = 3072;
    level.Items.push_back(item);
    item.X = 9999;
    level.Items.push_back(item);
    EXPECT_TRUE(PlaceCameraAtPlayer(c, level));
    EXPECT_DOUBLE_EQ(c.CamX, 2);
    EXPECT_DOUBLE_EQ(c.CamY, 1.25);
    EXPECT_DOUBLE_EQ(c.CamZ, 3);
    level.Items[1].Y = INT32_MIN;  // a damaged file's height, negated without overflow
    EXPECT_TRUE(PlaceCameraAtPlayer(c, level));
    EXPECT_DOUBLE_EQ(c.CamY, 2097152.75);
}

TEST(Camera, FrameRateIsTakenOnlyOverFramesLongerThanFiveMilliseconds) {
    EXPECT_DOUBLE_EQ(FrameRateFor(17), 58.8);
    EXPECT_DOUBLE_EQ(FrameRateFor(6), 166.6);
    FrameRateMeter meter;
    EXPECT_TRUE(meter.FrameTick(1000));
    EXPECT_TRUE(meter.FrameTick(1017));
    EXPECT_DOUBLE_EQ(meter.rate(), 58.8);
    EXPECT_FALSE(meter.FrameTick(1022));  // 5 ms: the rate stays
    EXPECT_DOUBLE_EQ(meter.rate(), 58.8);
    EXPECT_TRUE(meter.FrameTick(1040));  // measured from 1017
    EXPECT_DOUBLE_EQ(meter.rate(), 43.4);
    EXPECT_EQ(FpsText(59.5), "Fps: 59.5");
    EXPECT_EQ(RoomText(3), "Room: 3");
    EXPECT_EQ(RoomText(-1), "Not in any room");
}
