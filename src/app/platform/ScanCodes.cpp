#include "platform/ScanCodes.h"

#include <linux/input-event-codes.h>

namespace tessarin::app::platform {

int directInputScanCode(int evdevCode) {
    // From Esc to F12 evdev took its numbers from the PC keyboard's set-1 scan codes, as DirectInput
    // did; 84 and 85 are keys DirectInput keeps elsewhere.
    if (evdevCode >= KEY_ESC && evdevCode <= KEY_F12 && evdevCode != 84 && evdevCode != KEY_ZENKAKUHANKAKU)
        return evdevCode;
    // The extended keys: DirectInput adds 0x80 to the scan code they share with another key.
    switch (evdevCode) {
    case KEY_KPENTER: return 0x9C;
    case KEY_RIGHTCTRL: return 0x9D;
    case KEY_KPSLASH: return 0xB5;
    case KEY_SYSRQ: return 0xB7;
    case KEY_RIGHTALT: return 0xB8;
    case KEY_PAUSE: return 0xC5;
    case KEY_HOME: return 0xC7;
    case KEY_UP: return 0xC8;
    case KEY_PAGEUP: return 0xC9;
    case KEY_LEFT: return 0xCB;
    case KEY_RIGHT: return 0xCD;
    case KEY_END: return 0xCF;
    case KEY_DOWN: return 0xD0;
    case KEY_PAGEDOWN: return 0xD1;
    case KEY_INSERT: return 0xD2;
    case KEY_DELETE: return 0xD3;
    case KEY_LEFTMETA: return 0xDB;
    case KEY_RIGHTMETA: return 0xDC;
    case KEY_COMPOSE: return 0xDD;
    default: return 0;
    }
}

demo::KeyStateArray keyStateFromX11Keymap(const char (&keymap)[32]) {
    demo::KeyStateArray keys{};
    for (int keycode = 8; keycode < 256; ++keycode) {
        if ((static_cast<unsigned char>(keymap[keycode / 8]) & (1u << (keycode % 8))) == 0) continue;
        if (const int scan = directInputScanCode(evdevCodeOfX11Keycode(keycode)); scan != 0) keys[scan] = 0x80;
    }
    return keys;
}

}  // namespace tessarin::app::platform
