#include "app/command_bars.h"

#include "app/command_icons.h"
#include "app/doc_commands.h"
#include "app/frame_commands.h"
#include "app/goto_menu.h"
#include "common/string_table.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <array>

namespace {

using namespace DocCmd;
using namespace FrameCmd;

constexpr std::array<std::uint32_t, 5> kCommandBar{ ToggleToolbar, 0, ThumbnailView, SelectView,
                                                    FullScreenView };
constexpr std::array<std::uint32_t, 10> kMainToolbar{ NewFolder, DeletePictures, SelectAll,
                                                      0,         Crop,           CaptureSettings,
                                                      0,         GoToButton,     ImageInfo,
                                                      Options };
constexpr std::array<std::uint32_t, 13> kSelectToolbar{
    ZoomIn, ZoomOut, ActualSize,      0,         PreviousImage,   NextImage, DeletePictures,
    0,      Crop,    CaptureSettings, ImageInfo, ImageInfoButton, Options
};

// The menus; the Go To submenu goes where the File menu holds GoToButton.
constexpr std::array<std::uint32_t, 11> kFileMenu{
    NewFolder, DeleteFolder, 0, DeletePictures, SelectAll, 0, GoToButton, 0, SendInfrared, 0, Exit
};
// The Thumbnail Size submenu goes where the View menu holds ThumbnailSizeMenu.
constexpr std::array<std::uint32_t, 13> kViewMenu{
    ThumbnailView, SelectView, FullScreenView, ThumbnailSizeMenu, 0, ZoomIn,    ZoomOut,
    ActualSize,    0,          PreviousImage,  NextImage,         0, AutoRotate
};
constexpr std::array<std::uint32_t, 8> kToolsMenu{ Crop,    ImageInfo, 0,    CaptureSettings,
                                                   Options, 0,         Help, About };

struct MenuText
{
    std::uint32_t id;
    const char *text;
};

constexpr std::array<MenuText, 31> kMenuTexts{ {
        { NewFolder, "New Folder..." },
        { DeleteFolder, "Delete Folder" },
        { DeletePictures, "Delete" },
        { SelectAll, "Select All" },
        { ThumbnailView, "Thumbnail View" },
        { SelectView, "Select View" },
        { FullScreenView, "Full Screen View" },
        { GoToButton, "Go To" },
        { ZoomIn, "Zoom In" },
        { ZoomOut, "Zoom Out" },
        { ActualSize, "Actual Size" },
        { ToggleToolbar, "Show/Hide Toolbar" },
        { AutoRotate, "Auto Rotate" },
        { ThumbnailSizeMenu, "Thumbnail Size" },
        { ThumbnailSizeFirst, "Small" },
        { ThumbnailSizeFirst + 1, "Large" },
        { ThumbnailSizeFirst + 2, "96 Pixels" },
        { ThumbnailSizeFirst + 3, "128 Pixels" },
        { ThumbnailSizeFirst + 4, "192 Pixels" },
        { ThumbnailSizeLast, "256 Pixels" },
        { ImageInfo, "Image Info..." },
        { ImageInfoButton, "Image Info" },
        { PreviousImage, "Previous Image" },
        { NextImage, "Next Image" },
        { CaptureSettings, "Capture Settings..." },
        { SendInfrared, "Send via Infrared..." },
        { Options, "Options..." },
        { About, "About Vistrel" },
        { Help, "Help" },
        { Crop, "Crop..." },
        { Exit, "Exit" },
} };

// The desktop's standard keys for commands that have them. F1 (help) and F5 (take in the
// folder's changes) are the frame's own shortcuts.
QKeySequence CommandShortcut(std::uint32_t id)
{
    switch (id) {
    case Exit:
        return QKeySequence(Qt::CTRL | Qt::Key_Q);
    case DeletePictures:
        return QKeySequence::Delete;
    case SelectAll:
        return QKeySequence::SelectAll;
    case ImageInfo:
        return QKeySequence(Qt::CTRL | Qt::Key_I);
    default:
        return {};
    }
}

bool IsThumbnailSize(std::uint32_t id)
{
    return id >= ThumbnailSizeFirst && id <= ThumbnailSizeLast;
}

bool IsCheckable(std::uint32_t id)
{
    return id == ThumbnailView || id == SelectView || id == FullScreenView || id == ToggleToolbar
            || id == AutoRotate || IsThumbnailSize(id);
}

} // namespace

std::span<const std::uint32_t> BarButtons(std::uint32_t barId)
{
    switch (barId) {
    case FrameBar::CommandBar:
        return kCommandBar;
    case DocToolbar::Main:
        return kMainToolbar;
    case DocToolbar::Select:
        return kSelectToolbar;
    default:
        return {};
    }
}

std::string CommandMenuText(std::uint32_t id)
{
    for (const MenuText &entry : kMenuTexts) {
        if (entry.id == id)
            return entry.text;
    }
    return {};
}

std::string CommandTip(std::uint32_t id)
{
    if (const auto text = FindString(id))
        return std::string(*text);
    return CommandMenuText(id);
}

CommandActions::CommandActions(QWidget *ownerWidget)
    : QObject(ownerWidget),
      owner(ownerWidget),
      viewGroup(new QActionGroup(this)),
      sizeGroup(new QActionGroup(this))
{
    // At most one view is pressed, and none before the first switch; at most one size is checked,
    // and none while the cell is of a size of none of the steps.
    viewGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    sizeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
}

QAction *CommandActions::action(std::uint32_t id)
{
    if (const auto found = actions.find(id); found != actions.end())
        return found->second;
    auto *created = new QAction(QString::fromStdString(CommandMenuText(id)), owner);
    created->setObjectName(QString::number(id));
    created->setToolTip(QString::fromStdString(CommandTip(id)));
    created->setCheckable(IsCheckable(id));
    if (id == ThumbnailView || id == SelectView || id == FullScreenView)
        created->setActionGroup(viewGroup);
    else if (IsThumbnailSize(id))
        created->setActionGroup(sizeGroup);
    created->setIcon(CommandIcon(id));
    created->setShortcut(CommandShortcut(id));
    connect(created, &QAction::triggered, this, [this, id] { emit triggered(id); });
    actions.emplace(id, created);
    return created;
}

QMenu *CommandActions::addMenu(QMenuBar *bar, const char *title, std::span<const std::uint32_t> ids)
{
    QMenu *menu = bar->addMenu(QString::fromUtf8(title));
    for (const std::uint32_t id : ids) {
        if (id == 0) {
            menu->addSeparator();
        } else if (id == GoToButton) {
            goToMenu = menu->addMenu(QString::fromStdString(CommandMenuText(id)));
            goToMenu->setObjectName(QString::number(id));
        } else if (id == ThumbnailSizeMenu) {
            QMenu *sizes = menu->addMenu(QString::fromStdString(CommandMenuText(id)));
            sizes->setObjectName(QString::number(id));
            for (std::uint32_t size = ThumbnailSizeFirst; size <= ThumbnailSizeLast; ++size)
                sizes->addAction(action(size));
        } else {
            menu->addAction(action(id));
        }
    }
    return menu;
}

void CommandActions::buildMenuBar(QMenuBar *bar, const std::function<void()> &aboutToShow)
{
    QMenu *file = addMenu(bar, "File", kFileMenu);
    QMenu *view = addMenu(bar, "View", kViewMenu);
    QMenu *tools = addMenu(bar, "Tools", kToolsMenu);
    for (QMenu *menu : { file, view, tools })
        connect(menu, &QMenu::aboutToShow, this, aboutToShow);
}

void CommandActions::fillBar(QToolBar *bar, std::uint32_t barId)
{
    bar->clear();
    for (const std::uint32_t id : BarButtons(barId)) {
        if (id == 0)
            bar->addSeparator();
        else if (barId == DocToolbar::Select && id == ImageInfo && zoomedInfo)
            bar->addAction(zoomedInfo);
        else
            bar->addAction(action(id));
    }
}

void CommandActions::fillMenu(QMenu *menu, const std::vector<MenuEntry> &entries,
                              bool emitTriggered)
{
    // The document rebuilds the Go To submenu while states refresh, which happens after every
    // command, including one chosen from this very menu: the old items may still be inside their
    // triggered signal, so they go later.
    for (QAction *old : menu->actions()) {
        menu->removeAction(old);
        if (old->parent() == menu)
            old->deleteLater();
    }
    for (const MenuEntry &entry : entries) {
        if (entry.separator) {
            menu->addSeparator();
            continue;
        }
        QAction *item = menu->addAction(QString::fromStdString(entry.text));
        item->setObjectName(QString::number(entry.id));
        const std::uint32_t id = entry.id;
        if (emitTriggered)
            connect(item, &QAction::triggered, this, [this, id] { emit triggered(id); });
    }
}

void CommandActions::setZoomIndicator(bool actualSize)
{
    if (!zoomedInfo) {
        QAction *shared = action(ImageInfo);
        zoomedInfo = new QAction(shared->text(), owner);
        zoomedInfo->setObjectName(shared->objectName());
        zoomedInfo->setToolTip(shared->toolTip());
        connect(zoomedInfo, &QAction::triggered, this, [this] { emit triggered(ImageInfo); });
    }
    action(ImageInfoButton)->setVisible(actualSize);
    zoomedInfo->setVisible(!actualSize);
}

void CommandActions::refresh(const std::function<CommandState(std::uint32_t)> &stateOf)
{
    if (zoomedInfo)
        zoomedInfo->setEnabled(stateOf(ImageInfo).enabled);
    for (const auto &[id, item] : actions) {
        const CommandState state = stateOf(id);
        item->setEnabled(state.enabled);
        if (item->isCheckable())
            item->setChecked(state.checked);
    }
}
