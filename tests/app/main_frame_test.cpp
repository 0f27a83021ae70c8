#include "app/main_frame.h"

#include "app/alb_dir_tree.h"
#include "app/alb_splitter.h"
#include "app/command_bars.h"
#include "app/doc_commands.h"
#include "app/frame_commands.h"
#include "app/frame_panes.h"
#include "app/window_messages.h"
#include "common/string_table.h"
#include "platform/message_window.h"
#include "tests/app/doc_test_support.h"
#include "tests/support/qt_test_app.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

// A route target that records what reaches it and decides a fixed set of commands.
class RecordingTarget final : public CommandTarget
{
public:
    bool onCommand(std::uint32_t id) override
    {
        received.push_back(id);
        return handles.count(id) != 0;
    }

    bool onCommandState(std::uint32_t id, CommandState &state) override
    {
        const auto found = states.find(id);
        if (found == states.end())
            return false;
        state = found->second;
        return true;
    }

    std::set<std::uint32_t> handles;
    std::map<std::uint32_t, CommandState> states;
    std::vector<std::uint32_t> received;
};

std::vector<std::uint32_t> ButtonIds(const QToolBar *bar)
{
    std::vector<std::uint32_t> ids;
    for (const QAction *action : bar->actions())
        ids.push_back(action->isSeparator() ? 0 : action->objectName().toUInt());
    return ids;
}

class MainFrameTest : public ::testing::Test
{
protected:
    // Widgets need the application object before they are made.
    bool applicationReady = (EnsureTestApplication(), true);
    AppSettings settings;
    RecordingTarget document;
    RecordingTarget application;
    CMainFrame frame{ settings };
};

TEST_F(MainFrameTest, CommandsTravelDocumentFrameApplicationAndStopAtTheFirstTaker)
{
    document.handles = { DocCmd::DeletePictures };
    document.states[DocCmd::DeletePictures] = CommandState{ .handled = true };
    application.handles = { FrameCmd::About };
    application.states[FrameCmd::About] = CommandState{ .handled = true };
    frame.setRoute(&document, &application);

    frame.commandAction(DocCmd::DeletePictures)->trigger();
    frame.commandAction(FrameCmd::About)->trigger();
    EXPECT_EQ(document.received,
              (std::vector<std::uint32_t>{ DocCmd::DeletePictures, FrameCmd::About }));
    EXPECT_EQ(application.received, (std::vector<std::uint32_t>{ FrameCmd::About }));

    // The frame takes the toolbar toggle itself: the application never sees it.
    const bool shown = settings.toolbarVisible();
    EXPECT_TRUE(frame.routeCommand(FrameCmd::ToggleToolbar));
    EXPECT_NE(settings.toolbarVisible(), shown);
    EXPECT_EQ(application.received.size(), 1u);
    EXPECT_TRUE(frame.commandAction(FrameCmd::ToggleToolbar)->isChecked()
                == settings.toolbarVisible());

    // Nobody takes an unknown command, and a command nobody decides cannot be chosen.
    EXPECT_FALSE(frame.routeCommand(12345));
    document.received.clear();
    frame.commandAction(FrameCmd::ZoomIn)->trigger();
    EXPECT_TRUE(document.received.empty());
}

TEST_F(MainFrameTest, ActionsShowTheStateTheRouteDecides)
{
    document.states[DocCmd::DeletePictures] = CommandState{ .enabled = false, .handled = true };
    document.states[DocCmd::SelectView] =
            CommandState{ .checked = true, .radio = true, .handled = true };
    document.states[DocCmd::ThumbnailView] = CommandState{ .radio = true, .handled = true };
    frame.setRoute(&document, &application);

    EXPECT_FALSE(frame.commandAction(DocCmd::DeletePictures)->isEnabled());
    EXPECT_TRUE(frame.commandAction(DocCmd::SelectView)->isChecked());
    EXPECT_FALSE(frame.commandAction(DocCmd::ThumbnailView)->isChecked());
    // Nothing on the route acts on zooming until the image view exists.
    EXPECT_FALSE(frame.commandAction(FrameCmd::ZoomIn)->isEnabled());
    EXPECT_TRUE(frame.commandAction(FrameCmd::Exit)->isEnabled());

    // A changed state shows after the next command, whatever it was.
    document.states[DocCmd::DeletePictures].enabled = true;
    document.states[DocCmd::SelectView].checked = false;
    document.states[DocCmd::ThumbnailView].checked = true;
    frame.routeCommand(12345);
    EXPECT_TRUE(frame.commandAction(DocCmd::DeletePictures)->isEnabled());
    EXPECT_FALSE(frame.commandAction(DocCmd::SelectView)->isChecked());
    EXPECT_TRUE(frame.commandAction(DocCmd::ThumbnailView)->isChecked());
}

// A right click on a bar opens nothing: the toolkit's own menu would hide a bar behind the
// program's back.
TEST_F(MainFrameTest, TheBarsOpenNoMenuOnARightClick)
{
    frame.show();
    for (QToolBar *bar : { frame.commandBar(), frame.toolbar() }) {
        const QPoint inside(2, 2);
        QContextMenuEvent click(QContextMenuEvent::Mouse, inside, bar->mapToGlobal(inside));
        QApplication::sendEvent(bar, &click);
        QCoreApplication::processEvents();
        QWidget *opened = QApplication::activePopupWidget();
        EXPECT_EQ(opened, nullptr) << bar->objectName().toStdString();
        if (opened)
            opened->close();
    }
}

// Leaving full screen brings the window back as it was: a maximised one stays maximised.
TEST_F(MainFrameTest, LeavingFullScreenRestoresTheWindowState)
{
    for (const bool maximised : { true, false }) {
        if (maximised)
            frame.showMaximized();
        else
            frame.showNormal();
        frame.setFullScreen(true, 0);
        EXPECT_TRUE(frame.isFullScreen());
        frame.setFullScreen(false, 0);
        EXPECT_FALSE(frame.isFullScreen());
        EXPECT_EQ(frame.isMaximized(), maximised);
    }
}

TEST_F(MainFrameTest, BarsMenusAndTooltips)
{
    EXPECT_EQ(ButtonIds(frame.commandBar()),
              (std::vector<std::uint32_t>{ 30109, 0, 30101, 30102, 30103 }));
    EXPECT_EQ(ButtonIds(frame.toolbar()),
              (std::vector<std::uint32_t>{ 30001, 30003, 30004, 0, 30306, 30301, 0, 30104, 30112,
                                           30303 }));

    for (std::uint32_t barId : { 901u, 902u, 904u }) {
        for (std::uint32_t id : BarButtons(barId)) {
            if (id == 0)
                continue;
            SCOPED_TRACE(id);
            const auto tip = FindString(id);
            ASSERT_TRUE(tip.has_value());
            EXPECT_EQ(frame.commandAction(id)->toolTip().toStdString(), *tip);
            // Never a text-only bar: without an icon theme the drawn icons stand in.
            EXPECT_FALSE(frame.commandAction(id)->icon().pixmap(16, 16).isNull());
        }
    }
    EXPECT_EQ(frame.commandAction(DocCmd::AutoRotate)->toolTip(), "Smart Rotate");
    EXPECT_EQ(frame.commandAction(DocCmd::AutoRotate)->text(), "Auto Rotate");
    EXPECT_EQ(frame.commandAction(DocCmd::ImageInfo)->text(), "Image Info...");
    const std::pair<std::uint32_t, QKeySequence> keys[] = {
        { FrameCmd::Exit, QKeySequence(Qt::CTRL | Qt::Key_Q) },
        { DocCmd::DeletePictures, QKeySequence(Qt::Key_Delete) },
        { DocCmd::SelectAll, QKeySequence(Qt::CTRL | Qt::Key_A) },
        { DocCmd::ImageInfo, QKeySequence(Qt::CTRL | Qt::Key_I) },
    };
    for (const auto &[id, key] : keys) {
        EXPECT_EQ(frame.commandAction(id)->shortcut(), key) << id;
        // The keys work in full screen too, where the menu bar is hidden.
        EXPECT_TRUE(static_cast<QWidget &>(frame).actions().contains(frame.commandAction(id)))
                << id;
    }

    QStringList titles;
    for (const QAction *menu : frame.menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{ "File", "View", "Tools" }));
}

TEST_F(MainFrameTest, GoToSubmenuTakesTheDocumentsEntriesAndRoutesThem)
{
    frame.setRoute(&document, &application);
    frame.setGoToSubmenu({ { 31002, "Home Folder" },
                           { 31000, "Up One Level" },
                           {},
                           { 0, "", true },
                           { 31003, "&1 \\Pictures" } });
    const QMenu *submenu = frame.menuBar()->findChild<QMenu *>("30104");
    ASSERT_NE(submenu, nullptr);
    ASSERT_EQ(submenu->actions().size(), 5);
    submenu->actions()[4]->trigger();
    EXPECT_EQ(document.received, (std::vector<std::uint32_t>{ 31003 }));
}

TEST(MainFrameGeometry, GoToPopupOpensAboveTheButtonOverlappingItsRightEnd)
{
    // A 24 x 20 button at (100, 300), a 120 x 90 popup.
    EXPECT_EQ(GoToPopupPosition(QRect(100, 300, 24, 20), QSize(120, 90)), QPoint(102, 210));
    EXPECT_EQ(FrameHelpContext(30101), 30101u);
    EXPECT_EQ(FrameHelpContext(30102), 30102u);
    EXPECT_EQ(FrameHelpContext(30103), 0u);
    EXPECT_EQ(FrameHelpContext(0), 0u);
}

// The real document with pictures: the view switch loads the toolbar of the mode.
class FrameWithDocumentTest : public DocTest
{
protected:
    FrameWithDocumentTest()
    {
        makeFolder("\\Pics");
        makePicture("\\Pics\\a.bmp");
        makePicture("\\Pics\\b.bmp");
        mainFrame.setRoute(&doc, nullptr);
        doc.setFrame(&mainFrame.panes());
    }

    ~FrameWithDocumentTest() override { doc.setFrame(nullptr); }

    bool applicationReady = (EnsureTestApplication(), true);
    CMainFrame mainFrame{ settings };
};

TEST_F(FrameWithDocumentTest, ToolbarFollowsTheViewMode)
{
    mainFrame.routeCommand(DocCmd::ThumbnailView);
    EXPECT_FALSE(mainFrame.commandAction(DocCmd::SelectView)->isEnabled()); // no pictures yet

    doc.ChangeFolder("\\Pics");
    mainFrame.updateCommandStates();
    ASSERT_TRUE(mainFrame.commandAction(DocCmd::SelectView)->isEnabled());

    struct Row
    {
        std::uint32_t command;
        std::uint32_t toolbar;
        std::size_t entries; // buttons and separators
        bool fullScreen;
    };

    for (const Row &row :
         { Row{ DocCmd::SelectView, 904, 13, false }, Row{ DocCmd::FullScreenView, 902, 10, true },
           Row{ DocCmd::SelectView, 904, 13, false },
           Row{ DocCmd::ThumbnailView, 902, 10, false } }) {
        SCOPED_TRACE(row.command);
        mainFrame.commandAction(row.command)->trigger();
        EXPECT_EQ(settings.viewMode, static_cast<std::int32_t>(row.command));
        EXPECT_EQ(mainFrame.loadedToolbar(), row.toolbar);
        EXPECT_EQ(ButtonIds(mainFrame.toolbar()).size(), row.entries);
        EXPECT_EQ(mainFrame.isFullScreen(), row.fullScreen);
        EXPECT_EQ(mainFrame.commandBar()->isHidden(), row.fullScreen);
        EXPECT_EQ(mainFrame.toolbar()->isHidden(), row.fullScreen || !settings.toolbarVisible());
        // The pressed view button is the current mode's only.
        for (std::uint32_t view : { 30101u, 30102u, 30103u })
            EXPECT_EQ(mainFrame.commandAction(view)->isChecked(), view == row.command);
    }
}

TEST_F(FrameWithDocumentTest, GoToEntryChosenFromTheSubmenuChangesTheFolder)
{
    settings.homeFolder = "\\Pics";
    settings.currentFolder = "\\";
    // States refresh (as before the File menu opens) and the document fills the submenu.
    mainFrame.updateCommandStates();
    QMenu *submenu = mainFrame.menuBar()->findChild<QMenu *>("30104");
    ASSERT_NE(submenu, nullptr);
    QAction *home = submenu->findChild<QAction *>("31002");
    ASSERT_NE(home, nullptr);

    // The folder change rebuilds the submenu while the chosen entry is still signalling.
    home->trigger();
    EXPECT_EQ(settings.currentFolder, "\\Pics");
    EXPECT_EQ(doc.Count(), 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_NE(submenu->findChild<QAction *>("31003"), nullptr);
}

TEST_F(FrameWithDocumentTest, ThumbnailSizeEntryChosenSetsTheCellAndTakesTheCheckMark)
{
    const QMenu *sizes = mainFrame.menuBar()->findChild<QMenu *>("30119");
    ASSERT_NE(sizes, nullptr);
    const QList<QAction *> entries = sizes->actions();
    QStringList texts;
    for (const QAction *entry : entries)
        texts << entry->text();
    EXPECT_EQ(texts,
              (QStringList{ "Small", "Large", "96 Pixels", "128 Pixels", "192 Pixels",
                            "256 Pixels" }));

    entries[3]->trigger();
    EXPECT_EQ(settings.prefs.cellWidth, 127);
    EXPECT_EQ(settings.prefs.cellHeight, 167);
    for (int i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i]->isChecked(), i == 3) << i;

    // A size of none of the steps leaves every entry unchecked.
    settings.prefs.cellWidth = 150;
    mainFrame.updateCommandStates();
    for (const QAction *entry : entries)
        EXPECT_FALSE(entry->isChecked());
}

// A view made through the view factory that takes some commands and every message, writing
// "name:command" and "name:message/first" into a log shared by the views.
class FakeView final : public QWidget, public CommandTarget, public MessageWindow
{
public:
    FakeView(std::string viewName, std::vector<std::string> &sharedLog, QWidget *parent)
        : QWidget(parent), name(std::move(viewName)), log(sharedLog)
    {
        setFocusPolicy(Qt::StrongFocus);
    }

    bool onCommand(std::uint32_t id) override
    {
        log.push_back(name + ":" + std::to_string(id));
        return handles.count(id) != 0;
    }

    bool onCommandState(std::uint32_t id, CommandState &state) override
    {
        if (handles.count(id) == 0)
            return false;
        state = CommandState{ .handled = true };
        return true;
    }

    std::intptr_t onMessage(std::uint32_t message, std::uintptr_t first, std::intptr_t) override
    {
        log.push_back(name + ":" + std::to_string(message) + "/" + std::to_string(first));
        return 0;
    }

    std::string name;
    std::vector<std::string> &log;
    std::set<std::uint32_t> handles;
};

// The real document and frame with fake thumbnail and image views in the splitter, over a
// folder of two pictures.
class FrameWithViewsTest : public DocTest
{
protected:
    FrameWithViewsTest()
    {
        makeFolder("\\Pics");
        makePicture("\\Pics\\a.bmp");
        makePicture("\\Pics\\b.bmp");
        ViewFactory factory;
        factory.thumbnailView = [this](const ViewContext &context) {
            return thumbs = new FakeView("thumbs", log, context.parent);
        };
        factory.imageView = [this](const ViewContext &context) {
            return image = new FakeView("image", log, context.parent);
        };
        SetViewFactory(factory);
        created = mainFrame.panes().createClient(doc, nullptr);
        mainFrame.setRoute(&doc, nullptr);
        doc.setFrame(&mainFrame.panes());
    }

    ~FrameWithViewsTest() override
    {
        doc.setFrame(nullptr);
        SetViewFactory({});
    }

    void loadPics()
    {
        mainFrame.panes().tree()->BuildTree("\\Pics");
        mainFrame.routeCommand(DocCmd::ReloadFromTree);
        mainFrame.routeCommand(DocCmd::ThumbnailView);
        log.clear();
    }

    bool applicationReady = (EnsureTestApplication(), true);
    std::vector<std::string> log;
    FakeView *thumbs = nullptr;
    FakeView *image = nullptr;
    CMainFrame mainFrame{ settings };
    bool created = false;
};

TEST_F(FrameWithViewsTest, ClientHoldsTheTreeAndTheFactorysViews)
{
    ASSERT_TRUE(created);
    ASSERT_NE(mainFrame.panes().splitter(), nullptr);
    EXPECT_EQ(mainFrame.centralWidget(), mainFrame.panes().splitter());
    EXPECT_TRUE(mainFrame.panes().hasThumbnailView());
    EXPECT_EQ(mainFrame.panes().splitter()->pane(0), mainFrame.panes().tree());
    EXPECT_EQ(mainFrame.panes().splitter()->pane(1), thumbs);
    EXPECT_EQ(image->objectName(), "40964");
    EXPECT_TRUE(image->isHidden());
    // The offscreen screen is wider than tall: the panes stand side by side.
    EXPECT_FALSE(mainFrame.panes().splitter()->stacked());
}

TEST_F(FrameWithViewsTest, CommandsGoToThePaneViewsBeforeTheDocument)
{
    loadPics();
    thumbs->handles = { DocCmd::SelectAll };
    image->handles = { FrameCmd::NextImage, FrameCmd::ZoomIn };

    // Thumbnail View: the tree takes no commands, the thumbnails in the second pane do, and the
    // document never sees Select All.
    EXPECT_TRUE(mainFrame.routeCommand(DocCmd::SelectAll));
    EXPECT_EQ(doc.SelectedCount(), 0);
    EXPECT_FALSE(mainFrame.routeCommand(FrameCmd::NextImage)); // the image view is not on show
    EXPECT_FALSE(mainFrame.commandAction(FrameCmd::ZoomIn)->isEnabled());
    EXPECT_EQ(log, (std::vector<std::string>{ "thumbs:30004", "thumbs:30115" }));

    // Select View: the strip first, then the image view.
    mainFrame.routeCommand(DocCmd::SelectView);
    log.clear();
    EXPECT_TRUE(mainFrame.routeCommand(FrameCmd::NextImage));
    EXPECT_EQ(log, (std::vector<std::string>{ "thumbs:30115", "image:30115" }));
    EXPECT_TRUE(mainFrame.commandAction(FrameCmd::ZoomIn)->isEnabled());

    // Full Screen View: only the image view is asked; Select All goes on to the document.
    mainFrame.routeCommand(DocCmd::FullScreenView);
    log.clear();
    mainFrame.routeCommand(DocCmd::SelectAll);
    EXPECT_TRUE(mainFrame.routeCommand(FrameCmd::NextImage));
    EXPECT_EQ(log, (std::vector<std::string>{ "image:30004", "image:30115" }));
}

TEST_F(FrameWithViewsTest, ViewSwitchAndSelectionReachTheViewsAsMessages)
{
    loadPics();
    mainFrame.routeCommand(DocCmd::SelectView);
    // The switch sends the list change at once; the selection of the first picture is posted
    // to the image view and arrives with the event loop.
    EXPECT_NE(std::find(log.begin(), log.end(), "thumbs:1112/0"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "image:1112/0"), log.end());
    const std::string current = "image:1113/" + std::to_string(doc.FirstSelected()->serial);
    EXPECT_EQ(std::find(log.begin(), log.end(), current), log.end());
    QCoreApplication::processEvents();
    EXPECT_NE(std::find(log.begin(), log.end(), current), log.end());

    // Enter in the tree (Thumbnail View) selects the first picture and tells the thumbnails.
    mainFrame.routeCommand(DocCmd::ThumbnailView);
    doc.ClearSelection();
    log.clear();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(mainFrame.panes().tree(), &enter);
    EXPECT_EQ(doc.FirstSelected(), doc.ItemAt(0));
    EXPECT_EQ(doc.SelectedCount(), 1);
    EXPECT_NE(std::find(log.begin(), log.end(), "thumbs:1113/0"), log.end());
    EXPECT_EQ(mainFrame.focusWidget(), thumbs);
}

TEST_F(FrameWithViewsTest, ChoosingAFolderInTheTreeLoadsItLater)
{
    settings.viewMode = ViewMode::Thumbnail;
    CAlbDirTree *tree = mainFrame.panes().tree();
    ASSERT_TRUE(tree->BuildTree("\\"));
    EXPECT_EQ(doc.Count(), 0);
    tree->setCurrentItem(tree->FindChild(tree->FindChild(nullptr, ""), "Pics"));
    // Posted: nothing changes inside the tree's notification.
    EXPECT_EQ(doc.Count(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(settings.currentFolder, "\\Pics");
    EXPECT_EQ(doc.Count(), 2);
}

TEST_F(FrameWithViewsTest, LowMemoryNoticeGivesUpThePicturesOnceUntilActivation)
{
    loadPics();
    settings.ui.captureFlags |= CaptureFlag::ToolbarVisible;
    int resumed = 0;
    QObject::connect(&mainFrame, &CMainFrame::resumeRequested, [&] { ++resumed; });
    doc.SelectItem(doc.ItemAt(0), true);
    mainFrame.updateCommandStates();
    ASSERT_TRUE(mainFrame.commandAction(DocCmd::SelectView)->isEnabled());
    ASSERT_TRUE(mainFrame.commandAction(DocCmd::Crop)->isEnabled());

    mainFrame.hibernate();
    EXPECT_NE(settings.appFlags & AppFlag::Hibernated, 0u);
    EXPECT_TRUE(mainFrame.panes().splitter()->isHidden());
    EXPECT_TRUE(mainFrame.toolbar()->isHidden());
    EXPECT_EQ(doc.Count(), 0);
    // Commands that need pictures cannot be chosen any more.
    EXPECT_FALSE(mainFrame.commandAction(DocCmd::SelectView)->isEnabled());
    EXPECT_FALSE(mainFrame.commandAction(DocCmd::Crop)->isEnabled());

    QEvent activate(QEvent::WindowActivate);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&mainFrame, &deactivate);
    QCoreApplication::sendEvent(&mainFrame, &activate);
    QCoreApplication::sendEvent(&mainFrame, &deactivate);
    QCoreApplication::sendEvent(&mainFrame, &activate);
    EXPECT_EQ(resumed, 1);
    EXPECT_EQ(settings.appFlags & AppFlag::Hibernated, 0u);
}

TEST(MainFrameClient, AViewThatCannotBeMadeLeavesNoSplitter)
{
    EnsureTestApplication();
    AppSettings settings;
    SettingsStore store("/nonexistent/settings.conf");
    CAlbDoc doc(settings, store);
    ViewFactory failing;
    failing.thumbnailView = [](const ViewContext &) -> QWidget * {
        return nullptr;
    };
    SetViewFactory(failing);
    CMainFrame frame(settings);
    EXPECT_FALSE(frame.panes().createClient(doc, nullptr));
    SetViewFactory({});
    EXPECT_EQ(frame.panes().splitter(), nullptr);
    EXPECT_EQ(frame.panes().tree(), nullptr);
    EXPECT_EQ(frame.panes().area(), frame.centralWidget());
    EXPECT_EQ(frame.panes().treeFolder(), "");
}

} // namespace

TEST_F(MainFrameTest, TheZoomIndicatorShowsOneOfTheTwoImageInfoButtons)
{
    document.handles = { DocCmd::ImageInfo };
    document.states[DocCmd::ImageInfo] = CommandState{ .handled = true };
    frame.setRoute(&document, &application);
    frame.setFullScreen(false, DocToolbar::Select);
    auto shown = [&] {
        std::vector<std::uint32_t> ids;
        for (const QAction *action : frame.toolbar()->actions()) {
            const std::uint32_t id = action->objectName().toUInt();
            if (action->isVisible() && (id == DocCmd::ImageInfo || id == DocCmd::ImageInfoButton))
                ids.push_back(id);
        }
        return ids;
    };
    EXPECT_EQ(shown(), std::vector<std::uint32_t>{ DocCmd::ImageInfoButton });
    frame.showZoomIndicator(false);
    EXPECT_EQ(shown(), std::vector<std::uint32_t>{ DocCmd::ImageInfo });
    // The menu's Image Info stays whatever the zoom, and the toolbar's button is the command.
    EXPECT_TRUE(frame.commandAction(DocCmd::ImageInfo)->isVisible());
    for (QAction *action : frame.toolbar()->actions()) {
        if (action->isVisible() && action->objectName() == "30112")
            action->trigger();
    }
    EXPECT_EQ(document.received, std::vector<std::uint32_t>{ DocCmd::ImageInfo });
    frame.showZoomIndicator(true);
    EXPECT_EQ(shown(), std::vector<std::uint32_t>{ DocCmd::ImageInfoButton });
}
