// Capture on a Wayland desktop: the portal's shortcut starts the album's capture, whose screen
// comes from the portal's screenshot; `vistrel-cli capture` asks the same portal.
#include "app/command_units.h"
#include "app/image_lists.h"
#include "app/main_frame.h"
#include "capture/capture_settings.h"
#include "capture/capture_unit.h"
#include "platform/portal_screen_grab.h"
#include "platform/portal_shortcut.h"
#include "tests/app/doc_test_support.h"
#include "tests/platform/portal_standin.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/test_files.h"

#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// 6 x 2 pixels of distinct colours, saved as PNG where the stand-in hands it out.
QImage ScreenPicture()
{
    QImage picture(6, 2, QImage::Format_RGB888);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 6; ++x)
            picture.setPixel(x, y, qRgb(40 * x, 200 - 90 * y, 17 * x + 3 * y));
    }
    return picture;
}

std::vector<std::uint8_t> PictureRgb(const QImage &picture)
{
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            rgb.insert(rgb.end(),
                       { std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p)) });
        }
    }
    return rgb;
}

class PortalCapture : public DocTest
{
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        if (!bus.ok())
            GTEST_SKIP() << "no private session bus (dbus-daemon): " << bus.error();
        portal = std::make_unique<PortalStandIn>(bus.connect(QStringLiteral("portal")));
        ASSERT_TRUE(portal->ok());
        makeFolder("\\Shots");
        settings.snapPath = "\\Shots";
        settings.snapName = "ornsnap";
        shot = QString::fromStdString(root.file("screen.png"));
        ASSERT_TRUE(ScreenPicture().save(shot, "PNG"));
        portal->screenshotFile = shot;
    }

    PrivateSessionBus bus;
    std::unique_ptr<PortalStandIn> portal;
    QString shot;
};

TEST_F(PortalCapture, TheShortcutsActivationWritesTheScreenshotAsTheNextCapture)
{
    CMainFrame mainFrame(settings);
    ImageLists lists;
    const QDBusConnection client = bus.connect(QStringLiteral("client"));
    const CommandUnitContext context{ doc, settings, store, lists, mainFrame };
    PortalShortcut *shortcut = nullptr;
    CaptureDesktop desktop;
    desktop.screen = std::make_unique<PortalScreenGrabber>(client);
    desktop.hotKey = [&](HotKeyDelivery delivery) {
        auto made = std::make_unique<PortalShortcut>(std::move(delivery), client);
        shortcut = made.get();
        return made;
    };
    CaptureUnit capture(context, std::move(desktop));
    ASSERT_TRUE(capture.button().registerButton(1));

    portal->activate(shortcut->sessionHandle(), PortalShortcut::shortcutId());
    const std::string written = host("\\Shots\\ornsnap001.bmp");
    ASSERT_TRUE(ProcessEventsUntil([&] { return std::filesystem::exists(written); }, 5000));
    EXPECT_EQ(FileRgb(written), PictureRgb(ScreenPicture()));
    EXPECT_FALSE(QFile::exists(shot));
    EXPECT_EQ(portal->screenshotOptions.value(QStringLiteral("interactive")), QVariant(false));

    // The region chord: the desktop's own chooser (the interactive screenshot) picks, and what it
    // gives is written as it is.
    ASSERT_TRUE(ScreenPicture().save(shot, "PNG"));
    portal->activate(shortcut->sessionHandle(), QStringLiteral("capture-region"));
    ASSERT_TRUE(ProcessEventsUntil(
            [&] { return std::filesystem::exists(host("\\Shots\\ornsnap002.bmp")); }, 5000));
    EXPECT_EQ(portal->screenshotOptions.value(QStringLiteral("interactive")), QVariant(true));

    // A refused screenshot is the copy failure, reported at its place; the next one works.
    portal->screenshotCode = 2;
    portal->activate(shortcut->sessionHandle(), PortalShortcut::shortcutId());
    ASSERT_TRUE(ProcessEventsUntil([&] { return sink.shown.size() == 1; }, 5000));
    EXPECT_EQ(sink.shown[0].text.rfind("Unable to create snap image\n36007:3000:20", 0), 0u)
            << sink.shown[0].text;
    EXPECT_FALSE(capture.pipeline().busy());
}

TEST_F(PortalCapture, TheCommandLineToolAsksThePortalWhenTold)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QString::fromStdString(bus.address()));
    environment.insert(QStringLiteral("VISTREL_GRAB"), QStringLiteral("portal"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(root.file("cfg")));
    environment.remove(QStringLiteral("DISPLAY"));
    tool.setProcessEnvironment(environment);
    const std::string folder = host("\\Shots");
    auto run = [&](const QStringList &more = {}) {
        tool.start(QString::fromStdString(CliPath()),
                   QStringList{ QStringLiteral("capture"), QStringLiteral("--folder"),
                                QString::fromStdString(folder) }
                           + more);
        // The stand-in answers from this event loop while the tool waits.
        return ProcessEventsUntil([&] { return tool.state() == QProcess::NotRunning; }, 20000);
    };
    ASSERT_TRUE(run());
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(FileRgb(folder + "/ornsnap001.bmp"), PictureRgb(ScreenPicture()));
    EXPECT_EQ(portal->screenshotOptions.value(QStringLiteral("interactive")), QVariant(false));

    // A window is chosen on the desktop; an exact rectangle is cut from the whole screen.
    ASSERT_TRUE(ScreenPicture().save(shot, "PNG"));
    ASSERT_TRUE(run({ "--area", "window" }));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(portal->screenshotOptions.value(QStringLiteral("interactive")), QVariant(true));
    ASSERT_TRUE(ScreenPicture().save(shot, "PNG"));
    ASSERT_TRUE(run({ "--area", "4,1,9,9" }));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(portal->screenshotOptions.value(QStringLiteral("interactive")), QVariant(false));
    EXPECT_EQ(FileRgb(folder + "/ornsnap003.bmp"), PictureRgb(ScreenPicture().copy(4, 1, 2, 1)));
    ASSERT_TRUE(run({ "--monitor", "1" }));
    EXPECT_EQ(tool.exitCode(), 2);
    EXPECT_NE(tool.readAllStandardError().toStdString().find("--monitor needs the X server"),
              std::string::npos);

    portal->screenshotCode = 1;
    ASSERT_TRUE(run());
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_NE(tool.readAllStandardError().toStdString().find("36007:3000:20"), std::string::npos);
}

} // namespace
