// The capture as one unit: its button on a private X server, its delay timer with the title's
// countdown, its confirmation posted to itself, and Capture Settings on the frame's route.
#include "capture/capture_unit.h"

#include "app/command_units.h"
#include "app/doc_commands.h"
#include "app/image_lists.h"
#include "app/main_frame.h"
#include "capture/capture_settings.h"
#include "tests/capture/capture_test_support.h"
#include "tests/platform/x_keys.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/run_command.h"
#include "tests/support/xvfb_server.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Stands for the screen: a 4 x 3 grab every time, counted.
class CountingScreen final : public ScreenSource
{
public:
    explicit CountingScreen(int &count) : grabs(count) { }

    GrabResult grabArea(const AreaRequest &) override { return TestGrab(4, 3, ++grabs); }

private:
    int &grabs;
};

// The unit as the program makes it on a frame, its button on a private X server, its screen
// counted, its captures written into "\Shots".
class CaptureUnitTest : public DocTest
{
protected:
    CaptureUnitTest()
    {
        makeFolder("\\Shots");
        settings.snapPath = "\\Shots";
        settings.snapName = "ornsnap";
        settings.ui.captureFlags = 0;
    }

    void SetUp() override { ASSERT_TRUE(server.ok()) << server.error(); }

    std::unique_ptr<CaptureUnit> makeUnit(bool enabled, int trigger)
    {
        CaptureSettings::setBit(settings, CaptureFlag::CaptureEnabled, enabled);
        CaptureSettings::setTrigger(settings, trigger);
        const CommandUnitContext context{ doc, settings, store, lists, mainFrame };
        CaptureDesktop desktop = DesktopCapture(DesktopBackend::X11, server.display());
        desktop.screen = std::make_unique<CountingScreen>(grabs);
        return std::make_unique<CaptureUnit>(context, std::move(desktop));
    }

    void press(const std::string &key)
    {
        ASSERT_EQ(RunCommand("DISPLAY=" + server.display() + " xdotool key " + key).status, 0);
    }

    // The objectName and title of the modal dialog that opens next; it is cancelled.
    void cancelNextDialog(QString &opened)
    {
        QTimer::singleShot(0, [&opened] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                opened = dialog->objectName() + " " + dialog->windowTitle();
                static_cast<QDialog *>(dialog)->reject();
            }
        });
    }

    // Widgets below need the application first.
    bool application = (EnsureTestApplication(), true);
    XvfbServer server;
    ImageLists lists;
    CMainFrame mainFrame{ settings };
    SoundRecorder sound;
    int grabs = 0;
};

TEST_F(CaptureUnitTest, TheButtonClaimedAtStartCapturesAndIsGivenBackAtTheEnd)
{
    auto unit = makeUnit(true, 1);
    EXPECT_EQ(unit->button().registeredButton(), 1);
    EXPECT_TRUE(CaptureSettings::enabled(settings));
    press("Print");
    ASSERT_TRUE(ProcessEventsUntil([&] { return grabs == 1; }, 5000));
    EXPECT_TRUE(std::filesystem::exists(host("\\Shots\\ornsnap001.bmp")));

    // Print moves to another key: the button follows it.
    XConnection other(server.display());
    ASSERT_NE(MoveKeysymToSpareKey(other, kPrintKeysym), 0);
    ASSERT_TRUE(ProcessEventsUntil(
            [&] {
                press("Print");
                return ProcessEventsUntil([&] { return grabs >= 2; }, 300);
            },
            5000));

    unit.reset();
    EXPECT_TRUE(GrabKey(other, kPrintKeysym));
}

TEST_F(CaptureUnitTest, ATakenButtonClearsCaptureSilentlyAtStartAndIsReportedInTheDialog)
{
    XConnection other(server.display());
    ASSERT_TRUE(GrabKey(other, kPrintKeysym));
    auto unit = makeUnit(true, 1);
    EXPECT_FALSE(CaptureSettings::enabled(settings));
    EXPECT_TRUE(sink.shown.empty());

    CaptureDialog dialog(settings, store, { "Print", "B2", "B3", "B4" }, unit->dialogHost());
    auto *enable = dialog.findChild<QCheckBox *>(QStringLiteral("1021"));
    enable->setChecked(true);
    dialog.findChild<QComboBox *>(QStringLiteral("1015"))->setCurrentIndex(0);
    dialog.accept();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, ComposeErrorMessage(20012, 0, 36003, 600, 30, nullptr));
    EXPECT_FALSE(enable->isChecked());
    EXPECT_FALSE(CaptureSettings::enabled(settings));
    EXPECT_EQ(unit->button().registeredButton(), 0);
}

TEST_F(CaptureUnitTest, ADelayCapturesOnceWhileTheTitleCountsDown)
{
    auto unit = makeUnit(false, 1);
    const QString normal = mainFrame.windowTitle();
    unit->dialogHost().startDelay(1600);
    EXPECT_TRUE(unit->timers().isActive(CaptureTimer));
    EXPECT_EQ(mainFrame.windowTitle(), CaptureCountdown::title(2));
    EXPECT_TRUE(ProcessEventsUntil(
            [&] { return mainFrame.windowTitle() == CaptureCountdown::title(1); }, 3000));
    ASSERT_TRUE(ProcessEventsUntil([&] { return grabs == 1; }, 3000));
    EXPECT_FALSE(unit->timers().isActive(CaptureTimer));
    EXPECT_EQ(mainFrame.windowTitle(), normal);
    EXPECT_FALSE(ProcessEventsUntil([&] { return grabs > 1; }, 200)) << "the delay fires once";

    // A delay stopped early gives the title back as well.
    unit->dialogHost().startDelay(5000);
    unit->timers().kill(CaptureTimer);
    EXPECT_TRUE(ProcessEventsUntil([&] { return mainFrame.windowTitle() == normal; }, 3000));
    EXPECT_FALSE(unit->countdown().counting());
}

// The grab waits while the confirmation goes round the event loop; the "Capture Message" dialog
// comes with it.
TEST_F(CaptureUnitTest, TheConfirmationComesBackToTheUnitThroughTheEventLoop)
{
    auto unit = makeUnit(false, 1);
    CaptureSettings::setBit(settings, CaptureFlag::ConfirmBeforeSave, true);
    SendMessageTo(unit.get(), WM_HOTKEY, 0, ButtonHotKeyParameter(1));
    EXPECT_EQ(grabs, 1);
    EXPECT_TRUE(unit->pipeline().holdsGrab());

    QString opened;
    cancelNextDialog(opened);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !unit->pipeline().busy(); }, 3000));
    EXPECT_EQ(opened.toStdString(), "108 Capture Message");
    EXPECT_FALSE(unit->pipeline().holdsGrab());
    EXPECT_TRUE(std::filesystem::is_empty(host("\\Shots")));
}

TEST_F(CaptureUnitTest, CaptureSettingsOnTheRouteOpensTheCaptureDialog)
{
    auto unit = makeUnit(false, 1);
    mainFrame.setRoute(&doc, nullptr, { unit.get() });
    QString opened;
    cancelNextDialog(opened);
    EXPECT_TRUE(mainFrame.routeCommand(DocCmd::CaptureSettings));
    EXPECT_EQ(opened.toStdString(), "107 Capture");
    mainFrame.setRoute(&doc, nullptr);
}

} // namespace
