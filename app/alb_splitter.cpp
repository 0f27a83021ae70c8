#include "app/alb_splitter.h"

#include "app/app_settings.h"
#include "app/image_lists.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <functional>
#include <utility>

namespace {

const QColor kBarFill(0xCC, 0xCC, 0xCC);
const QColor kEdgeLight(0xFF, 0xFF, 0xFF);
const QColor kEdgeDark(0x66, 0x66, 0x66);
// Room around an arrow along the bar in Select View's single box.
constexpr int kGlyphMargin = 4;

// The bar between the panes: it paints through its owner and turns presses into taps. Moves and
// releases do nothing, so the bar can never be dragged; a double press counts once.
class SplitterBar : public QWidget
{
public:
    using Painter = std::function<void(QPainter &, QRect)>;
    using Tap = std::function<void(QPoint)>;

    SplitterBar(QWidget *parent, Painter paint, Tap tap)
        : QWidget(parent), paintWith(std::move(paint)), tapAt(std::move(tap))
    {
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        paintWith(painter, rect());
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            tapAt(event->position().toPoint());
        event->accept();
    }

    // The base class would treat the second press of a double tap as another tap.
    void mouseDoubleClickEvent(QMouseEvent *event) override { event->accept(); }

private:
    Painter paintWith;
    Tap tapAt;
};

// A one-pixel raised frame: light on the top and left, dark on the bottom and right.
void DrawRaisedEdge(QPainter &painter, QRect box)
{
    if (box.width() < 2 || box.height() < 2)
        return;
    painter.fillRect(box.left(), box.top(), box.width(), 1, kEdgeLight);
    painter.fillRect(box.left(), box.top(), 1, box.height(), kEdgeLight);
    painter.fillRect(box.left(), box.bottom(), box.width(), 1, kEdgeDark);
    painter.fillRect(box.right(), box.top(), 1, box.height(), kEdgeDark);
}

} // namespace

CAlbSplitter::CAlbSplitter(AppSettings &appSettings, QSize screenSize, const ImageLists *imageLists,
                           QWidget *parent)
    : QWidget(parent),
      settings(appSettings),
      lists(imageLists),
      stackedPanes(screenSize.width() < screenSize.height()),
      mode(ViewMode::Thumbnail)
{
    barWidget = new SplitterBar(
            this, [this](QPainter &painter, QRect area) { paintBar(painter, area); },
            [this](QPoint position) { barPressed(position); });
    barWidget->setObjectName(QStringLiteral("splitterBar"));
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { noteFocus(now); });
}

// The views die with the base class, after this object's members: a focus change they cause on
// the way must not reach noteFocus any more.
CAlbSplitter::~CAlbSplitter()
{
    disconnect(qApp, nullptr, this, nullptr);
    panes = {};
}

void CAlbSplitter::setColumnStep(int step)
{
    columns.step = step;
    relayout();
}

void CAlbSplitter::setColumnAllowance(int allowance)
{
    columns.allowance = allowance;
    relayout();
}

void CAlbSplitter::setRowStep(int step)
{
    rows.step = step;
    relayout();
}

void CAlbSplitter::setRowAllowance(int allowance)
{
    rows.allowance = allowance;
    relayout();
}

void CAlbSplitter::setViews(QWidget *tree, QWidget *thumbnails, QWidget *image)
{
    views = { tree, thumbnails, image };
    panes = {};
    for (QWidget *view : views) {
        if (view && view->parentWidget() != this)
            view->setParent(this);
    }
    if (image) {
        image->hide();
        image->setObjectName(QString::number(SplitterId::HiddenImageView));
    }
    mode = ViewMode::Thumbnail;
    setPane(0, tree);
    setPane(1, thumbnails);
    barWidget->raise();
    relayout();
}

void CAlbSplitter::arrangePanes(std::int32_t viewMode, std::int32_t previousViewMode)
{
    const int had = activePane();
    if (had >= 0 && previousViewMode == ViewMode::Thumbnail)
        treePaneActive = had == 0;
    else if (had >= 0 && previousViewMode == ViewMode::Select)
        stripPaneActive = had == 0;

    static constexpr std::array<int, 3> kHiddenIds = { SplitterId::HiddenTree,
                                                       SplitterId::HiddenThumbnails,
                                                       SplitterId::HiddenImageView };
    for (std::size_t i = 0; i < views.size(); ++i) {
        if (views[i]) {
            views[i]->hide();
            views[i]->setObjectName(QString::number(kHiddenIds[i]));
        }
    }
    panes = {};

    mode = viewMode;
    if (viewMode == ViewMode::FullScreen) {
        setPane(0, imageView());
        active = 0;
    } else if (viewMode == ViewMode::Select) {
        setPane(0, thumbnailView());
        setPane(1, imageView());
        active = stripPaneActive ? 0 : 1;
    } else if (viewMode == ViewMode::Thumbnail) {
        setPane(0, treeView());
        setPane(1, thumbnailView());
        thumbWanted = settings.ui.thumbViewSplit;
        active = treePaneActive ? 0 : 1;
    } else {
        active = -1;
    }

    relayout();
    // The strip shows at once rather than after the rest of the switch has run.
    if (viewMode == ViewMode::Select && thumbnailView() && thumbnailView()->isVisible())
        thumbnailView()->repaint();
    if (QWidget *focus = pane(active))
        focus->setFocus(Qt::OtherFocusReason);
}

QWidget *CAlbSplitter::pane(int index) const
{
    return index == 0 || index == 1 ? panes[std::size_t(index)] : nullptr;
}

int CAlbSplitter::activePane() const
{
    const int focused = paneOf(window()->focusWidget());
    return focused >= 0 ? focused : active;
}

void CAlbSplitter::relayout()
{
    const auto sizes = LayoutPanes(mode, clientLength(), splitAxis(), wantedLength());
    if (!sizes)
        return;
    current = *sizes;
    // Until the user moves the bar, the proportional split is what a later start comes back to.
    if (mode == ViewMode::Thumbnail && settings.splitNeverStored && !stackedPanes)
        settings.ui.thumbViewSplit = StoredSplit(current.second);
    placePanes();
}

void CAlbSplitter::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void CAlbSplitter::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBarFill);
}

//   stacked:        side by side:
//   +---------+     +----+-+-----+
//   | first   |     |    | |     |
//   +=========+ bar |first bar second
//   | second  |     |    | |     |
//   +---------+     +----+-+-----+
void CAlbSplitter::placePanes()
{
    const bool full = mode == ViewMode::FullScreen;
    const int barStart = current.first;
    const int secondStart = barStart + kSplitterBarWidth;
    QRect first, barArea, second;
    if (full) {
        first = rect();
    } else if (stackedPanes) {
        first = QRect(0, 0, width(), current.first);
        barArea = QRect(0, barStart, width(), kSplitterBarWidth);
        second = QRect(0, secondStart, width(), current.second);
    } else {
        first = QRect(0, 0, current.first, height());
        barArea = QRect(barStart, 0, kSplitterBarWidth, height());
        second = QRect(secondStart, 0, current.second, height());
    }
    if (panes[0])
        panes[0]->setGeometry(first);
    if (panes[1])
        panes[1]->setGeometry(second);
    barWidget->setGeometry(barArea);
    barWidget->setVisible(!full);
    barWidget->update();
}

void CAlbSplitter::barPressed(QPoint position)
{
    if (mode == ViewMode::FullScreen)
        return;
    const SplitAxis axis = splitAxis();
    const int offset = stackedPanes ? position.x() : position.y();
    const int length = stackedPanes ? barWidget->width() : barWidget->height();
    const SplitMove move = ChooseMove(mode, PossibleMoves(mode, current, axis), offset, length);
    if (move == SplitMove::None)
        return;
    const TapOutcome outcome = ApplyMove(mode, move, current, axis);
    if (mode == ViewMode::Thumbnail) {
        settings.splitNeverStored = false;
        thumbWanted = outcome.sizes.second;
        settings.ui.thumbViewSplit = StoredSplit(outcome.stored);
    } else {
        stripWanted = outcome.sizes.first;
        settings.ui.selectViewSplit = StoredSplit(outcome.stored);
    }
    relayout();
}

void CAlbSplitter::paintBar(QPainter &painter, QRect area) const
{
    painter.fillRect(area, kBarFill);
    const BarGlyphs glyphs = GlyphsOfBar(mode, PossibleMoves(mode, current, splitAxis()));
    if (glyphs.boxes == 2) {
        QRect firstHalf = area;
        QRect secondHalf = area;
        if (stackedPanes) {
            firstHalf.setWidth(area.width() / 2);
            secondHalf.setLeft(firstHalf.right() + 1);
        } else {
            firstHalf.setHeight(area.height() / 2);
            secondHalf.setTop(firstHalf.bottom() + 1);
        }
        paintGlyphBox(painter, firstHalf, glyphs.glyph[0]);
        paintGlyphBox(painter, secondHalf, glyphs.glyph[1]);
        return;
    }
    DrawRaisedEdge(painter, area);
    if (glyphs.boxes == 1) {
        const ImageList *list = lists ? lists->find(arrowBitmap()) : nullptr;
        const QSize glyphSize = list ? list->imageSize() : QSize();
        QRect box = area;
        if (stackedPanes)
            box.setWidth(glyphSize.width() + 2 * kGlyphMargin);
        else
            box.setHeight(glyphSize.height() + 2 * kGlyphMargin);
        box.moveCenter(area.center());
        paintGlyphBox(painter, box, glyphs.glyph[0]);
    }
}

void CAlbSplitter::paintGlyphBox(QPainter &painter, QRect box, int glyph) const
{
    DrawRaisedEdge(painter, box);
    if (glyph < 0 || !lists)
        return;
    const QImage image = lists->image(arrowBitmap(), glyph);
    if (image.isNull())
        return;
    QRect place(QPoint(0, 0), image.size());
    place.moveCenter(box.center());
    painter.drawImage(place.topLeft(), image);
}

void CAlbSplitter::noteFocus(QWidget *focus)
{
    const int index = paneOf(focus);
    if (index >= 0)
        active = index;
}

int CAlbSplitter::paneOf(const QWidget *widget) const
{
    if (!widget)
        return -1;
    for (int i = 0; i < 2; ++i) {
        const QWidget *view = panes[std::size_t(i)];
        if (view && (view == widget || view->isAncestorOf(widget)))
            return i;
    }
    return -1;
}

void CAlbSplitter::setPane(int index, QWidget *view)
{
    panes[std::size_t(index)] = view;
    if (!view)
        return;
    const int id = index == 0
            ? SplitterId::FirstPane
            : (stackedPanes ? SplitterId::SecondPaneStacked : SplitterId::SecondPaneSideBySide);
    view->setObjectName(QString::number(id));
    view->show();
}

int CAlbSplitter::arrowBitmap() const
{
    return stackedPanes ? BitmapId::SplitterArrowsStacked : BitmapId::SplitterArrowsSideBySide;
}

int CAlbSplitter::clientLength() const
{
    return stackedPanes ? height() : width();
}

std::optional<int> CAlbSplitter::wantedLength() const
{
    if (mode == ViewMode::Select)
        return stripWanted;
    // Side by side on a desktop screen, a split that was never chosen gives the thumbnails three
    // quarters of the width and the tree a quarter (rounded to whole cells by the layout).
    if (mode == ViewMode::Thumbnail && settings.splitNeverStored && !stackedPanes)
        return std::max(0, SplitLength(clientLength()) - splitAxis().allowance) * 3 / 4;
    return thumbWanted;
}
