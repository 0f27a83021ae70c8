#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "app/view_factory.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "views/alb_img_view.h"
#include "views/image_zoom.h"
#include "views/thumbnail_cache.h"

#include <QCursor>

// Whether the item's picture can be drawn now. A picture not yet decoded at the scale the zoom
// needs is asked of the worker once per item and scale; a coarser one the item already holds
// stands in meanwhile.
CAlbImgView::Readiness CAlbImgView::preparePicture(ImageItem &item)
{
    hold(item);
    const std::int32_t percent = decodePercent(item);
    if (HoldsViewFrames(item, percent))
        return Readiness::Ready;
    const bool askedBefore = asked.serial == item.serial && asked.percent == percent;
    if (askedBefore && asked.answered) {
        if (asked.message != 0)
            return Readiness::Failed;
        if (hasPicture())
            return Readiness::Ready; // decoded smaller for want of memory
        // The picture was freed for memory since: it is decoded again below.
    }
    if (!askedBefore || asked.answered) {
        asked = Asked{ item.serial, percent, percent, false, 0 };
        requestPicture(item, percent);
    }
    return hasPicture() ? Readiness::Coarser : Readiness::Waiting;
}

void CAlbImgView::requestPicture(const ImageItem &item, std::int32_t percent)
{
    asked.trying = percent;
    loader.request({ item.serial, JoinPath(doc.appSettings().currentFolder, item.fileName),
                     item.fileName, fullSize(item), percent });
}

// A decoding came back. One for an item no longer shown is dropped (stepping on passed it by);
// one for the shown item is taken when it is finer than what the item holds, and ends the asking
// when it is the scale being tried.
void CAlbImgView::pictureArrived(const PictureRequest &request, DecodedFrames &result)
{
    ImageItem *item = doc.ItemBySerial(request.serial);
    if (!item || request.serial != shownSerial || !inPictureMode())
        return;
    const bool tried =
            asked.serial == request.serial && !asked.answered && asked.trying == request.percent;
    if (result.outcome == Attempt::ShortOfMemory) {
        if (tried)
            shortOfMemory(*item, request);
        return;
    }
    const bool hadPicture = hasPicture();
    InstallViewFrames(*item, result);
    if (tried) {
        asked.answered = true;
        asked.message = result.message;
    }
    if (hasPicture() || asked.answered) {
        dropShownBefore();
        showWaiting(false);
    }
    if (hadPicture != hasPicture())
        host.commandStatesChanged();
    update();
}

// Short of memory: the picture shown before goes, and the pictures of every other item, and the
// same scale is tried again while anything was freed; then ever smaller scales down to 8 percent.
void CAlbImgView::shortOfMemory(ImageItem &item, const PictureRequest &request)
{
    bool freed = dropShownBefore();
    const bool wasPinned = item.has(ItemFlag::Pinned);
    item.flags |= ItemFlag::Pinned;
    freed = FreeAllCachedPictures(doc) || freed;
    if (!wasPinned)
        item.flags &= static_cast<std::uint16_t>(~ItemFlag::Pinned);
    if (freed) {
        requestPicture(item, request.percent);
        return;
    }
    if (request.percent > 8) {
        requestPicture(item, ImageZoom::SmallerDecodePercent(request.percent));
        return;
    }
    asked.answered = true;
    asked.message = Msg::NotEnoughMemory;
    showWaiting(false);
    update();
}

// The item stepped away from keeps its picture on show until the next one is decoded; one with
// nothing decoded lets go at once.
void CAlbImgView::keepShownBefore(ImageItem &old)
{
    const bool drawable = inPictureMode() && old.has(ItemFlag::ViewCached) && !old.frames.empty();
    if (!drawable) {
        letGo(old);
        return;
    }
    dropShownBefore();
    before = ShownBefore{ old.serial, place, turn };
}

// True when a picture was let go of.
bool CAlbImgView::dropShownBefore()
{
    const std::uint64_t serial = before.serial;
    before = ShownBefore{};
    ImageItem *old = serial != 0 && serial != shownSerial ? doc.ItemBySerial(serial) : nullptr;
    if (!old)
        return false;
    const bool held = !old->frames.empty();
    letGo(*old);
    return held && old->frames.empty();
}

bool CAlbImgView::drawShownBefore(QPainter &painter, const Rect &update)
{
    const ImageItem *old = before.serial != 0 ? doc.ItemBySerial(before.serial) : nullptr;
    if (!old || old->frames.empty())
        return false;
    return drawPictureAt(painter, update, *old, styleFor(*old), before.place, before.turn);
}

// The wait cursor shows over the placeholder while the first picture is decoded.
void CAlbImgView::showWaiting(bool on)
{
    if (on == waitCursor)
        return;
    waitCursor = on;
    if (on)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}
