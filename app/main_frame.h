#pragma once

#include "app/command_chain.h"
#include "app/goto_menu.h"
#include "platform/command_route.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CommandActions;
class FramePanes;
class QAction;
class QMenu;
class QShortcut;
class QToolBar;
struct AppSettings;

// Where the Go To popup opens for a button at buttonRect (global coordinates): its bottom edge on
// the button's top edge, its left edge 22 pixels left of the button's right edge.
QPoint GoToPopupPosition(const QRect &buttonRect, const QSize &popupSize);

// The help context of the frame's help request in a view mode: the mode itself for Thumbnail
// and Select View, otherwise the main contents.
std::uint32_t FrameHelpContext(std::int32_t viewMode);

// The one top-level window: the menu bar ("File", "View", "Tools"), the command bar with the
// toolbar toggle and the view buttons, the toolbar of the view mode, and the client area, whose
// panes (the splitter with the folder tree and the views, once made) are what the document and
// the views talk to. Every menu, bar and key command goes through routeCommand, the views of the
// panes on show first; states are refreshed in one place (updateCommandStates) before menus open
// and after every command.
//
// The frame also takes the low-memory notice (it gives up the pictures and hides the panes) and,
// on the next activation, asks for the album to be shown again through resumeRequested.
class CMainFrame : public QMainWindow, public CommandTarget
{
    Q_OBJECT

public:
    explicit CMainFrame(AppSettings &settings, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // The client area: the document's and the views' side of the frame.
    FramePanes &panes() const { return *clientPanes; }

    // The document and the application: the targets after the views. Units (file operations,
    // capture, sheets) are asked right after the document.
    void setRoute(CommandTarget *document, CommandTarget *application,
                  const std::vector<CommandTarget *> &units = {});

    // Offers the command along the route, then refreshes every command's state. False when no
    // target handled it.
    bool routeCommand(std::uint32_t id);

    CommandState commandState(std::uint32_t id) const { return chain.state(id); }

    void updateCommandStates();

    // The action of a command (shared by menus and bars), the bars and the toolbar loaded.
    QAction *commandAction(std::uint32_t id);

    QToolBar *commandBar() const { return bar; }

    // The command bar's buttons on show by command id, each with its centre in the frame's
    // coordinates (the same as the frame window's own on the desktop).
    std::vector<std::pair<std::uint32_t, QPoint>> commandBarButtons() const;

    QToolBar *toolbar() const { return tools; }

    std::uint32_t loadedToolbar() const;

    // Full screen on or off; a toolbarId other than 0 loads that toolbar, shown (outside full
    // screen) when the toolbar is to be visible.
    void setFullScreen(bool on, std::uint32_t toolbarId);

    // The File menu's Go To submenu, and the Go To popup at the Go To button, whose chosen entry
    // goes along the route.
    void setGoToSubmenu(const std::vector<MenuEntry> &entries);
    void showGoToPopup(const std::vector<MenuEntry> &entries);

    // The Select View toolbar shows the Image Info button of the zoom: actual size or not.
    void showZoomIndicator(bool actualSize);

    // CommandTarget: the toolbar toggle and Exit.
    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

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

protected:
    bool event(QEvent *event) override;

private:
    void toggleToolbar();
    void fullScreenKey(bool toggle);
    void loadToolbar(std::uint32_t id);
    void activated();

    AppSettings &settings;
    CommandChain chain;
    CommandActions *actions;
    QToolBar *bar;
    QToolBar *tools;
    std::unique_ptr<FramePanes> clientPanes;
    QPointer<QWidget> focusAtDeactivation;
    Qt::WindowStates windowedState = Qt::WindowNoState;
    bool leftSinceNotice = false;
    // Escape belongs to the views and dialogs except in Full Screen View.
    QShortcut *escapeKey = nullptr;
};
