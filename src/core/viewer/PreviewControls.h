#pragma once
// PreviewControls: the main window's room-preview orbit state and the keys that steer it.
#include <cstdint>

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

// Preview keys by their Windows virtual-key code.
enum PreviewKey : int {
    kKeyPageUp = 0x21,
    kKeyPageDown = 0x22,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
};

// Applies one key press; returns false for a key the preview does not use.
bool PreviewKeyDown(PreviewControls& preview, int keyCode);

}  // namespace tessarin::viewer
