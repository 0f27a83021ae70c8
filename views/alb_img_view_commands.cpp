#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/doc_commands.h"
#include "app/document_frame.h"
#include "app/frame_commands.h"
#include "app/window_messages.h"
#include "platform/sounds.h"
#include "views/alb_img_view.h"
#include "views/image_zoom.h"

using namespace ImageZoom;

bool CAlbImgView::onCommand(std::uint32_t id)
{
    const QPointF middle(width() / 2.0, height() / 2.0);
    bool handled = true;
    Guarded([&] {
        switch (id) {
        case FrameCmd::ZoomIn:
            zoomIn(middle.x(), middle.y());
            break;
        case FrameCmd::ZoomOut:
            zoomOut(middle.x(), middle.y());
            break;
        case FrameCmd::ActualSize:
            actualSize();
            break;
        case DocCmd::AutoRotate:
            toggleAutoRotate();
            break;
        case FrameCmd::PreviousImage:
            previous();
            break;
        case FrameCmd::NextImage:
            next();
            break;
        default:
            handled = false;
            break;
        }
    });
    return handled;
}

bool CAlbImgView::onCommandState(std::uint32_t id, CommandState &state)
{
    const bool zoomable = inPictureMode() && hasPicture();
    const std::int32_t i = shownIndex();
    state.checked = false;
    state.radio = false;
    switch (id) {
    case FrameCmd::ZoomIn:
    case FrameCmd::ZoomOut:
        state.enabled = zoomable;
        break;
    case FrameCmd::ActualSize:
        state.enabled = zoomable;
        state.checked = settings.viewMode == ViewMode::Select && place.zoom == kActualSize;
        break;
    case DocCmd::AutoRotate:
        state.enabled = true;
        state.checked = settings.autoRotate();
        break;
    case FrameCmd::PreviousImage:
        state.enabled = i != 0 && i != -1;
        break;
    case FrameCmd::NextImage:
        state.enabled = i != -1 && i + 1 < doc.Count();
        break;
    default:
        return false;
    }
    state.handled = true;
    return true;
}

void CAlbImgView::zoomIn(double anchorX, double anchorY)
{
    if (!inPictureMode() || !hasPicture())
        return;
    const bool atLargest =
            place.zoomed.width >= kLargestSide || place.zoomed.height >= kLargestSide;
    stepZoom(atLargest, ZoomInStep(place.zoom), anchorX, anchorY);
}

void CAlbImgView::zoomOut(double anchorX, double anchorY)
{
    if (!inPictureMode() || !hasPicture())
        return;
    const bool atSmallest = place.zoomed.width <= 1 || place.zoomed.height <= 1;
    stepZoom(atSmallest, ZoomOutStep(place.zoom), anchorX, anchorY);
}

// One zoom step about the anchor; a beep when the picture is at its limit or the step table
// has no further step.
void CAlbImgView::stepZoom(bool atLimit, std::int32_t next, double anchorX, double anchorY)
{
    if (atLimit || next == place.zoom) {
        DefaultBeep();
        return;
    }
    fittedZoom = false;
    setZoom(next, true, anchorX, anchorY);
    zoomIndicator();
}

void CAlbImgView::actualSize()
{
    if (!inPictureMode() || !hasPicture())
        return;
    if (place.zoom == kActualSize) {
        DefaultBeep();
        return;
    }
    fittedZoom = false;
    setZoom(kActualSize, true, width() / 2.0, height() / 2.0);
    zoomIndicator();
}

void CAlbImgView::toggleAutoRotate()
{
    settings.prefs.prefFlags ^= PrefFlag::AutoRotate;
    if (settings.viewMode == ViewMode::FullScreen && hasPicture())
        ShowItem(shown(), false);
}

// The shown item's place in the list, else the current item's (-1: neither).
std::int32_t CAlbImgView::shownIndex() const
{
    const std::int32_t i = doc.IndexOf(shown());
    return i >= 0 ? i : doc.IndexOf(doc.FirstSelected());
}

void CAlbImgView::stepTo(std::int32_t index)
{
    doc.ClearSelection();
    // Selecting posts WM_CURRENT_CHANGED to this view, which then shows the item.
    doc.SelectItem(doc.ItemAt(index), true);
    if (settings.viewMode == ViewMode::Select && doc.mainFrame())
        doc.mainFrame()->messageToThumbnails(WM_CURRENT_CHANGED, 0, 0, false);
}

void CAlbImgView::previous()
{
    const std::int32_t i = shownIndex();
    if (i == 0 || doc.Count() == 0) {
        DefaultBeep();
        return;
    }
    stepTo(i < 0 ? 0 : i - 1);
}

void CAlbImgView::next()
{
    const std::int32_t i = shownIndex();
    if (i + 1 >= doc.Count()) {
        DefaultBeep();
        return;
    }
    stepTo(i < 0 ? 0 : i + 1);
}
