#pragma once

#include <QDBusConnection>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <cstdint>

// The desktop portal's bus name, object and the interfaces the program uses.
inline constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
inline constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";
inline constexpr char kPortalRequestInterface[] = "org.freedesktop.portal.Request";
inline constexpr char kPortalSessionInterface[] = "org.freedesktop.portal.Session";

// No portal request waits longer than this for its answer.
inline constexpr int kPortalTimeoutMs = 30000;

// How a portal request ended.
struct PortalResponse
{
    enum class Outcome {
        Answered, // the Response signal came: code and results hold
        NoPortal, // no session bus, no portal, or it refused the call itself
        TimedOut, // no answer in time (the request is closed)
    };
    Outcome outcome = Outcome::NoPortal;
    // 0 success, 1 cancelled by the user, 2 ended otherwise.
    std::uint32_t code = 2;
    QVariantMap results;

    bool succeeded() const { return outcome == Outcome::Answered && code == 0; }
};

// A token no other request of this process has used.
QString NewPortalToken();

// The object path of the request (or session) the portal makes for token on connection: the
// caller's unique name without its ':' and with '_' for each '.', under kind ("request",
// "session").
QString PortalObjectPath(const QDBusConnection &connection, const QString &kind,
                         const QString &token);

// Calls interface.method on the portal with arguments whose last is the options map (handle_token
// is added to it), then waits for the Response signal of the request, running the event loop
// meanwhile, at most timeoutMs in all. Needs a QCoreApplication.
PortalResponse CallPortalRequest(QDBusConnection connection, const QString &interface,
                                 const QString &method, QVariantList arguments,
                                 int timeoutMs = kPortalTimeoutMs);
