#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/cell_sizes.h"
#include "app/doc_commands.h"
#include "app/frame_commands.h"
#include "app/view_factory.h"
#include "platform/sounds.h"
#include "views/alb_view.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include <algorithm>

void CAlbView::keyPressEvent(QKeyEvent *event)
{
    if (drag != NoDrag)
        return;
    const bool selectView = inMode(ViewMode::Select);
    Guarded([&] {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (inMode(ViewMode::Thumbnail))
                host.postCommand(ViewMode::Select);
            else if (selectView)
                host.postCommand(ViewMode::FullScreen);
            break;
        case Qt::Key_Up:
            if (selectView)
                host.sendCommand(FrameCmd::ZoomIn);
            else
                stepSelection(false);
            break;
        case Qt::Key_Down:
            if (selectView)
                host.sendCommand(FrameCmd::ZoomOut);
            else
                stepSelection(true);
            break;
        case Qt::Key_Delete:
            // The desktop's key for the Delete command; the command decides whether it applies.
            host.postCommand(DocCmd::DeletePictures);
            break;
        case Qt::Key_Left:
            stepSelection(false);
            break;
        case Qt::Key_Right:
            stepSelection(true);
            break;
        default:
            event->ignore();
            return;
        }
        event->accept();
    });
}

// Left and Right move the selection to the neighbouring item; at either end they only beep.
void CAlbView::stepSelection(bool forward)
{
    const std::int32_t n = doc.Count();
    std::int32_t c = currentIndex();
    if (forward) {
        if (c + 1 == n) {
            DefaultBeep();
            return;
        }
        c = c < 0 ? 0 : std::min(c + 1, n - 1);
    } else {
        if (c == 0) {
            DefaultBeep();
            return;
        }
        c = c < 0 ? 0 : c - 1;
    }
    selectOnly(c);
    EnsureVisible(c);
    RedrawFrames();
}

void CAlbView::selectOnly(std::int32_t index)
{
    doc.ClearSelection();
    doc.SelectItem(doc.ItemAt(index), true);
}

// Ctrl and the wheel step through the cell sizes; the wheel alone scrolls.
void CAlbView::wheelEvent(QWheelEvent *event)
{
    if ((event->modifiers() & Qt::ControlModifier) == 0 || drag != NoDrag) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    Guarded([&] {
        // The same change as choosing the size from View > Thumbnail Size; the menu's check
        // mark follows.
        if (doc.ChooseCellStep(CellStepInForce(settings) + (delta > 0 ? 1 : -1)))
            host.commandStatesChanged();
    });
}
