#pragma once
// The keys the 3D views use, by their Windows virtual-key codes (as the keys are named in key events).
namespace tessarin::viewer {

enum VirtualKey : int {
    kKeyPageUp = 0x21,
    kKeyPageDown = 0x22,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyA = 0x41,
    kKeyZ = 0x5A,
};

}  // namespace tessarin::viewer
