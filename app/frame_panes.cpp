#include "app/frame_panes.h"

#include "app/alb_dir_tree.h"
#include "app/alb_doc.h"
#include "app/alb_splitter.h"
#include "app/app_settings.h"
#include "app/image_lists.h"
#include "app/main_frame.h"
#include "app/window_messages.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "platform/message_window.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include <new>

namespace {

const QColor kFrameBackground(0x66, 0x66, 0x66);

QColor ColorOf(RgbValue value)
{
    return QColor(RedOf(value), GreenOf(value), BlueOf(value));
}

// The pane a view takes while its real maker is not registered.
QWidget *MakePlaceholder(QWidget *parent, RgbValue backColor)
{
    auto *pane = new QWidget(parent);
    pane->setAutoFillBackground(true);
    QPalette colors = pane->palette();
    colors.setColor(QPalette::Window, ColorOf(backColor));
    pane->setPalette(colors);
    return pane;
}

std::string RootDisplayName(const AppSettings &settings)
{
    if (!settings.rootName.empty())
        return settings.rootName;
    std::string text;
    LoadString(Msg::RootName, text);
    return text;
}

} // namespace

FramePanes::FramePanes(CMainFrame &mainFrame, AppSettings &appSettings)
    : frame(mainFrame), settings(appSettings), client(new QWidget(&mainFrame))
{
    // Until the client is made the pane area shows the frame's own background.
    client->setAutoFillBackground(true);
    QPalette background = client->palette();
    background.setColor(QPalette::Window, kFrameBackground);
    client->setPalette(background);
}

bool FramePanes::createClient(CAlbDoc &document, const ImageLists *lists)
{
    doc = &document;
    factory = CurrentViewFactory();
    const QScreen *shown = frame.screen() ? frame.screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = shown ? shown->size() : frame.size();
    split = new CAlbSplitter(settings, screenSize, lists, &frame);
    split->setColumnStep(settings.prefs.cellWidth);
    split->setColumnAllowance(settings.scrollBarWidth);
    split->setRowStep(settings.prefs.cellHeight);
    split->setRowAllowance(0);
    if (!makeViews(lists)) {
        delete split;
        split = nullptr;
        folderTree = nullptr;
        madeThumbnails = false;
        return false;
    }
    // The placeholder goes (the frame deletes it); the splitter fills the client area from now
    // on.
    frame.setCentralWidget(split);
    client = split;
    connectTree();
    return true;
}

// The image view comes first so that it carries its private id from the start; the tree and the
// thumbnail view then fill the first and second pane of Thumbnail View.
bool FramePanes::makeViews(const ImageLists *lists)
{
    const ViewContext context{ *doc, settings, lists, *this, split };
    QWidget *image = makeView(factory.imageView, context, settings.prefs.imageBackColor);
    if (!image)
        return false;
    image->setObjectName(QString::number(SplitterId::HiddenImageView));
    const ImageList *folderImages = lists ? lists->find(BitmapId::FolderTree) : nullptr;
    folderTree = new CAlbDirTree(RootDisplayName(settings), folderImages, split);
    QWidget *thumbnails = makeView(factory.thumbnailView, context, settings.prefs.thumbBackColor);
    if (!thumbnails)
        return false;
    madeThumbnails = static_cast<bool>(factory.thumbnailView);
    split->setViews(folderTree, thumbnails, image);
    return true;
}

QWidget *FramePanes::makeView(const ViewFactory::Maker &maker, const ViewContext &context,
                              std::int32_t backColor)
{
    if (!maker)
        return MakePlaceholder(split, backColor);
    try {
        return maker(context);
    } catch (const CAlbExceptionBase &) {
        return nullptr;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void FramePanes::connectTree()
{
    // The tree already defers its commands, so the folder change never runs inside one of its
    // notifications.
    folderTree->setCommandSink([this](std::uint32_t id) { frame.routeCommand(id); });
    folderTree->setStateSource([this](std::uint32_t id) { return frame.commandState(id); });
    folderTree->setActivateHandler([this] { activateView(*folderTree); });
    folderTree->setEnterHandler([this] { pressEnterInTree(); });
}

void FramePanes::pressEnterInTree()
{
    if (!doc || settings.viewMode != ViewMode::Thumbnail)
        return;
    if (ImageItem *first = doc->ItemAt(0))
        doc->SelectItem(first, true);
    focusThumbnailView();
    messageToThumbnails(WM_CURRENT_CHANGED, 0, 0, false);
}

std::vector<CommandTarget *> FramePanes::paneViews() const
{
    std::vector<CommandTarget *> views;
    if (!split)
        return views;
    // In Full Screen View only the image view, which fills the first pane, is asked.
    const int shown = settings.viewMode == ViewMode::FullScreen ? 1 : 2;
    for (int index = 0; index < shown; ++index) {
        if (auto *target = dynamic_cast<CommandTarget *>(split->pane(index)))
            views.push_back(target);
    }
    return views;
}

void FramePanes::arrangePanes(std::int32_t viewMode, std::int32_t previousViewMode)
{
    if (split)
        split->arrangePanes(viewMode, previousViewMode);
}

void FramePanes::relayoutAndPaint()
{
    if (!split) {
        client->repaint();
        return;
    }
    if (QWidget *pane = split->pane(split->activePane()))
        active = pane;
    split->relayout();
    split->repaint();
}

void FramePanes::deliver(QWidget *view, std::uint32_t msg, std::uintptr_t wParam,
                         std::intptr_t lParam, bool post)
{
    if (!view)
        return;
    auto *window = dynamic_cast<MessageWindow *>(view);
    if (!window) {
        // A view without message handling still shows the changed list.
        if (msg == WM_LIST_CHANGED)
            view->update();
        return;
    }
    if (post)
        PostMessageTo(view, window, msg, wParam, lParam);
    else
        SendMessageTo(window, msg, wParam, lParam);
}

void FramePanes::messageToTree(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                               bool post)
{
    deliver(folderTree, msg, wParam, lParam, post);
}

void FramePanes::messageToThumbnails(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                     bool post)
{
    deliver(split ? split->thumbnailView() : nullptr, msg, wParam, lParam, post);
}

void FramePanes::messageToImageView(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                    bool post)
{
    deliver(split ? split->imageView() : nullptr, msg, wParam, lParam, post);
}

std::string FramePanes::treeFolder() const
{
    return folderTree ? folderTree->SelectedPath() : std::string();
}

void FramePanes::rebuildTree(const std::string &folder)
{
    if (folderTree)
        folderTree->BuildTree(folder);
}

void FramePanes::refreshViews(int firstSelected)
{
    if (!split)
        return;
    if (folderTree)
        folderTree->viewport()->update();
    if (QWidget *thumbnails = split->thumbnailView()) {
        if (madeThumbnails && factory.updateThumbnails)
            factory.updateThumbnails(*thumbnails, firstSelected);
        else
            thumbnails->update();
    }
    if (QWidget *image = split->imageView())
        image->update();
}

void FramePanes::refreshTree()
{
    if (folderTree)
        folderTree->RefreshTree();
}

void FramePanes::focusThumbnailView()
{
    if (QWidget *thumbnails = split ? split->thumbnailView() : nullptr)
        thumbnails->setFocus(Qt::OtherFocusReason);
}

void FramePanes::repaintThumbnails()
{
    QWidget *thumbnails = split ? split->thumbnailView() : nullptr;
    if (!thumbnails)
        return;
    if (madeThumbnails && factory.redrawThumbnails)
        factory.redrawThumbnails(*thumbnails);
    else
        thumbnails->update();
}

void FramePanes::sendCommand(std::uint32_t id)
{
    frame.routeCommand(id);
}

void FramePanes::postCommand(std::uint32_t id)
{
    // Queued on the frame: a command still waiting when the frame goes is dropped with it.
    QTimer::singleShot(0, &frame, [this, id] { frame.routeCommand(id); });
}

void FramePanes::activateView(QWidget &view)
{
    active = &view;
}

void FramePanes::cellSizeChanged()
{
    if (!split)
        return;
    split->setColumnStep(settings.prefs.cellWidth);
    split->setRowStep(settings.prefs.cellHeight);
    split->setColumnAllowance(0);
    split->setRowAllowance(0);
}

void FramePanes::setFullScreen(bool on, std::uint32_t newToolbarId)
{
    frame.setFullScreen(on, newToolbarId);
}

void FramePanes::beginWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void FramePanes::endWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

void FramePanes::setGoToSubmenu(const std::vector<MenuEntry> &entries)
{
    frame.setGoToSubmenu(entries);
}

void FramePanes::showGoToPopup(const std::vector<MenuEntry> &entries)
{
    frame.showGoToPopup(entries);
}

void FramePanes::showZoomIndicator(bool actualSize)
{
    frame.showZoomIndicator(actualSize);
}

void FramePanes::commandStatesChanged()
{
    frame.updateCommandStates();
}

CommandState FramePanes::commandState(std::uint32_t id) const
{
    return frame.commandState(id);
}
