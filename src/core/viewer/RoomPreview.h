#pragma once
// RoomPreview: what the main window's room preview decides - where its camera stands, which rooms
// its polygon list holds, and how the drawn rooms are turned. The app only draws the result.
#include "level/TRLevel.h"
#include "viewer/Camera.h"
#include "viewer/PreviewControls.h"
#include "viewer/RoomPolys.h"
#include "viewer/ViewMath.h"

namespace tessarin::viewer {

// The orbit centre in level-wide viewer units, at the height of the floor under it: the centre
// sector's floor when it is a floor, the room's bottom for a wall or a centre outside the room.
Vec3 PreviewCentre(const PreviewControls& preview, const level::TRLevel& level, int room);

// UpdatePreviewCamera: the camera `PreviewDistance` away from the centre, horizontally at
// `PreviewYaw` and as high above it, looking at it. A level without rooms leaves the camera alone.
void UpdatePreviewCamera(const PreviewControls& preview, const level::TRLevel& level, int room, Camera& camera);

// The preview's list rebuilt from empty: room `room`, then (with `drawDoors`) each portal's room in
// portal order, every room at most once. Rectangles on `selected` of room `room` come out marked.
void BuildPreviewList(RoomPolyList& list, const level::TRLevel& level, int room, bool drawDoors,
                      const SelectedSector& selected);

// The world transform of the drawn rooms and statics: tilted by `PreviewPitch` about the horizontal
// axis through the orbit centre that faces the camera (its right-hand axis). The yaw is the
// camera's orbit alone: turning the rooms by it as well would cancel the orbit.
Mat4 PreviewWorldMatrix(const PreviewControls& preview, const level::TRLevel& level, int room);

}  // namespace tessarin::viewer
