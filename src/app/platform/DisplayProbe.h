#pragma once
// Whether a window could be shown at all: the toolkit ends the process when the display it is
// told of cannot be reached (a terminal's stale DISPLAY), before anything can be reported.

namespace tessarin::app::platform {

// True when the X display of $DISPLAY opens, or the Wayland display of $WAYLAND_DISPLAY takes a
// connection.
bool displayReachable();

}  // namespace tessarin::app::platform
