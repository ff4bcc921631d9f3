// The room preview's decisions: where its camera stands, which rooms its list holds after room
// changes and door toggles, and how the drawn rooms are tilted.
#include <gtest/gtest.h>

#include <cmath>

#include "support/ViewerTestLevel.h"
#include "viewer/RoomPreview.h"

using namespace tessarin;
using namespace tessarin::viewer;

namespace {

// Room 0 of the polygon level with portals to a copy of itself (room 1, listed twice) and to room 0.
level::TRLevel threeRooms() {
    auto l = viewertest::polygonLevel();
    l.Rooms.push_back(l.Rooms[0]);
    l.Rooms.push_back(l.Rooms[0]);
    l.Rooms[0].Portals.resize(3);
    l.Rooms[0].Portals[0].AdjoiningRoom = 1;
    l.Rooms[0].Portals[1].AdjoiningRoom = 1;
    l.Rooms[0].Portals[2].AdjoiningRoom = 0;
    return l;
}

int polysOfRoom(const RoomPolyList& list, int room) {
    int n = 0;
    for (const RoomPoly& p : list.RoomPolys) n += p.Room == room;
    return n;
}

}  // namespace

TEST(RoomPreview, CameraOrbitsTheCentreAtTheHeightOfItsFloor) {
    auto level = viewertest::polygonLevel();
    level.Rooms[0].YBottom = 512;
    level.Rooms[0].sector(1, 2).Floor = -4;  // four steps of 256 above the level's zero
    level.Rooms[0].sector(3, 3).Floor = -127;
    PreviewControls preview;
    preview.PreviewCenterX = 1;
    preview.PreviewCenterZ = 2;
    preview.PreviewYaw = 3.14159265 / 2;
    Camera camera;
    UpdatePreviewCamera(preview, level, 0, camera);
    // Centre (2 + 1, 3 + 2) at the floor's height 1.0; the eye 3 units away along -x and 3 above.
    EXPECT_TRUE(camera.CamLookAt);
    EXPECT_NEAR(camera.CamTargetX, 3.0, 1e-6);
    EXPECT_NEAR(camera.CamTargetY, 1.0, 1e-6);
    EXPECT_NEAR(camera.CamTargetZ, 5.0, 1e-6);
    EXPECT_NEAR(camera.CamX, 0.0, 1e-6);
    EXPECT_NEAR(camera.CamY, 4.0, 1e-6);
    EXPECT_NEAR(camera.CamZ, 5.0, 1e-6);

    // A wall sector stays at the room's bottom; a centre left outside the room (chosen in a bigger
    // room before) is kept to the room's edge, here the same wall sector.
    preview.PreviewCenterX = 3;
    preview.PreviewCenterZ = 3;
    EXPECT_NEAR(PreviewCentre(preview, level, 0).y, -0.5, 1e-6);
    preview.PreviewCenterX = 40;
    preview.PreviewCenterZ = -7;
    const Vec3 kept = PreviewCentre(preview, level, 0);
    EXPECT_NEAR(kept.x, 2.0 + 3, 1e-6);
    EXPECT_NEAR(kept.z, 3.0 + 0, 1e-6);
    preview.PreviewCenterZ = 3;
    level.Rooms[0].YBottom = INT32_MIN;  // a damaged file's bottom, negated without overflow
    EXPECT_NEAR(PreviewCentre(preview, level, 0).y, 2097152.0, 1e-6);
    level.Rooms[0].YBottom = 512;

    // Without rooms the camera keeps its start-up place.
    Camera start;
    start.CamY = 1;
    UpdatePreviewCamera(preview, level::TRLevel{}, 0, start);
    EXPECT_EQ(start.CamY, 1);
    EXPECT_EQ(start.CamX, 0);
}

TEST(RoomPreview, DoorTogglesRebuildFromEmptyWithEachNeighbourOnce) {
    const auto level = threeRooms();
    const SelectedSector selected{1, 2};
    RoomPolyList list;
    BuildPreviewList(list, level, 0, true, selected);
    EXPECT_EQ(polysOfRoom(list, 0), 2);
    EXPECT_EQ(polysOfRoom(list, 1), 2);  // two portals to room 1: built once
    EXPECT_EQ(polysOfRoom(list, 2), 0);
    // The selected sector is marked in the current room only.
    EXPECT_TRUE(list.RoomPolys[0].Marked);
    EXPECT_FALSE(list.RoomPolys[2].Marked);

    // Off again shows the current room alone; toggling never grows the list.
    BuildPreviewList(list, level, 0, false, selected);
    EXPECT_EQ(list.NumRoomPolys(), 2);
    for (int i = 0; i < 5; ++i) BuildPreviewList(list, level, 0, true, selected);
    EXPECT_EQ(list.NumRoomPolys(), 4);

    // Another room: its own polygons only; a room outside the level leaves the list empty.
    BuildPreviewList(list, level, 2, true, selected);
    EXPECT_EQ(polysOfRoom(list, 2), 2);
    EXPECT_EQ(list.NumRoomPolys(), 2);
    BuildPreviewList(list, level, 7, true, selected);
    EXPECT_EQ(list.NumRoomPolys(), 0);
}

TEST(RoomPreview, PitchTiltsTheRoomsAboutTheOrbitCentreFacingTheCamera) {
    const auto level = viewertest::polygonLevel();
    PreviewControls preview;
    preview.PreviewCenterX = 1;
    preview.PreviewCenterZ = 2;
    const Vec3 c = PreviewCentre(preview, level, 0);
    for (double yaw : {0.0, 1.0, 4.0}) {
        preview.PreviewYaw = yaw;
        preview.PreviewPitch = 0.5;
        const Mat4 world = PreviewWorldMatrix(preview, level, 0);
        // The centre stays where the camera looks.
        const Vec3 fixed = world.transformPoint(c);
        EXPECT_NEAR(fixed.x, c.x, 1e-5);
        EXPECT_NEAR(fixed.y, c.y, 1e-5);
        EXPECT_NEAR(fixed.z, c.z, 1e-5);
        // A point above the centre leans straight away from the camera, never sideways.
        const Vec3 top = world.transformPoint({c.x, c.y + 1, c.z});
        const double forwardX = std::sin(yaw), forwardZ = std::cos(yaw);
        const double dx = top.x - c.x, dz = top.z - c.z;
        EXPECT_NEAR(dx * forwardZ - dz * forwardX, 0.0, 1e-5);
        EXPECT_GT(dx * forwardX + dz * forwardZ, 0.4);
    }
    // Yaw alone turns nothing: the camera does the orbiting.
    preview.PreviewPitch = 0;
    preview.PreviewYaw = 2.0;
    const Vec3 corner = PreviewWorldMatrix(preview, level, 0).transformPoint({2, 0, 3});
    EXPECT_NEAR(corner.x, 2.0, 1e-5);
    EXPECT_NEAR(corner.z, 3.0, 1e-5);
}
