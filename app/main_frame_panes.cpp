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

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include <new>

namespace {

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

bool CMainFrame::createClient(CAlbDoc &document, const ImageLists *lists)
{
    doc = &document;
    factory = CurrentViewFactory();
    const QScreen *shown = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = shown ? shown->size() : size();
    split = new CAlbSplitter(settings, screenSize, lists, this);
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
    // The placeholder pane area goes; the splitter fills the client area from now on.
    setCentralWidget(split);
    panes = split;
    connectTree();
    return true;
}

// The image view comes first so that it carries its private id from the start; the tree and the
// thumbnail view then fill the first and second pane of Thumbnail View.
bool CMainFrame::makeViews(const ImageLists *lists)
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

QWidget *CMainFrame::makeView(const ViewFactory::Maker &maker, const ViewContext &context,
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

void CMainFrame::connectTree()
{
    // The tree already defers its commands, so the folder change never runs inside one of its
    // notifications.
    folderTree->setCommandSink([this](std::uint32_t id) { routeCommand(id); });
    folderTree->setStateSource([this](std::uint32_t id) { return commandState(id); });
    folderTree->setActivateHandler([this] { activateView(*folderTree); });
    folderTree->setEnterHandler([this] { pressEnterInTree(); });
}

void CMainFrame::pressEnterInTree()
{
    if (!doc || settings.viewMode != ViewMode::Thumbnail)
        return;
    if (ImageItem *first = doc->ItemAt(0))
        doc->SelectItem(first, true);
    focusThumbnailView();
    messageToThumbnails(WM_CURRENT_CHANGED, 0, 0, false);
}

std::vector<CommandTarget *> CMainFrame::paneViews() const
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

void CMainFrame::arrangePanes(std::int32_t viewMode, std::int32_t previousViewMode)
{
    if (split)
        split->arrangePanes(viewMode, previousViewMode);
}

void CMainFrame::relayoutAndPaint()
{
    if (!split) {
        panes->repaint();
        return;
    }
    if (QWidget *pane = split->pane(split->activePane()))
        active = pane;
    split->relayout();
    split->repaint();
}

void CMainFrame::deliver(QWidget *view, std::uint32_t msg, std::uintptr_t wParam,
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

void CMainFrame::messageToTree(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                               bool post)
{
    deliver(folderTree, msg, wParam, lParam, post);
}

void CMainFrame::messageToThumbnails(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                     bool post)
{
    deliver(split ? split->thumbnailView() : nullptr, msg, wParam, lParam, post);
}

void CMainFrame::messageToImageView(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                    bool post)
{
    deliver(split ? split->imageView() : nullptr, msg, wParam, lParam, post);
}

std::string CMainFrame::treeFolder() const
{
    return folderTree ? folderTree->SelectedPath() : std::string();
}

void CMainFrame::rebuildTree(const std::string &folder)
{
    if (folderTree)
        folderTree->BuildTree(folder);
}

void CMainFrame::refreshViews(int firstSelected)
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

void CMainFrame::refreshTree()
{
    if (folderTree)
        folderTree->RefreshTree();
}

void CMainFrame::focusThumbnailView()
{
    if (QWidget *thumbnails = split ? split->thumbnailView() : nullptr)
        thumbnails->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::repaintThumbnails()
{
    QWidget *thumbnails = split ? split->thumbnailView() : nullptr;
    if (!thumbnails)
        return;
    if (madeThumbnails && factory.redrawThumbnails)
        factory.redrawThumbnails(*thumbnails);
    else
        thumbnails->update();
}

void CMainFrame::postCommand(std::uint32_t id)
{
    QTimer::singleShot(0, this, [this, id] { routeCommand(id); });
}

void CMainFrame::activateView(QWidget &view)
{
    active = &view;
}

void CMainFrame::cellSizeChanged()
{
    if (!split)
        return;
    split->setColumnStep(settings.prefs.cellWidth);
    split->setRowStep(settings.prefs.cellHeight);
    split->setColumnAllowance(0);
    split->setRowAllowance(0);
}
