#include "viewer/Camera.h"

#include <cmath>

#include "util/NumberText.h"

namespace tessarin::viewer {

namespace {

constexpr double kMoveStep = 0.09;
constexpr double kTurnStep = 0.1;
constexpr double kClimbStep = 0.2;

// The heading is kept in single precision; sums are taken in double first, as the arithmetic
// of the original program did, and only then stored.
float wrapHeading(double angle) {
    if (angle > static_cast<double>(kAngleWrap)) angle -= static_cast<double>(kAngleWrap);
    if (angle < 0) angle += static_cast<double>(kAngleWrap);
    return static_cast<float>(angle);
}

}  // namespace

void Camera::MoveForward() {
    CamX += 2 * std::cos(static_cast<double>(CamAngle)) * kMoveStep;
    CamZ += 2 * std::sin(static_cast<double>(CamAngle)) * kMoveStep;
}

void Camera::MoveBack() {
    CamX -= std::cos(static_cast<double>(CamAngle)) * kMoveStep;
    CamZ -= std::sin(static_cast<double>(CamAngle)) * kMoveStep;
}

void Camera::TurnLeft() { CamAngle = wrapHeading(static_cast<float>(static_cast<double>(CamAngle) + kTurnStep)); }

void Camera::TurnRight() { CamAngle = wrapHeading(static_cast<float>(static_cast<double>(CamAngle) - kTurnStep)); }

void Camera::MoveUp() { CamY += kClimbStep; }

void Camera::MoveDown() { CamY -= kClimbStep; }

bool ViewerKeyDown(Camera& camera, int keyCode) {
    switch (keyCode) {
    case kKeyUp: camera.MoveForward(); return true;
    case kKeyDown: camera.MoveBack(); return true;
    case kKeyLeft: camera.TurnLeft(); return true;
    case kKeyRight: camera.TurnRight(); return true;
    case kKeyA: camera.MoveUp(); return true;
    case kKeyZ: camera.MoveDown(); return true;
    default: return false;
    }
}

Mat4 SetView(const Camera& camera) {
    const Vec3 eye{static_cast<float>(camera.CamX), static_cast<float>(camera.CamY), static_cast<float>(camera.CamZ)};
    Vec3 target;
    if (camera.CamLookAt) {
        target = {static_cast<float>(camera.CamTargetX), static_cast<float>(camera.CamTargetY),
                  static_cast<float>(camera.CamTargetZ)};
    } else {
        const double a = static_cast<double>(camera.CamAngle);
        target = {static_cast<float>(camera.CamX + std::cos(a)), static_cast<float>(camera.CamY),
                  static_cast<float>(camera.CamZ + std::sin(a))};
    }
    return lookAt(eye, target, {0, 1, 0});
}

Mat4 ProjectionMatrix(float aspect) { return perspective(kFieldOfView, aspect, kNearPlane, kFarPlane); }

bool RoomHoldsPoint(const level::TRRoom& room, double x, double y, double z) {
    const double left = room.X / 1024.0, front = room.Z / 1024.0;
    if (x < left + 1 || x > left + room.NumXSectors - 1) return false;
    if (z < front + 1 || z > front + room.NumZSectors - 1) return false;
    return y >= -static_cast<double>(room.YBottom) / 1024 && y <= -static_cast<double>(room.YTop) / 1024;
}

int FindCameraRoom(const level::TRLevel& level, double x, double y, double z) {
    for (std::size_t r = 0; r < level.Rooms.size(); ++r)
        if (RoomHoldsPoint(level.Rooms[r], x, y, z)) return static_cast<int>(r);
    return -1;
}

bool PlaceCameraAtPlayer(Camera& camera, const level::TRLevel& level) {
    for (const level::TRItem& item : level.Items) {
        if (item.ObjectID != 0) continue;
        camera.CamX = item.X / 1024.0;
        camera.CamY = -static_cast<double>(item.Y) / 1024.0 + 0.75;  // negated as a double: Y may be INT32_MIN
        camera.CamZ = item.Z / 1024.0;
        return true;
    }
    return false;
}

double FrameRateFor(std::uint32_t elapsedMs) {
    if (elapsedMs == 0) return 0;
    return std::floor(10.0 * 1000.0 / elapsedMs) / 10.0;
}

bool FrameRateMeter::FrameTick(std::uint32_t tick) {
    const std::uint32_t elapsed = tick - m_lastFrameTick;
    if (elapsed <= 5) return false;
    m_rate = FrameRateFor(elapsed);
    m_lastFrameTick = tick;
    return true;
}

std::string FpsText(double rate) { return "Fps:" + util::numberForm(rate); }

std::string RoomText(int room) {
    return room < 0 ? std::string("Not in any room") : "Room:" + util::numberForm(static_cast<std::int64_t>(room));
}

}  // namespace tessarin::viewer
