#pragma once

#include "app/goto_menu.h"

#include <cstdint>
#include <string>
#include <vector>

// What the document asks of the main window. The main frame implements it; tests record.
class DocumentFrame
{
public:
    virtual ~DocumentFrame() = default;

    // Sends a command through the frame's route at once (as the platform's send).
    virtual void sendCommand(std::uint32_t id) = 0;
    // Rearranges the splitter's panes for the new view mode.
    virtual void arrangePanes(std::int32_t viewMode, std::int32_t previousViewMode) = 0;
    virtual void setFullScreen(bool on, std::uint32_t toolbarId) = 0;
    // Makes the splitter's active pane the active view, re-lays the frame out and paints the
    // splitter and the views at once.
    virtual void relayoutAndPaint() = 0;
    // Sends a window message to a view by number (1112, 1113, ...); posted when post is true.
    virtual void messageToTree(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                               bool post) = 0;
    virtual void messageToThumbnails(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                     bool post) = 0;
    virtual void messageToImageView(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                    bool post) = 0;
    // The folder selected in the tree ("" when there is no tree); rebuilds the tree along a path.
    virtual std::string treeFolder() const = 0;
    virtual void rebuildTree(const std::string &folder) = 0;
    // Shows the wait cursor while alive of the returned scope (begin/end pair).
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;

    // Repaints the tree; has the thumbnail view recompute its layout and scroll to the item at
    // firstSelected (-1: none), then repaint; repaints the image view.
    virtual void refreshViews(int firstSelected) { (void)firstSelected; }

    // Checks the tree against the file store after a folder was made or removed; a selected
    // folder that is gone gives way to its parent, which the document then loads.
    virtual void refreshTree() { }

    // Whether the thumbnail view exists, gives it the focus, and redraws its visible cells.
    virtual bool hasThumbnailView() const { return true; }

    virtual void focusThumbnailView() { }

    virtual void repaintThumbnails() { }

    // Replaces the entries of the File menu's Go To submenu (while the File popup is prepared).
    virtual void setGoToSubmenu(const std::vector<MenuEntry> &entries) { (void)entries; }

    // Shows the Go To popup at the Go To button; a chosen entry comes back as its command.
    virtual void showGoToPopup(const std::vector<MenuEntry> &entries) { (void)entries; }
};
