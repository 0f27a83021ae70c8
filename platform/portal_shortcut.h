#pragma once

#include "platform/button_hot_key.h"
#include "platform/portal_request.h"

#include <QDBusConnection>
#include <QString>

#include <memory>

// The capture key through the desktop portal's GlobalShortcuts interface, for Wayland sessions
// where no client may grab a key: registering button n opens a session and binds the shortcut
// "capture", whose preferred trigger is the button's chord, and beside it "capture-region" and
// "capture-window" with Shift and Alt added (where the chord lacks them); the desktop may let the
// user choose other keys. An activation delivers the hot-key message (786) with button n's
// parameter, as the X11 grab does, with kHotKeyShift or kHotKeyAlt for the extra shortcuts. A missing portal, a refusal, a cancelled request, a binding without the
// shortcut or no answer within the time limit is a failed registration. Unregistering closes
// the session. Registration runs the event loop while it waits (a QCoreApplication must exist).
class PortalShortcut final : public HotKeyRegistration
{
public:
    explicit PortalShortcut(HotKeyDelivery delivery);
    PortalShortcut(HotKeyDelivery delivery, QDBusConnection connection,
                   int timeoutMs = kPortalTimeoutMs);
    ~PortalShortcut() override;
    PortalShortcut(const PortalShortcut &) = delete;
    PortalShortcut &operator=(const PortalShortcut &) = delete;

    bool registerButton(int n) override;
    bool unregisterButton() override;

    int registeredButton() const override { return held; }

    // The desktop follows its own key mapping: nothing to redo here.
    void setMappingChanged(std::function<void()>) override { }

    // The session object of the registration, empty when none.
    const QString &sessionHandle() const { return session; }

    // The shortcut's id in the session.
    static QString shortcutId();

private:
    class Listener;
    QString createSession();
    bool bind(const QString &handle, int n);
    void closeSession(const QString &handle);
    void activated(const QString &handle, const QString &id);
    // A session the desktop closed is no registration any more: the next register binds anew.
    void sessionClosed(const QString &handle);
    void forgetSession();

    HotKeyDelivery deliver;
    QDBusConnection bus;
    int timeoutMs;
    std::unique_ptr<Listener> listener;
    QString session;
    int held = 0;
};

// The chord of application button n in the desktop's shortcut notation ("Print",
// "LOGO+SHIFT+F9"), with the X modifier masks extraModifiers added ("SHIFT+Print"); empty when n
// names no button.
QString PortalTrigger(int n, std::uint16_t extraModifiers = 0);
