#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/doc_commands.h"
#include "app/view_factory.h"
#include "platform/sounds.h"
#include "views/alb_img_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

// One notch of a wheel.
constexpr int kNotch = 120;
// Pixels a notch pans.
constexpr int kWheelPanStep = 60;

} // namespace

void CAlbImgView::keyPressEvent(QKeyEvent *event)
{
    if (isPanning || !inPictureMode()) {
        event->ignore();
        return;
    }
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    const QPointF middle(width() / 2.0, height() / 2.0);
    Guarded([&] {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            host.postCommand(settings.viewMode == ViewMode::Select ? DocCmd::FullScreenView
                                                                   : DocCmd::SelectView);
            break;
        case Qt::Key_Left:
            previous();
            break;
        case Qt::Key_Right:
            next();
            break;
        case Qt::Key_Up:
            zoomIn(middle.x(), middle.y());
            break;
        case Qt::Key_Down:
            zoomOut(middle.x(), middle.y());
            break;
        case Qt::Key_Home:
            if (doc.Count() > 0 && shownIndex() != 0)
                stepTo(0);
            break;
        case Qt::Key_End:
            if (doc.Count() > 0 && shownIndex() != doc.Count() - 1)
                stepTo(doc.Count() - 1);
            break;
        case Qt::Key_0:
            if (!control) {
                event->ignore();
                return;
            }
            actualSize();
            break;
        default:
            event->ignore();
            return;
        }
        event->accept();
    });
}

void CAlbImgView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Guarded([&] { stylusDown(event->position().toPoint()); });
}

void CAlbImgView::stylusDown(QPoint point)
{
    host.activateView(*this);
    setFocus(Qt::MouseFocusReason);
    if (settings.viewMode == ViewMode::FullScreen) {
        host.sendCommand(DocCmd::LeaveFullScreen);
        return;
    }
    if (!hasPicture()) {
        DefaultBeep();
        return;
    }
    if (!place.overflows(clientSize()))
        return;
    isPanning = true;
    lastPoint = point;
}

void CAlbImgView::mouseMoveEvent(QMouseEvent *event)
{
    if (!isPanning)
        return;
    const QPoint point = event->position().toPoint();
    if (point == lastPoint)
        return;
    Guarded([&] {
        const QPoint step = lastPoint - point;
        lastPoint = point;
        panBy(place.offsetX < 0 ? 0 : step.x(), place.offsetY < 0 ? 0 : step.y(), false);
    });
}

void CAlbImgView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isPanning)
        return;
    isPanning = false;
    // Drawn again at full quality.
    Guarded([&] { repaint(); });
}

void CAlbImgView::panBy(std::int32_t dx, std::int32_t dy, bool always)
{
    const bool moved = place.panBy(dx, dy, clientSize());
    if (moved || always)
        repaint();
}

// Ctrl and the wheel zoom about the pointer; the wheel alone pans a picture larger than the
// window and otherwise steps to the previous or next picture.
void CAlbImgView::wheelEvent(QWheelEvent *event)
{
    if (isPanning || !inPictureMode())
        return;
    event->accept();
    const QPoint angle = event->angleDelta();
    const int notches = (angle.y() != 0 ? angle.y() : angle.x()) / kNotch;
    Guarded([&] {
        if ((event->modifiers() & Qt::ControlModifier) != 0) {
            const QPointF at = event->position();
            for (int i = 0; i < std::abs(notches); ++i) {
                if (notches > 0)
                    zoomIn(at.x(), at.y());
                else
                    zoomOut(at.x(), at.y());
            }
            return;
        }
        const bool wider = place.zoomed.width > width();
        const bool taller = place.zoomed.height > height();
        if (wider || taller) {
            QPoint step = event->pixelDelta();
            if (step.isNull())
                step = angle * kWheelPanStep / kNotch;
            // A picture that overflows only sideways pans sideways with the plain wheel.
            if (!taller && step.x() == 0)
                step = QPoint(step.y(), 0);
            panBy(-step.x(), -step.y(), false);
            return;
        }
        if (notches < 0)
            next();
        else if (notches > 0)
            previous();
    });
}
