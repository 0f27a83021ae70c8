#pragma once

#include "app/command_popup.h"
#include "app/folder_tree_rules.h"

#include <cstdint>
#include <functional>
#include <string>

class ImageList;

// The album's tree of the device's folders, root at the top. It opens the current folder at
// start, keeps itself in step with the file store (vanished folders go, new ones appear) and tells
// the document about a newly selected folder by posting command 30105 through the command sink;
// the document then reads SelectedPath. The owner supplies the sink and the other hooks.
class CAlbDirTree : public FolderTreeWidget
{
    Q_OBJECT

public:
    // Takes a command to the frame's command route.
    using CommandSink = std::function<void(std::uint32_t id)>;

    // rootName is the root's display name; folderImages the list of bitmap 703 (may be null).
    CAlbDirTree(const std::string &rootName, const ImageList *folderImages,
                QWidget *parent = nullptr);

    // Where posted commands go: 30105 after a selection change, 30001 and 30002 from the menu.
    void setCommandSink(CommandSink sink) { commandSink = std::move(sink); }

    // Where the menu's items take their states from: the frame's, as its menus and bars.
    void setStateSource(CommandStateSource source) { stateSource = std::move(source); }

    // Enter pressed in the tree: the document selects its first picture.
    void setEnterHandler(std::function<void()> handler) { enterHandler = std::move(handler); }

    // A pen (mouse button) went down in the tree: it becomes the frame's active view.
    void setActivateHandler(std::function<void()> handler) { activateHandler = std::move(handler); }

    // Rebuilds the tree along path and selects the deepest existing folder on it, without
    // telling the document (the caller loads the selected folder itself).
    bool BuildTree(const std::string &path);

    // Re-checks item against the file store: 1 kept, 0 removed (item then is its former
    // parent), -1 failure. A selection on or below a removed item, or below an item that lost its
    // last sub-folder, moves up to it. With recurse, expanded children are checked too and new
    // sub-folders inserted.
    int ValidateItem(QTreeWidgetItem *&item, QTreeWidgetItem *&selection, bool recurse);

    // Validates the whole tree, keeping the selection on a folder that exists; a moved selection
    // is reported like the user's.
    void RefreshTree();

    bool building() const { return buildingFlag; }

protected:
    void folderSelected(QTreeWidgetItem *item) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int validateChildren(QTreeWidgetItem *item, QTreeWidgetItem *&selection);
    void insertNewFolders(QTreeWidgetItem *item);
    void postCommand(std::uint32_t id);

    CommandSink commandSink;
    CommandStateSource stateSource;
    std::function<void()> enterHandler;
    std::function<void()> activateHandler;
    bool buildingFlag = false;
};
