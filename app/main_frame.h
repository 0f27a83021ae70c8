#pragma once

#include "app/command_chain.h"
#include "app/document_frame.h"
#include "app/view_factory.h"
#include "platform/command_route.h"
#include "platform/message_window.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CAlbDirTree;
class CAlbDoc;
class CAlbSplitter;
class CommandActions;
class FrameMessageHandler;
class LowMemoryNotice;
class QAction;
class QMenu;
class QShortcut;
class QToolBar;
struct AppSettings;
struct ImageLists;

// Where the Go To popup opens for a button at buttonRect (global coordinates): its bottom edge on
// the button's top edge, its left edge 22 pixels left of the button's right edge.
QPoint GoToPopupPosition(const QRect &buttonRect, const QSize &popupSize);

// The help context of the frame's help request in a view mode: the mode itself for Thumbnail
// and Select View, otherwise the main contents.
std::uint32_t FrameHelpContext(std::int32_t viewMode);

// The one top-level window: the menu bar ("File", "View", "Tools"), the command bar with the
// toolbar toggle and the view buttons, the toolbar of the view mode, and the pane area, which is
// the splitter with the folder tree, the thumbnail view and the image view once createClient has
// made them. Every menu, bar and key command goes through routeCommand, the views of the panes
// on show first; states are refreshed in one place (updateCommandStates) before menus open and
// after every command.
//
// The frame also takes the low-memory notice (it gives up the pictures and hides the panes) and,
// on the next activation, asks for the album to be shown again through resumeRequested.
//
// Numbered messages and timers (the capture's) go to the one handler the program sets.
class CMainFrame : public QMainWindow,
                   public DocumentFrame,
                   public CommandTarget,
                   public ViewHost,
                   public MessageWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(AppSettings &settings, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Makes the splitter in the orientation of the screen's shape and the views of the
    // document: the image view, the tree, the thumbnail view (through the registered view
    // factory). False, with no splitter left, when a view cannot be made. lists may be null.
    bool createClient(CAlbDoc &document, const ImageLists *lists);

    CAlbSplitter *splitter() const { return split; }

    CAlbDirTree *tree() const { return folderTree; }

    // The view that last had the stylus or was made active by a view switch.
    QWidget *activeView() const { return active; }

    // The document and the application: the targets after the views. Units (file operations,
    // capture, sheets) are asked right after the document.
    void setRoute(CommandTarget *document, CommandTarget *application,
                  const std::vector<CommandTarget *> &units = {});

    // Offers the command along the route, then refreshes every command's state. False when no
    // target handled it.
    bool routeCommand(std::uint32_t id);

    CommandState commandState(std::uint32_t id) const override { return chain.state(id); }

    void updateCommandStates();

    // The action of a command (shared by menus and bars), the bars and the pane area.
    QAction *commandAction(std::uint32_t id);

    QToolBar *commandBar() const { return bar; }

    // The command bar's buttons on show by command id, each with its centre in the frame's
    // coordinates (the same as the frame window's own on the desktop).
    std::vector<std::pair<std::uint32_t, QPoint>> commandBarButtons() const;

    QToolBar *toolbar() const { return tools; }

    std::uint32_t loadedToolbar() const { return toolbarId; }

    QWidget *paneArea() const { return panes; }

    // DocumentFrame.
    void sendCommand(std::uint32_t id) override { routeCommand(id); }

    void arrangePanes(std::int32_t viewMode, std::int32_t previousViewMode) override;
    void setFullScreen(bool on, std::uint32_t newToolbarId) override;
    void relayoutAndPaint() override;

    void messageToTree(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                       bool post) override;
    void messageToThumbnails(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                             bool post) override;
    void messageToImageView(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                            bool post) override;
    std::string treeFolder() const override;
    void rebuildTree(const std::string &folder) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    void refreshViews(int firstSelected) override;
    void refreshTree() override;

    bool hasThumbnailView() const override { return madeThumbnails; }

    void focusThumbnailView() override;
    void repaintThumbnails() override;
    void setGoToSubmenu(const std::vector<MenuEntry> &entries) override;
    void showGoToPopup(const std::vector<MenuEntry> &entries) override;

    // CommandTarget: the toolbar toggle and Exit.
    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

    // ViewHost (sendCommand is the DocumentFrame's).
    void postCommand(std::uint32_t id) override;
    void activateView(QWidget &view) override;
    void cellSizeChanged() override;
    void showZoomIndicator(bool actualSize) override;

    void commandStatesChanged() override { updateCommandStates(); }

    // MessageWindow: handed to the message handler (nothing happens while there is none).
    std::intptr_t onMessage(std::uint32_t message, std::uintptr_t first,
                            std::intptr_t second) override;
    void onTimer(std::uint32_t timerId) override;

    // handler may be null; the caller keeps ownership and resets it before handler goes.
    void setMessageHandler(FrameMessageHandler *handler) { messageHandler = handler; }

    // Queues a message for the frame itself, delivered by the event loop.
    void postFrameMessage(std::uint32_t message, std::uintptr_t first, std::intptr_t second);

    WindowTimers &windowTimers() { return *timers; }

    // The low-memory notice: once until the next activation, the pictures are given up, the
    // panes (and outside Full Screen View the toolbar) hidden and open dialogs closed.
    void hibernate();

    // The bars carry their buttons only: a right click on them opens no menu (the toolkit's
    // own would hide a bar behind the program's back, the toolbar toggle's state with it).
    QMenu *createPopupMenu() override { return nullptr; }

signals:
    // A command went along the route (whether or not anyone took it).
    void commandRouted(std::uint32_t id);
    // The first activation after a low-memory notice: the album must be shown again.
    void resumeRequested();
    // Something outside the album (a capture's notice) asks to show the picture at a device path
    // in Select View.
    void pictureOpenRequested(const QString &devicePath);

protected:
    bool event(QEvent *event) override;

private:
    void toggleToolbar();
    void fullScreenKey(bool toggle);
    void loadToolbar(std::uint32_t id);
    void showHelp();
    std::vector<CommandTarget *> paneViews() const;
    bool makeViews(const ImageLists *lists);
    QWidget *makeView(const ViewFactory::Maker &maker, const ViewContext &context,
                      std::int32_t backColor);
    void connectTree();
    void pressEnterInTree();
    void activated();
    void deliver(QWidget *view, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                 bool post);

    AppSettings &settings;
    CommandChain chain;
    CommandActions *actions;
    QToolBar *bar;
    QToolBar *tools;
    QWidget *panes;
    std::uint32_t toolbarId = 0;
    CAlbDoc *doc = nullptr;
    CAlbSplitter *split = nullptr;
    CAlbDirTree *folderTree = nullptr;
    ViewFactory factory;
    bool madeThumbnails = false;
    QPointer<QWidget> active;
    QPointer<QWidget> focusAtDeactivation;
    Qt::WindowStates windowedState = Qt::WindowNoState;
    bool leftSinceNotice = false;
    LowMemoryNotice *lowMemory;
    // Escape belongs to the views and dialogs except in Full Screen View.
    QShortcut *escapeKey = nullptr;
    FrameMessageHandler *messageHandler = nullptr;
    std::unique_ptr<WindowTimers> timers;
};
