#pragma once

#include "platform/button_hot_key.h"
#include "platform/screen_grab.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// How the program reaches the screen and the capture key: the X server (a root-window copy and a
// passive key grab), or the desktop portal over the session bus, the only way a Wayland session
// lets a client read the screen or hold a key for the whole desktop.
enum class DesktopBackend {
    X11,
    Portal,
};

// Reads one environment variable: its value, nothing when unset.
using EnvironmentReader = std::function<std::optional<std::string>(const char *name)>;

// VISTREL_GRAB=x11 or =portal decides; otherwise the portal in a Wayland session
// (XDG_SESSION_TYPE=wayland, or WAYLAND_DISPLAY set), the X server elsewhere. Other values of
// VISTREL_GRAB are ignored.
DesktopBackend ChooseDesktopBackend(const EnvironmentReader &environment);
// The same from the process environment.
DesktopBackend ChooseDesktopBackend();

// The screen copy of the backend. displayName (empty: $DISPLAY) is the X server's; the portal is
// asked on the session bus, which needs a QCoreApplication running.
std::unique_ptr<ScreenSource> MakeScreenSource(DesktopBackend backend,
                                               const std::string &displayName = {});

// The capture key's registration of the backend; presses come to delivery as the hot-key message.
std::unique_ptr<HotKeyRegistration> MakeHotKeyRegistration(DesktopBackend backend,
                                                           HotKeyDelivery delivery,
                                                           const std::string &displayName = {});
