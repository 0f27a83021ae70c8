#include "platform/desktop_backend.h"

#include "platform/portal_screen_grab.h"
#include "platform/portal_shortcut.h"

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
