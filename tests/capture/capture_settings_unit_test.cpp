#include "capture/capture_settings_unit.h"

#include "app/command_units.h"
#include "app/doc_commands.h"
#include "app/frame_messages.h"
#include "app/image_lists.h"
#include "app/main_frame.h"
#include "app/window_messages.h"
#include "capture/capture_settings.h"
#include "tests/app/doc_test_support.h"
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

// Stands for the capture: records the hot-key messages and timers the frame hands on.
class FrameRecorder final : public FrameMessageHandler
{
public:
    std::intptr_t onFrameMessage(std::uint32_t message, std::uintptr_t,
                                 std::intptr_t second) override
    {
        if (message == WM_HOTKEY)
            keyCodes.push_back(static_cast<int>(second >> 16));
        return 0;
    }

    bool onFrameTimer(std::uint32_t timerId) override
    {
        timers.push_back(timerId);
        return timerId == CaptureTimer;
    }

    std::vector<int> keyCodes;
    std::vector<std::uint32_t> timers;
};

// A frame with the recorder as its capture, the document, and a private X server for the button.
class CaptureSettingsUnitTest : public DocTest
{
protected:
    CaptureSettingsUnitTest()
    {
        EnsureTestApplication();
        mainFrame.setMessageHandler(&recorder);
    }

    ~CaptureSettingsUnitTest() override { mainFrame.setMessageHandler(nullptr); }

    void SetUp() override { ASSERT_TRUE(server.ok()) << server.error(); }

    std::unique_ptr<CaptureSettingsUnit> makeUnit(bool enabled, int trigger)
    {
        CaptureSettings::setBit(settings, CaptureFlag::CaptureEnabled, enabled);
        CaptureSettings::setTrigger(settings, trigger);
        const CommandUnitContext context{ doc, settings, store, lists, mainFrame };
        return std::make_unique<CaptureSettingsUnit>(context, server.display());
    }

    void press(const std::string &key)
    {
        ASSERT_EQ(RunCommand("DISPLAY=" + server.display() + " xdotool key " + key).status, 0);
    }

    // Widgets below need the application first.
    bool application = (EnsureTestApplication(), true);
    XvfbServer server;
    ImageLists lists;
    CMainFrame mainFrame{ settings };
    FrameRecorder recorder;
};

TEST_F(CaptureSettingsUnitTest, TheButtonClaimedAtStartReachesTheFrameAndIsGivenBackAtTheEnd)
{
    auto unit = makeUnit(true, 1);
    EXPECT_EQ(unit->button().registeredButton(), 1);
    EXPECT_TRUE(CaptureSettings::enabled(settings));
    press("Print");
    ASSERT_TRUE(ProcessEventsUntil([&] { return recorder.keyCodes.size() == 1; }, 5000));
    EXPECT_EQ(recorder.keyCodes[0], 193);

    // Print moves to another key: the button follows it.
    XConnection other(server.display());
    ASSERT_NE(MoveKeysymToSpareKey(other, kPrintKeysym), 0);
    ASSERT_TRUE(ProcessEventsUntil(
            [&] {
                press("Print");
                return ProcessEventsUntil([&] { return recorder.keyCodes.size() >= 2; }, 300);
            },
            5000));

    unit.reset();
    EXPECT_TRUE(GrabKey(other, kPrintKeysym));
}

TEST_F(CaptureSettingsUnitTest, ATakenButtonClearsCaptureSilentlyAtStartAndIsReportedInTheDialog)
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

TEST_F(CaptureSettingsUnitTest, ADelayFiresOnceWhileTheTitleCountsDown)
{
    auto unit = makeUnit(false, 1);
    const QString normal = mainFrame.windowTitle();
    unit->dialogHost().startDelay(1600);
    EXPECT_TRUE(mainFrame.windowTimers().isActive(CaptureTimer));
    EXPECT_EQ(mainFrame.windowTitle(), CaptureCountdown::title(2));
    EXPECT_TRUE(ProcessEventsUntil(
            [&] { return mainFrame.windowTitle() == CaptureCountdown::title(1); }, 3000));
    ASSERT_TRUE(ProcessEventsUntil([&] { return !recorder.timers.empty(); }, 3000));
    EXPECT_EQ(recorder.timers, std::vector<std::uint32_t>{ CaptureTimer });
    EXPECT_FALSE(mainFrame.windowTimers().isActive(CaptureTimer));
    EXPECT_EQ(mainFrame.windowTitle(), normal);

    // A delay stopped early gives the title back as well.
    unit->dialogHost().startDelay(5000);
    mainFrame.windowTimers().kill(CaptureTimer);
    EXPECT_TRUE(ProcessEventsUntil([&] { return mainFrame.windowTitle() == normal; }, 3000));
    EXPECT_FALSE(unit->countdown().counting());
}

TEST_F(CaptureSettingsUnitTest, CaptureSettingsPassesTheDocumentAndOpensTheCaptureDialog)
{
    auto unit = makeUnit(false, 1);
    mainFrame.setRoute(&doc, nullptr, { unit.get() });
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            opened = dialog->objectName() + " " + dialog->windowTitle();
            static_cast<QDialog *>(dialog)->reject();
        }
    });
    EXPECT_TRUE(mainFrame.routeCommand(DocCmd::CaptureSettings));
    EXPECT_EQ(opened.toStdString(), "107 Capture");
    mainFrame.setRoute(&doc, nullptr);
}

} // namespace
