#pragma once

#include "app/document_frame.h"
#include "app/view_factory.h"

#include <QPointer>

#include <cstdint>
#include <string>
#include <vector>

class CAlbDirTree;
class CAlbDoc;
class CAlbSplitter;
class CMainFrame;
class QWidget;
struct AppSettings;
struct ImageLists;

// The main frame's client area as the document and the views see it: a plain area of the frame's
// background until createClient, then the splitter with the folder tree, the thumbnail view and
// the image view. The document's requests and its messages for the views come here
// (DocumentFrame), and so do the views' (ViewHost); what is the frame's own (its command route,
// full screen, the bars' Go To menus and zoom indicator) is the frame's to do.
class FramePanes final : public DocumentFrame, public ViewHost
{
public:
    // The placeholder area is made on frame at once.
    FramePanes(CMainFrame &frame, AppSettings &settings);

    // Makes the splitter in the orientation of the screen's shape and the views of the
    // document: the image view, the tree, the thumbnail view (through the registered view
    // factory); the splitter then fills the frame's client area. False, with no splitter left,
    // when a view cannot be made. lists may be null.
    bool createClient(CAlbDoc &document, const ImageLists *lists);

    // What fills the frame's client area: the splitter once made, else the placeholder.
    QWidget *area() const { return client; }

    // The document once the client is made.
    CAlbDoc *document() const { return doc; }

    CAlbSplitter *splitter() const { return split; }

    CAlbDirTree *tree() const { return folderTree; }

    // The view that last had the stylus or was made active by a view switch.
    QWidget *activeView() const { return active; }

    // The views of the panes on show, asked for commands before the document: both panes, in
    // Full Screen View only the first (the image view).
    std::vector<CommandTarget *> paneViews() const;

    // DocumentFrame.
    void sendCommand(std::uint32_t id) override;
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

    // ViewHost (sendCommand is the DocumentFrame's).
    void postCommand(std::uint32_t id) override;
    void activateView(QWidget &view) override;
    void cellSizeChanged() override;
    void showZoomIndicator(bool actualSize) override;
    void commandStatesChanged() override;
    CommandState commandState(std::uint32_t id) const override;

private:
    bool makeViews(const ImageLists *lists);
    QWidget *makeView(const ViewFactory::Maker &maker, const ViewContext &context,
                      std::int32_t backColor);
    void connectTree();
    void pressEnterInTree();
    void deliver(QWidget *view, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                 bool post);

    CMainFrame &frame;
    AppSettings &settings;
    QWidget *client;
    CAlbDoc *doc = nullptr;
    CAlbSplitter *split = nullptr;
    CAlbDirTree *folderTree = nullptr;
    ViewFactory factory;
    bool madeThumbnails = false;
    QPointer<QWidget> active;
};
