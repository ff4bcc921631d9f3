#include "platform/DisplayProbe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

// Last: Xlib defines macros (Status, None, Bool) that would clash with names in the headers above.
#include <X11/Xlib.h>

namespace tessarin::app::platform {

namespace {

bool set(const char* value) { return value != nullptr && *value != '\0'; }

bool x11Reachable() {
    if (!set(std::getenv("DISPLAY"))) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

bool waylandReachable() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!set(name)) return false;
    std::string path = name;
    if (path.front() != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!set(runtime)) return false;
        path = std::string(runtime) + '/' + path;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

}  // namespace

bool displayReachable() { return x11Reachable() || waylandReachable(); }

}  // namespace tessarin::app::platform
