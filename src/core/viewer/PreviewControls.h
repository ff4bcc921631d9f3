#pragma once
// PreviewControls: the main window's room-preview orbit state and the keys that steer it.
#include <cstdint>

#include "viewer/Keys.h"

namespace tessarin::viewer {

struct PreviewControls {
    double PreviewDistance = 3;  // viewer units, kept in 1..20
    double PreviewYaw = 0;       // radians, kept in 0..6.28
    double PreviewPitch = 0;     // radians, kept in 0..6.28
    int PreviewCenterX = 0;      // orbit centre as sector indices of the current room
    int PreviewCenterZ = 0;
    bool PreviewBuilt = false;   // geometry matches the current room and door setting
    bool PreviewOn = true;       // cleared for good once demo recording starts
};

// Applies one key press; returns false for a key the preview does not use.
bool PreviewKeyDown(PreviewControls& preview, int keyCode);

}  // namespace tessarin::viewer
