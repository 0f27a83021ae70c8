#pragma once

#include "app/command_chain.h"
#include "app/document_frame.h"
#include "platform/command_route.h"

#include <QMainWindow>

#include <cstdint>

class CommandActions;
class QAction;
class QToolBar;
struct AppSettings;

// Where the Go To popup opens for a button at buttonRect (global coordinates): its bottom edge on
// the button's top edge, its left edge 22 pixels left of the button's right edge.
QPoint GoToPopupPosition(const QRect &buttonRect, const QSize &popupSize);

// The help context of the frame's help request in a view mode: the mode itself for Thumbnail
// and Select View, otherwise the main contents.
std::uint32_t FrameHelpContext(std::int32_t viewMode);

// The one top-level window: the menu bar ("File", "View", "Tools"), the command bar with the
// toolbar toggle and the view buttons, the toolbar of the view mode, and the pane area. Every
// menu, bar and key command goes through routeCommand; states are refreshed in one place
// (updateCommandStates) before menus open and after every command.
class CMainFrame : public QMainWindow, public DocumentFrame, public CommandTarget
{
    Q_OBJECT

public:
    explicit CMainFrame(AppSettings &settings, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // The document and the application: the targets after the views.
    void setRoute(CommandTarget *document, CommandTarget *application);

    // Offers the command along the route, then refreshes every command's state. False when no
    // target handled it.
    bool routeCommand(std::uint32_t id);

    CommandState commandState(std::uint32_t id) const { return chain.state(id); }

    void updateCommandStates();

    // The action of a command (shared by menus and bars), the bars and the pane area.
    QAction *commandAction(std::uint32_t id);

    QToolBar *commandBar() const { return bar; }

    QToolBar *toolbar() const { return tools; }

    std::uint32_t loadedToolbar() const { return toolbarId; }

    QWidget *paneArea() const { return panes; }

    // DocumentFrame.
    void sendCommand(std::uint32_t id) override { routeCommand(id); }

    void arrangePanes(std::int32_t viewMode, std::int32_t previousViewMode) override;
    void setFullScreen(bool on, std::uint32_t newToolbarId) override;
    void relayoutAndPaint() override;

    void messageToTree(std::uint32_t, std::uintptr_t, std::intptr_t, bool) override { }

    void messageToThumbnails(std::uint32_t, std::uintptr_t, std::intptr_t, bool) override { }

    void messageToImageView(std::uint32_t, std::uintptr_t, std::intptr_t, bool) override { }

    std::string treeFolder() const override { return {}; }

    void rebuildTree(const std::string &) override { }

    void beginWaitCursor() override;
    void endWaitCursor() override;

    bool hasThumbnailView() const override { return false; }

    void setGoToSubmenu(const std::vector<MenuEntry> &entries) override;
    void showGoToPopup(const std::vector<MenuEntry> &entries) override;

    // CommandTarget: the toolbar toggle and Exit.
    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

signals:
    // A command went along the route (whether or not anyone took it).
    void commandRouted(std::uint32_t id);

private:
    void toggleToolbar();
    void loadToolbar(std::uint32_t id);
    void showHelp();

    AppSettings &settings;
    CommandChain chain;
    CommandActions *actions;
    QToolBar *bar;
    QToolBar *tools;
    QWidget *panes;
    std::uint32_t toolbarId = 0;
};
