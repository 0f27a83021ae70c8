#include "views/alb_view.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/view_factory.h"
#include "app/window_messages.h"
#include "common/error_report.h"
#include "views/thumbnail_loader.h"

#include <QScrollBar>

CAlbView::CAlbView(CAlbDoc &document, AppSettings &appSettings, ViewHost &viewHost,
                   const ImageLists *lists, QWidget *parent)
    : QAbstractScrollArea(parent),
      doc(document),
      settings(appSettings),
      host(viewHost),
      imageLists(lists),
      timers(std::make_unique<WindowTimers>(this, this)),
      loader(std::make_unique<ThumbnailLoader>(
              this, [this](const ThumbnailRequest &request, ThumbnailResult &result) {
                  Guarded([&] { takeThumbnail(request, result); });
              }))
{
    setObjectName(QStringLiteral("CAlbView"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The canvas covers every pixel, so nothing needs erasing before a paint.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int) { snapScrollAction(); });
}

CAlbView::~CAlbView() = default;

bool CAlbView::inMode(std::int32_t mode) const
{
    return settings.viewMode == mode;
}

std::int32_t CAlbView::currentIndex() const
{
    return doc.IndexOf(doc.FirstSelected());
}

bool CAlbView::thumbnailTimerActive() const
{
    return timers->isActive(kThumbnailTimer) || visibleThumbnailsMissing();
}

void CAlbView::UpdateFromDocument(std::int32_t firstSelected)
{
    Layout(false);
    if (firstSelected >= 0)
        EnsureVisible(firstSelected);
}

std::intptr_t CAlbView::onMessage(std::uint32_t message, std::uintptr_t, std::intptr_t second)
{
    Guarded([&] {
        if (message == WM_LIST_CHANGED) {
            if (!inMode(ViewMode::Thumbnail) && !inMode(ViewMode::Select))
                return;
            // Pictures that could not be read may have changed since.
            unreadable.clear();
            framesTraced = false;
            if (second == 1) {
                host.cellSizeChanged();
                Layout(true);
            }
            EnsureVisible(currentIndex());
            invalidateAll();
            viewport()->repaint();
        } else if (message == WM_CURRENT_CHANGED) {
            EnsureVisible(currentIndex());
            RedrawFrames();
        }
    });
    return 0;
}

void CAlbView::onTimer(std::uint32_t timerId)
{
    if (timerId == kThumbnailTimer)
        Guarded([&] { paintNextPicture(); });
}

void CAlbView::resizeEvent(QResizeEvent *)
{
    Guarded([&] {
        ensureCanvas();
        Layout(false);
        if (inMode(ViewMode::Select))
            EnsureVisible(currentIndex());
    });
}
