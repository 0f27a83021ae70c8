#include "views/alb_img_view.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "app/view_factory.h"
#include "app/window_messages.h"
#include "common/error_report.h"
#include "image/display_info.h"
#include "image/view_geometry.h"
#include "views/image_zoom.h"

using namespace ImageZoom;

CAlbImgView::CAlbImgView(CAlbDoc &document, AppSettings &appSettings, ViewHost &viewHost,
                         const ImageLists *lists, QWidget *parent)
    : PictureCanvas(PictureUser::ImageView, ItemPictureLoader{}, parent),
      doc(document),
      settings(appSettings),
      host(viewHost),
      imageLists(lists),
      timers(std::make_unique<WindowTimers>(this, this)),
      loader(this, DefaultFramesDecoder(),
             [this](const PictureRequest &request, DecodedFrames &result) {
                 Guarded([&] { pictureArrived(request, result); });
             })
{
    setObjectName(QStringLiteral("CAlbImgView"));
    setFocusPolicy(Qt::StrongFocus);
}

CAlbImgView::~CAlbImgView() = default;

void CAlbImgView::setDecoder(FramesDecoder decoder)
{
    loader.setDecoder(std::move(decoder));
}

bool CAlbImgView::inPictureMode() const
{
    return settings.viewMode == ViewMode::Select || settings.viewMode == ViewMode::FullScreen;
}

ImageItem *CAlbImgView::shown() const
{
    return doc.ItemBySerial(shownSerial);
}

bool CAlbImgView::hasPicture() const
{
    const ImageItem *item = shown();
    return item && item->has(ItemFlag::ViewCached) && !item->frames.empty();
}

std::int32_t CAlbImgView::frameIndex() const
{
    return animation.playing() ? animation.frameIndex() : 0;
}

void CAlbImgView::resetViewState()
{
    place = PictureZoom{};
    turn = 0;
    fittedZoom = false;
}

void CAlbImgView::ShowItem(ImageItem *item, bool keep)
{
    if (!inPictureMode())
        return;
    const std::uint64_t serial = item ? item->serial : 0;
    const bool same = serial == shownSerial;
    if (!same) {
        // Back to the picture still on show: it is the shown one again.
        if (serial != 0 && serial == before.serial)
            before = ShownBefore{};
        // The old picture stays drawn until the new one is decoded, then goes with the old item
        // (unless another window shows it too); not at all when the item is gone with its list.
        if (ImageItem *old = shown())
            keepShownBefore(*old);
        resetViewState();
    } else if (!keep) {
        resetViewState();
    }
    if (!same || !keep)
        asked = Asked{};
    stopAnimation();
    shownSerial = serial;
    host.commandStatesChanged();
    if (!item) {
        loader.cancel();
        dropShownBefore();
        showWaiting(false);
        frameCount = 0;
        zoomIndicator();
        update();
        return;
    }
    frameCount = item->has(ItemFlag::DescriptionValid) ? item->info.frameCount : 0;
    const Size full = fullSize(*item);
    if (settings.viewMode == ViewMode::FullScreen && settings.autoRotate()) {
        const DisplayInfo &display = CurrentDisplayInfo();
        turn = AutoRotation(full, { display.screenWidth, display.screenHeight },
                            settings.rotateLeft());
    }
    if (same && keep) {
        const Size client = clientSize();
        place.offsetX = std::min(place.offsetX, place.zoomed.width - client.width);
        place.offsetY = std::min(place.offsetY, place.zoomed.height - client.height);
        update();
        return;
    }
    fitToWindow();
    fittedZoom = true;
    place.centre(clientSize());
    zoomIndicator();
    update();
}

void CAlbImgView::fitToWindow()
{
    const ImageItem *item = shown();
    if (!item)
        return;
    const Size full = fullSize(*item);
    place.zoomed = ::zoomedSize(full.width, full.height, place.zoom, turn);
    const FitMode mode = FitModeOf(settings.prefs.prefFlags);
    if (mode == FitMode::NoFit)
        return;
    place.zoom = FitZoom(mode, place.zoomed, clientSize());
    place.zoomed = ::zoomedSize(full.width, full.height, place.zoom, turn);
}

void CAlbImgView::Relayout(bool keepCentre)
{
    const Size client = clientSize();
    setZoom(place.zoom, keepCentre, client.width / 2.0, client.height / 2.0);
}

void CAlbImgView::setZoom(std::int32_t newZoom, bool keep, double anchorX, double anchorY)
{
    const ImageItem *item = shown();
    const Size full = item ? fullSize(*item) : Size{};
    const Size now = ::zoomedSize(full.width, full.height, newZoom, turn);
    place.relayout(newZoom, now, clientSize(), keep, anchorX, anchorY);
    update();
}

void CAlbImgView::zoomIndicator()
{
    host.showZoomIndicator(place.zoom == kActualSize);
}

// A picture still at the zoom it was fitted with is fitted again: the window of a desktop
// changes size (a window manager's placement, leaving full screen) where a screen never did.
void CAlbImgView::resizeEvent(QResizeEvent *)
{
    Guarded([&] {
        if (!fittedZoom || !shown()) {
            Relayout(true);
            return;
        }
        place.zoom = kActualSize;
        fitToWindow();
        place.centre(clientSize());
        zoomIndicator();
        update();
    });
}

std::intptr_t CAlbImgView::onMessage(std::uint32_t message, std::uintptr_t first,
                                     std::intptr_t second)
{
    Guarded([&] {
        if (message == WM_LIST_CHANGED)
            listChanged(second);
        else if (message == WM_CURRENT_CHANGED)
            currentChanged(first, second);
        else if (message == WM_SCROLL_PICTURE && inPictureMode() && (first != 0 || second != 0))
            panBy(static_cast<std::int32_t>(static_cast<std::intptr_t>(first)),
                  static_cast<std::int32_t>(second), true);
    });
    return 0;
}

void CAlbImgView::listChanged(std::intptr_t keep)
{
    if (inPictureMode()) {
        if (!doc.FirstSelected())
            doc.SelectItem(doc.ItemAt(0), true);
        ShowItem(doc.FirstSelected(), keep == 1);
        return;
    }
    if (settings.viewMode != ViewMode::Thumbnail || shownSerial == 0)
        return;
    stopAnimation();
    resetViewState();
    loader.cancel();
    dropShownBefore();
    showWaiting(false);
    if (ImageItem *old = shown())
        letGo(*old);
    shownSerial = 0;
    zoomIndicator();
}

// The message carries an item's serial number through the queue: by the time it arrives the
// folder may have changed or the list been emptied, and then no item has that number any more.
void CAlbImgView::currentChanged(std::uintptr_t serial, std::intptr_t keep)
{
    ShowItem(doc.ItemBySerial(serial), keep == 1);
}

void CAlbImgView::onTimer(std::uint32_t timerId)
{
    if (timerId == kStaleTimerA || timerId == kStaleTimerB) {
        timers->kill(timerId);
        return;
    }
    if (timerId == kAnimationTimer)
        Guarded([&] { nextFrame(); });
}
