#pragma once
// Camera: the one camera of the 3D views (viewer window and room preview), its key moves and the
// view and projection matrices made from it. Units are viewer units (1 unit = 1024 level units, y up).
#include <cstdint>
#include <string>

#include "level/TRLevel.h"
#include "viewer/Keys.h"
#include "viewer/ViewMath.h"

namespace tessarin::viewer {

// The heading wraps at this value, not at 2 pi: turning keeps the heading in 0 .. 6.283184.
inline constexpr float kAngleWrap = 6.283184f;

// Projection: a quarter turn of view, nothing nearer than 0.1 or farther than 100 units.
inline constexpr float kFieldOfView = 3.141592653f / 2;
inline constexpr float kNearPlane = 0.1f;
inline constexpr float kFarPlane = 100.0f;

struct Camera {
    double CamX = 0, CamY = 0, CamZ = 0;
    float CamAngle = 0;      // heading of the free camera, radians
    bool CamLookAt = false;  // true: look at the target; false: look along CamAngle
    double CamTargetX = 0, CamTargetY = 0, CamTargetZ = 0;

    // The viewer's keys: Up, Down, Left, Right, A, Z.
    void MoveForward();  // a step of 0.18 along the heading
    void MoveBack();     // a step of 0.09 against it, half the forward step
    void TurnLeft();     // heading + 0.1, wrapped
    void TurnRight();    // heading - 0.1, wrapped
    void MoveUp();       // y + 0.2
    void MoveDown();     // y - 0.2
};

// One key-down of the viewer's 3D view; false for a key it does not use.
bool ViewerKeyDown(Camera& camera, int keyCode);

// The view matrix: from the camera to its target, or one unit along its heading; up is +y.
Mat4 SetView(const Camera& camera);
// The projection for a drawing area of width / height `aspect` (the field of view is vertical).
Mat4 ProjectionMatrix(float aspect);

// Whether the room's inside (the wall ring left out, bounds inclusive) holds the point (x, y, z)
// in viewer units.
bool RoomHoldsPoint(const level::TRRoom& room, double x, double y, double z);
// The first room, in index order, that holds the point; -1 when none does.
int FindCameraRoom(const level::TRLevel& level, double x, double y, double z);

// Where the viewer's camera starts: at the first item of object ID 0, 0.75 units above it. False
// (camera untouched) when the level has no such item.
bool PlaceCameraAtPlayer(Camera& camera, const level::TRLevel& level);

// Frame rate from two tick counts (ms): measured only when more than 5 ms passed, truncated to one
// decimal.
class FrameRateMeter {
public:
    // Call at the start of every frame with the tick count; returns true when the rate was measured.
    bool FrameTick(std::uint32_t tick);
    double rate() const { return m_rate; }

private:
    std::uint32_t m_lastFrameTick = 0;
    double m_rate = 0;
};

// Int(10 * 1000 / elapsed) / 10 for `elapsed` > 0 milliseconds.
double FrameRateFor(std::uint32_t elapsedMs);

// The overlay texts: "Fps:" + " 59.5"; "Room:" + " 3" or "Not in any room".
std::string FpsText(double rate);
std::string RoomText(int room);

}  // namespace tessarin::viewer
