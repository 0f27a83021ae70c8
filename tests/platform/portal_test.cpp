#include "platform/desktop_backend.h"
#include "platform/portal_screen_grab.h"
#include "platform/portal_shortcut.h"
#include "tests/platform/portal_standin.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/temp_dir.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>
#include <map>

namespace {

constexpr int kShortWaitMs = 300;

// A picture whose every pixel differs, 7 pixels wide so that grab rows carry padding.
QImage KnownPicture()
{
    QImage picture(7, 3, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 36, y * 100 + 7, 255 - x * 9 - y));
    }
    return picture;
}

// The program's client and the stand-in portal on a private bus.
class PortalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        if (!bus.ok())
            GTEST_SKIP() << "no private session bus (dbus-daemon): " << bus.error();
        client = bus.connect(QStringLiteral("client"));
        portal = std::make_unique<PortalStandIn>(bus.connect(QStringLiteral("portal")));
        ASSERT_TRUE(client.isConnected());
        ASSERT_TRUE(portal->ok());
    }

    GrabResult grab(int timeoutMs = kPortalTimeoutMs)
    {
        return PortalScreenGrabber(client, timeoutMs).grab();
    }

    TempDir dir;
    PrivateSessionBus bus;
    QDBusConnection client{ QString() };
    std::unique_ptr<PortalStandIn> portal;
};

TEST_F(PortalTest, TheScreenshotIsAGrabOfExactlyThePicturesPixelsAndItsFileIsRemoved)
{
    const QString file = QString::fromStdString(dir.file("shot.png"));
    const QImage picture = KnownPicture();
    ASSERT_TRUE(picture.save(file, "PNG"));
    portal->screenshotFile = file;

    GrabResult result = grab();
    ASSERT_TRUE(std::holds_alternative<CaptureGrab>(result));
    const CaptureGrab &shot = std::get<CaptureGrab>(result);
    ASSERT_EQ(shot.w, 7);
    ASSERT_EQ(shot.h, 3);
    EXPECT_EQ(shot.pad, 1);
    for (int y = 0; y < shot.h; ++y) {
        for (int x = 0; x < shot.w; ++x) {
            const std::uint8_t *p = shot.row(y) + x * 3;
            EXPECT_EQ(qRgb(p[2], p[1], p[0]), picture.pixel(x, y)) << x << "," << y;
        }
    }
    EXPECT_FALSE(QFile::exists(file));
    // Nothing is asked of the user.
    EXPECT_EQ(portal->screenshotOptions.value(QStringLiteral("interactive")), QVariant(false));
}

TEST_F(PortalTest, ARefusedCancelledSilentOrMissingPortalIsACopyFailure)
{
    const QString file = QString::fromStdString(dir.file("shot.png"));

    struct Case
    {
        const char *what;
        std::uint32_t code;
        bool answer;
        bool present;
    };

    const Case cases[] = {
        { "cancelled", 1, true, true },
        { "ended otherwise", 2, true, true },
        { "no answer", 0, false, true },
        { "no portal", 0, true, false },
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(KnownPicture().save(file, "PNG"));
        if (!c.present)
            portal.reset();
        else {
            portal->screenshotFile = file;
            portal->screenshotCode = c.code;
            portal->answer = c.answer;
        }
        GrabResult result = grab(kShortWaitMs);
        ASSERT_TRUE(std::holds_alternative<GrabFailure>(result)) << c.what;
        EXPECT_EQ(std::get<GrabFailure>(result), GrabFailure::CopyFailed) << c.what;
    }
}

TEST_F(PortalTest, ARequestLeftUnansweredIsClosedAndAnUnreadableFileStillGoes)
{
    portal->answer = false;
    EXPECT_TRUE(std::holds_alternative<GrabFailure>(grab(kShortWaitMs)));
    EXPECT_TRUE(ProcessEventsUntil([&] { return portal->closedRequests == 1; }, kPortalTimeoutMs));

    const QString file = QString::fromStdString(dir.file("broken.png"));
    QFile broken(file);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    portal->answer = true;
    portal->screenshotFile = file;
    GrabResult result = grab();
    ASSERT_TRUE(std::holds_alternative<GrabFailure>(result));
    EXPECT_EQ(std::get<GrabFailure>(result), GrabFailure::CopyFailed);
    EXPECT_FALSE(QFile::exists(file));
}

// Hot-key messages delivered by the shortcut.
struct Delivered
{
    std::uint32_t message;
    std::uintptr_t first;
    std::intptr_t second;
};

class PortalShortcutTest : public PortalTest
{
protected:
    std::unique_ptr<PortalShortcut> makeShortcut(int timeoutMs = kPortalTimeoutMs)
    {
        return std::make_unique<PortalShortcut>(
                [this](std::uint32_t m, std::uintptr_t f, std::intptr_t s) {
                    delivered.push_back({ m, f, s });
                },
                client, timeoutMs);
    }

    // Activation of id in session, and whether it reached the frame within waitMs: a delivery
    // is waited for as long as a busy machine may need, its absence only briefly.
    bool activates(const QString &session, const QString &id, int waitMs = kPortalTimeoutMs)
    {
        const std::size_t before = delivered.size();
        portal->activate(session, id);
        return ProcessEventsUntil([&] { return delivered.size() > before; }, waitMs);
    }

    bool ignores(const QString &session, const QString &id)
    {
        return !activates(session, id, kShortWaitMs);
    }

    std::vector<Delivered> delivered;
};

TEST_F(PortalShortcutTest, TheBoundShortcutDeliversTheButtonsHotKeyUntilItsSessionCloses)
{
    auto shortcut = makeShortcut();
    ASSERT_TRUE(shortcut->registerButton(1));
    EXPECT_EQ(shortcut->registeredButton(), 1);
    // The button, and its Shift and Alt chords (a region, the active window).
    const auto triggers = [this] {
        QStringList bound;
        for (const StandInShortcut &entry : portal->bound)
            bound << entry.id + QLatin1Char('=')
                            + entry.properties.value(QStringLiteral("preferred_trigger"))
                                      .toString();
        return bound;
    };
    EXPECT_EQ(triggers(),
              (QStringList{ "capture=Print", "capture-region=SHIFT+Print",
                            "capture-window=ALT+Print" }));
    const QString first = shortcut->sessionHandle();
    EXPECT_EQ(first, portal->sessions.value(0));

    ASSERT_TRUE(activates(first, QStringLiteral("capture")));
    EXPECT_EQ(delivered.back().message, kHotKeyMessage);
    EXPECT_EQ(delivered.back().first, kCaptureHotKeyId);
    EXPECT_EQ(delivered.back().second, ButtonHotKeyParameter(1));
    ASSERT_TRUE(activates(first, QStringLiteral("capture-region")));
    EXPECT_EQ(delivered.back().second, ButtonHotKeyParameter(1, kHotKeyShift));
    ASSERT_TRUE(activates(first, QStringLiteral("capture-window")));
    EXPECT_EQ(delivered.back().second, ButtonHotKeyParameter(1, kHotKeyAlt));
    EXPECT_TRUE(ignores(first, QStringLiteral("other")));
    EXPECT_TRUE(ignores(first + QStringLiteral("x"), QStringLiteral("capture")));

    // Another button: a new session with its chord (which holds Shift already); the old one is
    // closed.
    ASSERT_TRUE(shortcut->registerButton(2));
    EXPECT_EQ(triggers(),
              (QStringList{ "capture=LOGO+SHIFT+F9", "capture-window=ALT+LOGO+SHIFT+F9" }));
    EXPECT_TRUE(ProcessEventsUntil([&] { return portal->closedSessions == QStringList{ first }; },
                                   kPortalTimeoutMs));
    EXPECT_TRUE(ignores(first, QStringLiteral("capture")));
    ASSERT_TRUE(activates(shortcut->sessionHandle(), QStringLiteral("capture")));
    EXPECT_EQ(delivered.back().second, ButtonHotKeyParameter(2));

    const QString second = shortcut->sessionHandle();
    EXPECT_TRUE(shortcut->unregisterButton());
    EXPECT_EQ(shortcut->registeredButton(), 0);
    EXPECT_TRUE(ProcessEventsUntil([&] { return portal->closedSessions.size() == 2; },
                                   kPortalTimeoutMs));
    EXPECT_EQ(portal->closedSessions.value(1), second);
    EXPECT_TRUE(ignores(second, QStringLiteral("capture")));

    // A session the desktop closes lets the button go; registering it again binds anew.
    ASSERT_TRUE(shortcut->registerButton(1));
    portal->closeSession(shortcut->sessionHandle());
    EXPECT_TRUE(ProcessEventsUntil([&] { return shortcut->registeredButton() == 0; },
                                   kPortalTimeoutMs));
    ASSERT_TRUE(shortcut->registerButton(1));
    EXPECT_EQ(portal->sessions.size(), 4);
}

TEST_F(PortalShortcutTest, EveryRefusalIsARegistrationFailureThatKeepsTheButtonHeld)
{
    struct Case
    {
        const char *what;
        std::uint32_t sessionCode;
        std::uint32_t bindCode;
        bool listed;
    };

    const Case cases[] = {
        { "session refused", 2, 0, true },
        { "binding cancelled", 0, 1, true },
        { "binding refused", 0, 2, true },
        { "shortcut declined", 0, 0, false },
    };
    auto shortcut = makeShortcut();
    ASSERT_TRUE(shortcut->registerButton(1));
    const QString held = shortcut->sessionHandle();
    for (const Case &c : cases) {
        portal->sessionCode = c.sessionCode;
        portal->bindCode = c.bindCode;
        portal->bindListsShortcut = c.listed;
        EXPECT_FALSE(shortcut->registerButton(3)) << c.what;
        EXPECT_EQ(shortcut->registeredButton(), 1) << c.what;
        EXPECT_EQ(shortcut->sessionHandle(), held) << c.what;
    }
    // Sessions made for a binding that failed are closed; the one held is not.
    EXPECT_TRUE(ProcessEventsUntil([&] { return portal->closedSessions.size() == 3; },
                                   kPortalTimeoutMs));
    EXPECT_FALSE(portal->closedSessions.contains(held));
    EXPECT_FALSE(shortcut->registerButton(0));
    EXPECT_FALSE(shortcut->registerButton(5));

    portal.reset();
    auto orphan = makeShortcut(kShortWaitMs);
    EXPECT_FALSE(orphan->registerButton(1));
    EXPECT_EQ(orphan->registeredButton(), 0);
}

TEST(DesktopBackendTest, TheOverrideDecidesElseAWaylandSessionMeansThePortal)
{
    using Env = std::map<std::string, std::string>;
    const std::vector<std::pair<Env, DesktopBackend>> cases = {
        { {}, DesktopBackend::X11 },
        { { { "XDG_SESSION_TYPE", "x11" } }, DesktopBackend::X11 },
        { { { "XDG_SESSION_TYPE", "wayland" } }, DesktopBackend::Portal },
        { { { "WAYLAND_DISPLAY", "wayland-0" } }, DesktopBackend::Portal },
        { { { "WAYLAND_DISPLAY", "" } }, DesktopBackend::X11 },
        { { { "WAYLAND_DISPLAY", "wayland-0" }, { "VISTREL_GRAB", "x11" } }, DesktopBackend::X11 },
        { { { "VISTREL_GRAB", "portal" } }, DesktopBackend::Portal },
        { { { "XDG_SESSION_TYPE", "wayland" }, { "VISTREL_GRAB", "other" } },
          DesktopBackend::Portal },
    };
    for (const auto &[env, expected] : cases) {
        const DesktopBackend chosen = ChooseDesktopBackend([&env](const char *name) {
            const auto found = env.find(name);
            return found == env.end() ? std::nullopt : std::optional<std::string>(found->second);
        });
        EXPECT_EQ(chosen, expected) << env.size();
    }
    EXPECT_EQ(PortalTrigger(4), QStringLiteral("LOGO+SHIFT+F11"));
    EXPECT_TRUE(PortalTrigger(5).isEmpty());
}

} // namespace
