#include "platform/desktop_backend.h"

#include "platform/portal_screen_grab.h"
#include "platform/portal_shortcut.h"

#include <cstdlib>

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

std::unique_ptr<ScreenSource> MakeScreenSource(DesktopBackend backend,
                                               const std::string &displayName)
{
    if (backend == DesktopBackend::Portal)
        return std::make_unique<PortalScreenGrabber>();
    return std::make_unique<ScreenGrabber>(displayName);
}

std::unique_ptr<HotKeyRegistration> MakeHotKeyRegistration(DesktopBackend backend,
                                                           HotKeyDelivery delivery,
                                                           const std::string &displayName)
{
    if (backend == DesktopBackend::Portal)
        return std::make_unique<PortalShortcut>(std::move(delivery));
    return std::make_unique<ButtonHotKey>(std::move(delivery), displayName);
}
