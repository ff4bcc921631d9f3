// The background keyboard on X11: XQueryKeymap reports every key, whichever client has the focus.
#include "platform/BackgroundKeyboard.h"
#include "platform/ScanCodes.h"

// Last: Xlib defines macros (Status, None, Bool) that would clash with names in the headers above.
#include <X11/Xlib.h>

namespace tessarin::app::platform {

namespace {

class X11Keyboard : public BackgroundKeyboard {
public:
    explicit X11Keyboard(Display* display) : m_display(display) {}
    ~X11Keyboard() override { XCloseDisplay(m_display); }
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    void read(demo::KeyStateArray& keys) override {
        char keymap[32] = {};
        XQueryKeymap(m_display, keymap);
        keys = keyStateFromX11Keymap(keymap);
    }

private:
    Display* m_display;
};

}  // namespace

std::unique_ptr<BackgroundKeyboard> openBackgroundKeyboard() {
    // A connection of our own: Qt may not be on X11 at all (Wayland, offscreen), and even when it
    // is, its connection is not ours to query.
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    return std::make_unique<X11Keyboard>(display);
}

}  // namespace tessarin::app::platform
