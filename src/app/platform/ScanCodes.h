#pragma once
// ScanCodes: X11 key codes to the DirectInput scan codes the demo recorder indexes its key state by.
#include "demo/DemoKeys.h"

namespace tessarin::app::platform {

// The DirectInput scan code of the key at the physical place of a Linux evdev key code; 0 for a
// key the DirectInput keyboard has no code for.
int directInputScanCode(int evdevCode);

// X11 numbers keys as the evdev code + 8.
inline int evdevCodeOfX11Keycode(int x11Keycode) { return x11Keycode - 8; }

// The 256-byte key state from the 32-byte bit map XQueryKeymap fills (bit k: X key code k is down).
demo::KeyStateArray keyStateFromX11Keymap(const char (&keymap)[32]);

}  // namespace tessarin::app::platform
