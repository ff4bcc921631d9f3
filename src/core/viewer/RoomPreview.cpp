#include "viewer/RoomPreview.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace tessarin::viewer {

namespace {

constexpr std::int8_t kWallFloor = -127;

const level::TRRoom* roomAt(const level::TRLevel& level, int room) {
    if (room < 0 || static_cast<std::size_t>(room) >= level.Rooms.size()) return nullptr;
    return &level.Rooms[static_cast<std::size_t>(room)];
}

}  // namespace

Vec3 PreviewCentre(const PreviewControls& preview, const level::TRLevel& level, int room) {
    const level::TRRoom* r = roomAt(level, room);
    if (!r) return {};
    // A centre chosen in a bigger room stays set when a smaller one is chosen; orbiting a point
    // outside the room showed it as a speck in the distance, or nothing. It is kept to the room's edge.
    const int x = std::clamp<int>(preview.PreviewCenterX, 0, std::max<int>(0, r->NumXSectors - 1));
    const int z = std::clamp<int>(preview.PreviewCenterZ, 0, std::max<int>(0, r->NumZSectors - 1));
    // The room's bottom unless the sector under the centre has a floor of its own (one floor step
    // of 256 level units is a quarter unit; the level's y points down).
    double height = -(r->YBottom / 1024.0);
    if (r->hasSector(x, z) &&
        static_cast<std::size_t>(r->NumXSectors) * static_cast<std::size_t>(r->NumZSectors) <= r->Sectors.size()) {
        const std::int8_t floor = r->sector(x, z).Floor;
        if (floor != kWallFloor) height = -floor / 4.0;
    }
    return {static_cast<float>(r->X / 1024.0 + x), static_cast<float>(height), static_cast<float>(r->Z / 1024.0 + z)};
}

void UpdatePreviewCamera(const PreviewControls& preview, const level::TRLevel& level, int room, Camera& camera) {
    if (!roomAt(level, room)) return;
    const Vec3 c = PreviewCentre(preview, level, room);
    camera.CamX = c.x - preview.PreviewDistance * std::sin(preview.PreviewYaw);
    camera.CamZ = c.z - preview.PreviewDistance * std::cos(preview.PreviewYaw);
    camera.CamY = c.y + preview.PreviewDistance;
    camera.CamTargetX = c.x;
    camera.CamTargetY = c.y;
    camera.CamTargetZ = c.z;
    camera.CamLookAt = true;
}

void BuildPreviewList(RoomPolyList& list, const level::TRLevel& level, int room, bool drawDoors,
                      const SelectedSector& selected) {
    list.clear();
    const level::TRRoom* r = roomAt(level, room);
    if (!r) return;
    BuildRoom(list, level, room, &selected);
    if (!drawDoors) return;
    std::vector<bool> built(level.Rooms.size(), false);
    built[static_cast<std::size_t>(room)] = true;
    for (const level::TRPortal& portal : r->Portals) {
        const int next = portal.AdjoiningRoom;
        if (!roomAt(level, next) || built[static_cast<std::size_t>(next)]) continue;
        built[static_cast<std::size_t>(next)] = true;
        // The selection is a sector of the current room only, not the same place in its neighbours.
        BuildRoom(list, level, next, nullptr);
    }
}

Mat4 PreviewWorldMatrix(const PreviewControls& preview, const level::TRLevel& level, int room) {
    const Vec3 c = PreviewCentre(preview, level, room);
    const auto yaw = static_cast<float>(preview.PreviewYaw);
    // rotationY(yaw) takes +x to the camera's right, so the conjugate tilts about that axis.
    const Mat4 tilt = Mat4::rotationY(yaw) * Mat4::rotationX(static_cast<float>(preview.PreviewPitch)) *
                      Mat4::rotationY(-yaw);
    return Mat4::translation(c.x, c.y, c.z) * tilt * Mat4::translation(-c.x, -c.y, -c.z);
}

}  // namespace tessarin::viewer
