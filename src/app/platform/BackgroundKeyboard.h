#pragma once
// BackgroundKeyboard: the whole keyboard's state, whichever window has the focus, so that keys
// pressed in the game's window reach the demo recorder.
#include <QString>
#include <memory>

#include "demo/DemoKeys.h"

namespace tessarin::app::platform {

class BackgroundKeyboard {
public:
    virtual ~BackgroundKeyboard() = default;
    // The keys down now, by DirectInput scan code.
    virtual void read(demo::KeyStateArray& keys) = 0;
};

inline const QString kNoBackgroundKeyboardMessage = QStringLiteral(
    "Keys pressed in the game's window can't be read here: demo recording needs an X11 display (an X11 "
    "session or XWayland), and none could be opened. Nothing is recorded.");

// The X11 keyboard of $DISPLAY, or null when no X display can be opened.
std::unique_ptr<BackgroundKeyboard> openBackgroundKeyboard();

}  // namespace tessarin::app::platform
