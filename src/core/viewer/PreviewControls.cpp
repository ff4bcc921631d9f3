#include "viewer/PreviewControls.h"

namespace tessarin::viewer {

namespace {

constexpr double kStep = 0.1;
constexpr double kFullTurn = 6.28;  // the program's own round figure for 2 pi

// Only one step at a time is applied, so one correction brings the angle back into range.
double wrapAngle(double angle) {
    if (angle > kFullTurn) return angle - kFullTurn;
    if (angle < 0) return angle + kFullTurn;
    return angle;
}

}  // namespace

bool PreviewKeyDown(PreviewControls& preview, int keyCode) {
    switch (keyCode) {
    case kKeyPageUp:
        preview.PreviewDistance -= kStep;
        if (preview.PreviewDistance < 1) preview.PreviewDistance = 1;
        return true;
    case kKeyPageDown:
        preview.PreviewDistance += kStep;
        if (preview.PreviewDistance > 20) preview.PreviewDistance = 20;
        return true;
    case kKeyLeft:
        preview.PreviewYaw = wrapAngle(preview.PreviewYaw + kStep);
        return true;
    case kKeyRight:
        preview.PreviewYaw = wrapAngle(preview.PreviewYaw - kStep);
        return true;
    case kKeyDown:
        preview.PreviewPitch = wrapAngle(preview.PreviewPitch + kStep);
        return true;
    case kKeyUp:
        preview.PreviewPitch = wrapAngle(preview.PreviewPitch - kStep);
        return true;
    default:
        return false;
    }
}

}  // namespace tessarin::viewer
