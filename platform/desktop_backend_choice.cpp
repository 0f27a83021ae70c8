#include "platform/desktop_backend.h"

#include <cstdlib>

// Apart from the backends themselves: choosing one must not link the portal's Qt code into a
// program that only copies from the X server.

DesktopBackend ChooseDesktopBackend(const EnvironmentReader &environment)
{
    if (const std::optional<std::string> chosen = environment("VISTREL_GRAB")) {
        if (*chosen == "x11")
            return DesktopBackend::X11;
        if (*chosen == "portal")
            return DesktopBackend::Portal;
    }
    const std::optional<std::string> session = environment("XDG_SESSION_TYPE");
    const std::optional<std::string> wayland = environment("WAYLAND_DISPLAY");
    if ((session && *session == "wayland") || (wayland && !wayland->empty()))
        return DesktopBackend::Portal;
    return DesktopBackend::X11;
}

DesktopBackend ChooseDesktopBackend()
{
    return ChooseDesktopBackend([](const char *name) -> std::optional<std::string> {
        if (const char *value = std::getenv(name))
            return std::string(value);
        return std::nullopt;
    });
}
