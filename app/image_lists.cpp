#include "app/image_lists.h"

#include <QPainter>
#include <QPolygon>

#include <functional>
#include <utility>

namespace {

// Artwork is drawn without anti-aliasing: a blended edge would come close to the mask colour
// without matching it and leave a fringe around the transparent parts.
using Artwork = std::function<void(QPainter &, int index, QRect cell)>;

struct BitmapRecipe
{
    int bitmapId;
    int count;
    QSize imageSize;
    std::optional<RgbValue> mask;
    QRgb background; // of a list without a mask; the others start in their mask colour
    Artwork draw;
};

constexpr QRgb kBarColour = 0xFFCCCCCC;
constexpr QRgb kWhite = 0xFFFFFFFF;
const QColor kInk(0, 0, 0);

QRgb toQRgb(RgbValue colour)
{
    return qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

// A solid triangle one pixel wider on each side per row; apex at the pointing end.
void drawArrow(QPainter &painter, QRect cell, Qt::ArrowType direction)
{
    const bool vertical = direction == Qt::UpArrow || direction == Qt::DownArrow;
    const int length = vertical ? cell.height() : cell.width();
    const int centre = vertical ? cell.width() / 2 : cell.height() / 2;
    for (int step = 0; step < length; ++step) {
        const bool towardsStart = direction == Qt::UpArrow || direction == Qt::LeftArrow;
        const int along = towardsStart ? step : length - 1 - step;
        if (vertical)
            painter.fillRect(cell.left() + centre - step, cell.top() + along, 2 * step + 1, 1,
                             kInk);
        else
            painter.fillRect(cell.left() + along, cell.top() + centre - step, 1, 2 * step + 1,
                             kInk);
    }
}

void drawStackedArrows(QPainter &painter, int index, QRect cell)
{
    drawArrow(painter, cell, index == 0 ? Qt::UpArrow : Qt::DownArrow);
}

void drawSideBySideArrows(QPainter &painter, int index, QRect cell)
{
    drawArrow(painter, cell, index == 0 ? Qt::LeftArrow : Qt::RightArrow);
}

// Index 0 a closed folder, index 1 an open one for the selected item.
void drawFolder(QPainter &painter, int index, QRect cell)
{
    const QColor outline(128, 96, 0);
    const QColor back(230, 180, 40);
    const QColor front(255, 220, 100);
    const int x = cell.left();
    const int y = cell.top();
    painter.setPen(outline);
    painter.setBrush(back);
    painter.drawPolygon(
            QPolygon({ QPoint(x + 1, y + 3), QPoint(x + 6, y + 3), QPoint(x + 7, y + 4),
                       QPoint(x + 14, y + 4), QPoint(x + 14, y + 13), QPoint(x + 1, y + 13) }));
    painter.setBrush(front);
    if (index == 0) {
        painter.drawRect(x + 1, y + 6, 13, 7);
        return;
    }
    // The open folder's front leans back, showing the inside.
    painter.drawPolygon(QPolygon({ QPoint(x + 4, y + 7), QPoint(x + 15, y + 7),
                                   QPoint(x + 12, y + 13), QPoint(x + 1, y + 13) }));
}

// A small padlock on white: the picture cannot be changed.
void drawReadOnlyMark(QPainter &painter, int, QRect cell)
{
    const int x = cell.left();
    const int y = cell.top();
    painter.setPen(kInk);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(x, y, cell.width() - 1, cell.height() - 1);
    painter.drawRect(x + 3, y + 2, 4, 3); // shackle
    painter.fillRect(x + 2, y + 5, 7, 4, QColor(160, 0, 0));
}

void drawCamera(QPainter &painter, int, QRect cell)
{
    const int x = cell.left();
    const int y = cell.top();
    painter.setPen(kInk);
    painter.setBrush(QColor(64, 64, 64));
    painter.drawRect(x + 5, y + 3, 5, 2); // viewfinder hump
    painter.drawRect(x + 1, y + 5, 14, 9); // body
    painter.setBrush(QColor(180, 200, 230));
    painter.drawEllipse(x + 5, y + 6, 6, 6); // lens
}

// An empty picture frame crossed out in red.
void drawNoPicture(QPainter &painter, int, QRect cell)
{
    const int x = cell.left();
    const int y = cell.top();
    painter.setPen(kInk);
    painter.setBrush(QColor(kWhite));
    painter.drawRect(x + 1, y + 1, 13, 13);
    painter.setPen(QPen(QColor(255, 0, 0), 2));
    painter.drawLine(x + 4, y + 4, x + 11, y + 11);
    painter.drawLine(x + 11, y + 4, x + 4, y + 11);
}

const BitmapRecipe kRecipes[] = {
    { BitmapId::SplitterArrowsStacked, 2, QSize(9, 5), std::nullopt, kBarColour,
      drawStackedArrows },
    { BitmapId::SplitterArrowsSideBySide, 2, QSize(5, 9), std::nullopt, kBarColour,
      drawSideBySideArrows },
    { BitmapId::FolderTree, 2, QSize(16, 16), MakeRgb(255, 255, 255), 0, drawFolder },
    { BitmapId::ReadOnlyMark, 1, QSize(11, 11), std::nullopt, kWhite, drawReadOnlyMark },
    { BitmapId::CaptureMark, 1, QSize(16, 16), 0x808000, 0, drawCamera },
    { BitmapId::NoPicture, 1, QSize(16, 16), 0xC0C0C0, 0, drawNoPicture },
};

// Bitmaps that belong to a dialog rather than to the application's lists.
const BitmapRecipe kDialogRecipes[] = {
    { BitmapId::FolderPicker, 2, QSize(16, 16), MakeRgb(255, 255, 255), 0, drawFolder },
};

QImage drawBitmap(const BitmapRecipe &recipe)
{
    const QSize size(recipe.imageSize.width() * recipe.count, recipe.imageSize.height());
    QImage bitmap(size, QImage::Format_RGB32);
    if (bitmap.isNull())
        return bitmap;
    bitmap.fill(recipe.mask ? toQRgb(*recipe.mask) : recipe.background);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < recipe.count; ++i)
        recipe.draw(painter, i, QRect(QPoint(i * recipe.imageSize.width(), 0), recipe.imageSize));
    return bitmap;
}

} // namespace

ImageList::ImageList(int bitmapId, int count, QImage bitmap, std::optional<RgbValue> maskColour)
    : id(bitmapId), images(count), strip(std::move(bitmap)), mask(maskColour)
{ }

QSize ImageList::imageSize() const
{
    return images > 0 ? QSize(strip.width() / images, strip.height()) : QSize();
}

QImage ImageList::image(int index) const
{
    if (index < 0 || index >= images)
        return QImage();
    const QSize size = imageSize();
    QImage cut = strip.copy(QRect(QPoint(index * size.width(), 0), size))
                         .convertToFormat(QImage::Format_ARGB32);
    if (!mask)
        return cut;
    const QRgb key = toQRgb(*mask) & 0xFFFFFFu;
    for (int y = 0; y < cut.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(cut.scanLine(y));
        for (int x = 0; x < cut.width(); ++x)
            if ((row[x] & 0xFFFFFFu) == key)
                row[x] = 0;
    }
    return cut;
}

const ImageList *ImageLists::find(int bitmapId) const
{
    for (const ImageList &list : lists)
        if (list.bitmapId() == bitmapId && list.count() > 0)
            return &list;
    return nullptr;
}

QImage ImageLists::image(int bitmapId, int index) const
{
    const ImageList *list = find(bitmapId);
    return list ? list->image(index) : QImage();
}

bool BuildImageLists(ImageLists &lists)
{
    std::size_t slot = 0;
    for (const BitmapRecipe &recipe : kRecipes) {
        QImage bitmap = drawBitmap(recipe);
        if (bitmap.isNull())
            return false;
        lists.lists[slot++] =
                ImageList(recipe.bitmapId, recipe.count, std::move(bitmap), recipe.mask);
    }
    return true;
}

ImageList BuildDialogImageList(int bitmapId)
{
    for (const BitmapRecipe &recipe : kDialogRecipes) {
        if (recipe.bitmapId != bitmapId)
            continue;
        QImage bitmap = drawBitmap(recipe);
        if (bitmap.isNull())
            break;
        return ImageList(recipe.bitmapId, recipe.count, std::move(bitmap), recipe.mask);
    }
    return ImageList();
}
