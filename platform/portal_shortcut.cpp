#include "platform/portal_shortcut.h"

#include "platform/application_buttons.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QStringList>

namespace {

constexpr char kShortcutsInterface[] = "org.freedesktop.portal.GlobalShortcuts";

// One shortcut as the portal takes and gives it: its id and its properties.
struct ShortcutEntry
{
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(ShortcutEntry)

namespace {

QDBusArgument &operator<<(QDBusArgument &argument, const ShortcutEntry &entry)
{
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ShortcutEntry &entry)
{
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

void RegisterShortcutTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<ShortcutEntry>();
        qDBusRegisterMetaType<QList<ShortcutEntry>>();
        return true;
    }();
    (void)registered;
}

// X11 modifier bits of the buttons' chords and their names in the shortcut notation.
struct ModifierName
{
    std::uint16_t mask;
    const char *name;
};

constexpr ModifierName kModifierNames[] = {
    { 4, "CTRL" },
    { 8, "ALT" },
    { 64, "LOGO" },
    { 1, "SHIFT" },
};

// The shortcuts bound for a button: its own, and with Shift or Alt added (X modifier masks) the
// chords that capture a region or the active window (their hot-key message bits).
struct Chord
{
    const char *id;
    const char *description;
    std::uint16_t modifier;
    std::uint32_t hotKey;
};

constexpr Chord kChords[] = {
    { "capture", "Capture the screen", 0, 0 },
    { "capture-region", "Capture a region", 1, kHotKeyShift },
    { "capture-window", "Capture the active window", 8, kHotKeyAlt },
};

// Whether the portal's answer bound the shortcut: the ids it lists.
bool BindsShortcut(const QVariantMap &results, const QString &id)
{
    const QVariant listed = results.value(QStringLiteral("shortcuts"));
    if (!listed.canConvert<QDBusArgument>())
        return false;
    QList<ShortcutEntry> entries;
    listed.value<QDBusArgument>() >> entries;
    for (const ShortcutEntry &entry : entries) {
        if (entry.id == id)
            return true;
    }
    return false;
}

} // namespace

// Receives the portal's Activated signal for the owner.
class PortalShortcut::Listener : public QObject
{
    Q_OBJECT

public:
    explicit Listener(PortalShortcut &shortcut) : owner(shortcut) { }

public slots:

    void onActivated(const QDBusMessage &message)
    {
        const QList<QVariant> arguments = message.arguments();
        if (arguments.size() < 2)
            return;
        owner.activated(qvariant_cast<QDBusObjectPath>(arguments[0]).path(),
                        arguments[1].toString());
    }

    // The desktop ended the session (the user took the shortcut back, the portal restarted).
    void onSessionClosed(const QDBusMessage &message) { owner.sessionClosed(message.path()); }

private:
    PortalShortcut &owner;
};

QString PortalTrigger(int n, std::uint16_t extraModifiers)
{
    const auto &buttons = ApplicationButtons();
    if (n < 1 || n > static_cast<int>(buttons.size()))
        return {};
    const ApplicationButton &button = buttons[static_cast<std::size_t>(n - 1)];
    QStringList parts;
    for (const ModifierName &modifier : kModifierNames) {
        if ((button.modifiers | extraModifiers) & modifier.mask)
            parts << QString::fromLatin1(modifier.name);
    }
    // The button's name ends in its key's name ("Super+Shift+F9").
    const QString name = QString::fromStdString(button.name);
    parts << name.section(QLatin1Char('+'), -1);
    return parts.join(QLatin1Char('+'));
}

PortalShortcut::PortalShortcut(HotKeyDelivery delivery)
    : PortalShortcut(std::move(delivery), QDBusConnection::sessionBus())
{ }

PortalShortcut::PortalShortcut(HotKeyDelivery delivery, QDBusConnection connection, int timeout)
    : deliver(std::move(delivery)),
      bus(std::move(connection)),
      timeoutMs(timeout),
      listener(std::make_unique<Listener>(*this))
{
    RegisterShortcutTypes();
    if (bus.isConnected())
        bus.connect(QString::fromLatin1(kPortalService), QString::fromLatin1(kPortalPath),
                    QString::fromLatin1(kShortcutsInterface), QStringLiteral("Activated"),
                    listener.get(), SLOT(onActivated(QDBusMessage)));
}

PortalShortcut::~PortalShortcut()
{
    unregisterButton();
    if (bus.isConnected())
        bus.disconnect(QString::fromLatin1(kPortalService), QString::fromLatin1(kPortalPath),
                       QString::fromLatin1(kShortcutsInterface), QStringLiteral("Activated"),
                       listener.get(), SLOT(onActivated(QDBusMessage)));
}

QString PortalShortcut::shortcutId()
{
    return QStringLiteral("capture");
}

QString PortalShortcut::createSession()
{
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"), NewPortalToken());
    const PortalResponse response =
            CallPortalRequest(bus, QString::fromLatin1(kShortcutsInterface),
                              QStringLiteral("CreateSession"), { options }, timeoutMs);
    if (!response.succeeded())
        return {};
    // Older portals give the handle as an object path, newer ones as a string.
    const QVariant handle = response.results.value(QStringLiteral("session_handle"));
    if (handle.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return handle.value<QDBusObjectPath>().path();
    return handle.toString();
}

// The button's shortcut, and its chords with Shift (a region) and Alt (the active window) where
// the button's own chord lacks that modifier. Only the first must be bound.
bool PortalShortcut::bind(const QString &handle, int n)
{
    QList<ShortcutEntry> shortcuts;
    const std::uint16_t own = ApplicationButtons()[static_cast<std::size_t>(n - 1)].modifiers;
    for (const Chord &chord : kChords) {
        if (chord.modifier != 0 && (own & chord.modifier) != 0)
            continue;
        QVariantMap properties;
        properties.insert(QStringLiteral("description"), QString::fromLatin1(chord.description));
        properties.insert(QStringLiteral("preferred_trigger"), PortalTrigger(n, chord.modifier));
        shortcuts.push_back({ QString::fromLatin1(chord.id), properties });
    }
    const PortalResponse response = CallPortalRequest(
            bus, QString::fromLatin1(kShortcutsInterface), QStringLiteral("BindShortcuts"),
            { QVariant::fromValue(QDBusObjectPath(handle)), QVariant::fromValue(shortcuts),
              QString(), QVariantMap() },
            timeoutMs);
    return response.succeeded() && BindsShortcut(response.results, shortcutId());
}

void PortalShortcut::closeSession(const QString &handle)
{
    if (handle.isEmpty() || !bus.isConnected())
        return;
    bus.send(QDBusMessage::createMethodCall(QString::fromLatin1(kPortalService), handle,
                                            QString::fromLatin1(kPortalSessionInterface),
                                            QStringLiteral("Close")));
}

bool PortalShortcut::registerButton(int n)
{
    if (PortalTrigger(n).isEmpty())
        return false;
    if (n == held)
        return true;
    const QString handle = createSession();
    if (handle.isEmpty())
        return false;
    if (!bind(handle, n)) {
        closeSession(handle);
        return false;
    }
    closeSession(session);
    session = handle;
    held = n;
    bus.connect(QString::fromLatin1(kPortalService), session,
                QString::fromLatin1(kPortalSessionInterface), QStringLiteral("Closed"),
                listener.get(), SLOT(onSessionClosed(QDBusMessage)));
    return true;
}

void PortalShortcut::sessionClosed(const QString &handle)
{
    if (handle != session || session.isEmpty())
        return;
    forgetSession();
}

void PortalShortcut::forgetSession()
{
    bus.disconnect(QString::fromLatin1(kPortalService), session,
                   QString::fromLatin1(kPortalSessionInterface), QStringLiteral("Closed"),
                   listener.get(), SLOT(onSessionClosed(QDBusMessage)));
    session.clear();
    held = 0;
}

bool PortalShortcut::unregisterButton()
{
    closeSession(session);
    if (!session.isEmpty())
        forgetSession();
    return true;
}

void PortalShortcut::activated(const QString &handle, const QString &id)
{
    if (held == 0 || handle != session || !deliver)
        return;
    for (const Chord &chord : kChords) {
        if (id == QLatin1String(chord.id)) {
            deliver(kHotKeyMessage, kCaptureHotKeyId, ButtonHotKeyParameter(held, chord.hotKey));
            return;
        }
    }
}

#include "portal_shortcut.moc"
