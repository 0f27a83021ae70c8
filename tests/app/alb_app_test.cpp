#include "app/alb_app.h"

#include "app/alb_dir_tree.h"
#include "app/alb_doc.h"
#include "app/frame_commands.h"
#include "app/frame_panes.h"
#include "app/main_frame.h"
#include "codecs/bmp_writer.h"
#include "common/host_path.h"
#include "tests/app/doc_test_support.h"
#include "tests/support/qt_test_app.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QToolBar>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// A device root of its own (also the home folder, so the personal folder is "\Pictures") with
// pictures in \Pictures, \Pics and the root, and a settings file inside it.
class AlbAppTest : public ::testing::Test
{
protected:
    AlbAppTest()
        : rootEnv("VISTREL_ROOT", root.path().string()),
          homeEnv("HOME", root.path().string()),
          configEnv("XDG_CONFIG_HOME", (root.path() / "config").string())
    {
        EnsureTestApplication();
        fs::create_directories(root.path() / "Pictures");
        fs::create_directories(root.path() / "Pics");
        for (const char *picture :
             { "\\Pictures\\p.bmp", "\\Pics\\a.bmp", "\\Pics\\b.bmp", "\\r.bmp" })
            makePicture(picture);
    }

    static void makePicture(const std::string &devicePath, std::int32_t width = 2)
    {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width + 3) * 3 * 2, 0x80);
        BmpWriter writer;
        writer.write(HostPath(devicePath),
                     PixelSpan::Padded(pixels.data(), width, 2, RowPadFor(width)));
    }

    // Runs the event loop until condition holds or two seconds passed.
    static bool eventually(const std::function<bool()> &condition)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return condition();
    }

    std::string settingsPath() const { return (root.path() / "settings.conf").string(); }

    static std::string shown(const CAlbApp &app)
    {
        CAlbApp &self = const_cast<CAlbApp &>(app);
        const ImageItem *first = app.document()->FirstSelected();
        return self.appSettings().currentFolder + "|" + (first ? first->fileName : "") + "|"
                + std::to_string(self.appSettings().viewMode);
    }

    TempDir root;
    ScopedEnv rootEnv;
    ScopedEnv homeEnv;
    ScopedEnv configEnv;
};

TEST_F(AlbAppTest, StartShowsTheCommandLinesFolderPictureAndView)
{
    struct Row
    {
        std::vector<std::string> parameters;
        std::string expected;
    };

    const Row rows[] = {
        { {}, "\\Pictures||30101" },
        { { "-i", "\\Pics\\b.bmp" }, "\\Pics|b.bmp|30102" },
        { { "/FS", "\\Pics\\a.bmp" }, "\\Pics|a.bmp|30103" },
        { { "-t", "\\Pics\\" }, "\\Pics||30101" },
        // A value without a backslash is no picture path: as if nothing were given.
        { { "-fs", "b.bmp" }, "\\Pictures||30101" },
        { { "-i", "\\r.bmp" }, "\\|r.bmp|30102" },
        // A folder that is gone shows its nearest existing parent.
        { { "-t", "\\Pics\\gone\\deeper" }, "\\Pics||30101" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.expected);
        fs::remove(settingsPath());
        CAlbApp app(settingsPath());
        ASSERT_EQ(app.initInstance(row.parameters), CAlbApp::Start::Running);
        RecordingSink sink;
        EXPECT_EQ(shown(app), row.expected);
        EXPECT_EQ(app.appSettings().appFlags & AppFlag::StartingUp, 0u);
        EXPECT_TRUE(app.mainFrame()->isVisible());
    }
}

// A capture's notice asks for its picture: Select View of it, as "-i" would.
TEST_F(AlbAppTest, APictureAskedForFromOutsideOpensInSelectView)
{
    CAlbApp app(settingsPath());
    ASSERT_EQ(app.initInstance({}), CAlbApp::Start::Running);
    app.openPicture("\\Pics\\b.bmp");
    EXPECT_EQ(shown(app), "\\Pics|b.bmp|30102");
}

TEST_F(AlbAppTest, SecondStartHandsItsCommandLineOverAndTheFirstRunsIt)
{
    CAlbApp first(settingsPath());
    ASSERT_EQ(first.initInstance({}), CAlbApp::Start::Running);
    RecordingSink sink;
    auto *dialog = new QDialog(first.mainFrame());
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->show();

    CAlbApp second(settingsPath());
    EXPECT_EQ(second.initInstance({ "-i", "\\Pics\\b.bmp" }), CAlbApp::Start::HandedOver);
    EXPECT_EQ(second.mainFrame(), nullptr);

    QElapsedTimer timer;
    timer.start();
    while (shown(first) != "\\Pics|b.bmp|30102" && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(shown(first), "\\Pics|b.bmp|30102");
    // The open dialog was cancelled before the command line ran.
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    // The handed-over text stays in the store.
    EXPECT_EQ(first.settingsStore().readString(SettingsSectionKey("Strings"), "Command"),
              "-i \\Pics\\b.bmp");

    // Run again from the store through the route: a stored "-t" changes the folder.
    first.settingsStore().writeString(SettingsSectionKey("Strings"), "Command", "-t \\Pictures");
    first.mainFrame()->routeCommand(FrameCmd::RunHandedOverCommandLine);
    EXPECT_EQ(shown(first), "\\Pictures||30101");
}

// Pictures that another program writes, rewrites or removes in the folder on show reach the album
// without waiting for an activation, and so does a new sub-folder in the tree.
TEST_F(AlbAppTest, FolderOnShowFollowsOtherProgramsChanges)
{
    CAlbApp app(settingsPath());
    ASSERT_EQ(app.initInstance({ "-t", "\\Pics" }), CAlbApp::Start::Running);
    RecordingSink sink;
    CAlbDoc &doc = *app.document();
    using Names = std::vector<std::string>;

    makePicture("\\Pics\\c.bmp");
    EXPECT_TRUE(eventually([&] { return doc.FileNames() == Names{ "a.bmp", "b.bmp", "c.bmp" }; }));
    makePicture("\\Pics\\a.bmp", 5);
    EXPECT_TRUE(eventually([&] { return doc.ItemAt(0)->info.width == 5; }));
    fs::remove(root.path() / "Pics" / "b.bmp");
    EXPECT_TRUE(eventually([&] { return doc.FileNames() == Names{ "a.bmp", "c.bmp" }; }));

    fs::create_directories(root.path() / "Pics" / "New");
    const auto pics = [&] {
        return app.mainFrame()->panes().tree()->currentItem();
    };
    EXPECT_TRUE(eventually([&] { return pics()->childCount() == 1; }));
    EXPECT_EQ(app.appSettings().currentFolder, "\\Pics");
}

TEST_F(AlbAppTest, ExitWritesTheOrderFileAndTheSettings)
{
    {
        CAlbApp app(settingsPath());
        ASSERT_EQ(app.initInstance({ "-t", "\\Pics" }), CAlbApp::Start::Running);
        RecordingSink sink;
        app.mainFrame()->routeCommand(FrameCmd::ToggleToolbar);
        app.exitInstance();
        EXPECT_EQ(app.mainFrame(), nullptr);
    }
    bool orderFile = false;
    for (const auto &entry : fs::directory_iterator(root.path() / "Pics"))
        orderFile = orderFile || entry.path().extension() == ".orna";
    EXPECT_TRUE(orderFile);

    SettingsStore store(settingsPath());
    AppSettings loaded;
    LoadSettings(store, loaded, 16, 16);
    EXPECT_EQ(loaded.currentFolder, "\\Pics");
    // The toolbar hidden before exit stays hidden at the next start.
    EXPECT_FALSE(loaded.toolbarVisible());
}

TEST_F(AlbAppTest, LowMemoryNoticeThenActivationShowsTheFolderAgainInThumbnailView)
{
    CAlbApp app(settingsPath());
    ASSERT_EQ(app.initInstance({ "/FS", "\\Pics\\a.bmp" }), CAlbApp::Start::Running);
    RecordingSink sink;
    CMainFrame *frame = app.mainFrame();
    ASSERT_EQ(shown(app), "\\Pics|a.bmp|30103");
    auto *dialog = new QDialog(frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->show();
    // The program is in front when the notice comes.
    QElapsedTimer timer;
    timer.start();
    while (!QApplication::activeWindow() && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    // The host's notice arrives as a signal and is taken up by the event loop.
    std::raise(SIGUSR1);
    timer.restart();
    while (!(app.appSettings().appFlags & AppFlag::Hibernated) && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_NE(app.appSettings().appFlags & AppFlag::Hibernated, 0u);
    EXPECT_EQ(app.document()->Count(), 0);
    EXPECT_TRUE(frame->panes().area()->isHidden());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(frame->isFullScreen());

    // The program was in front: the frame taking the activation back from the closed dialog is
    // no return of the user. Leaving and coming back is.
    QEvent activate(QEvent::WindowActivate);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(frame, &activate);
    EXPECT_EQ(app.document()->Count(), 0);
    QCoreApplication::sendEvent(frame, &deactivate);
    QCoreApplication::sendEvent(frame, &activate);
    EXPECT_EQ(shown(app), "\\Pics||30101");
    EXPECT_EQ(app.document()->Count(), 2);
    EXPECT_FALSE(frame->panes().area()->isHidden());
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_EQ(frame->toolbar()->isHidden(), !app.appSettings().toolbarVisible());

    // Coming back to Full Screen View without a notice in between takes the screen again.
    frame->routeCommand(ViewMode::FullScreen);
    frame->showNormal();
    QCoreApplication::sendEvent(frame, &activate);
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_EQ(shown(app), "\\Pics|a.bmp|30103");
}

TEST(ExistingFolderFor, FallsBackToTheNearestExistingParent)
{
    TempDir root;
    ScopedEnv rootEnv("VISTREL_ROOT", root.path().string());
    fs::create_directories(root.path() / "A" / "B");
    EXPECT_EQ(ExistingFolderFor("\\A\\B\\"), "\\A\\B");
    EXPECT_EQ(ExistingFolderFor("\\A\\B\\C\\D"), "\\A\\B");
    EXPECT_EQ(ExistingFolderFor("\\Z"), "\\");
    EXPECT_EQ(ExistingFolderFor("\\"), "\\");
    EXPECT_EQ(ExistingFolderFor(""), "\\");
}

} // namespace
