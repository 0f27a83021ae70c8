#include "app/alb_doc.h"
#include "app/image_item.h"
#include "app/trace_log.h"
#include "views/alb_view.h"

#include <string>

// Tests of the whole program compare the screen with the pictures: once the last visible picture
// is on the window, every visible cell's picture area goes into the trace file in root-window
// coordinates as "cell<TAB>index<TAB>file<TAB>x<TAB>y<TAB>width<TAB>height", followed by one
// "thumbs-drawn" line. The frames of a list's first screenful, drawn before their pictures, are
// traced as "frames-shown".
void CAlbView::traceDrawnCells() const
{
    const auto [first, last] = VisibleRange();
    std::string text;
    for (std::int32_t i = first; i >= 0 && i <= last; ++i) {
        const ImageItem *item = doc.ItemAt(i);
        if (!item)
            break;
        const Rect cell = CellRect(i);
        // The picture area: the cell less its frame, 4 pixels on the left and top, 3 on the
        // right and bottom.
        const QPoint origin = viewport()->mapToGlobal(QPoint(cell.left + 4, cell.top + 4));
        text += "cell\t" + std::to_string(i) + '\t' + item->fileName + '\t'
                + std::to_string(origin.x()) + '\t' + std::to_string(origin.y()) + '\t'
                + std::to_string(cell.width() - 7) + '\t' + std::to_string(cell.height() - 7)
                + '\n';
    }
    AppendTraceText(text + "thumbs-drawn\n");
}
