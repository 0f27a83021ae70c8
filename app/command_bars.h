#pragma once

#include "platform/command_route.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;
struct MenuEntry;

// The buttons of a bar by its id (901 the command bar, 902 and 904 the toolbars of the view
// modes); 0 stands for a separator. Empty for an unknown id.
std::span<const std::uint32_t> BarButtons(std::uint32_t barId);

// The menu text of a command ("" when it has no menu item).
std::string CommandMenuText(std::uint32_t id);

// The tooltip of a command: its string-table entry, else its menu text.
std::string CommandTip(std::uint32_t id);

// One action per command, shared by the menus and the bars so that a state set once shows
// everywhere. Each action's objectName is its command id. Triggering any of them emits
// triggered(id); nothing is handled here.
class CommandActions : public QObject
{
    Q_OBJECT

public:
    explicit CommandActions(QWidget *owner);

    // The action of a command, made on first use.
    QAction *action(std::uint32_t id);

    // Builds "File", "View" and "Tools"; each menu calls aboutToShow before it opens, so that
    // states (and the Go To submenu, which the document rebuilds with them) are current.
    void buildMenuBar(QMenuBar *bar, const std::function<void()> &aboutToShow);

    // The Go To submenu of "File" (nullptr before the menu bar is built).
    QMenu *goToSubmenu() const { return goToMenu; }

    // Replaces the bar's buttons with those of barId.
    void fillBar(QToolBar *bar, std::uint32_t barId);

    // Shows exactly one of the Select View toolbar's two Image Info buttons: 30113 at actual size,
    // 30112 otherwise. The toolbar's 30112 is an action of its own, so that the menu's Image
    // Info item stays whatever the zoom.
    void setZoomIndicator(bool actualSize);

    // Sets the enabled and checked state of every action made so far.
    void refresh(const std::function<CommandState(std::uint32_t)> &stateOf);

    // Replaces menu's items with entries; each item's objectName is its id. With emitTriggered
    // choosing an item emits triggered(id), else the caller reads the chosen item of exec().
    void fillMenu(QMenu *menu, const std::vector<MenuEntry> &entries, bool emitTriggered);

signals:
    void triggered(std::uint32_t id);

private:
    QMenu *addMenu(QMenuBar *bar, const char *title, std::span<const std::uint32_t> ids);

    QWidget *owner;
    QActionGroup *viewGroup;
    QActionGroup *sizeGroup;
    std::map<std::uint32_t, QAction *> actions;
    QMenu *goToMenu = nullptr;
    QAction *zoomedInfo = nullptr;
};
