#pragma once

#include "image/palette.h"

#include <QImage>
#include <QPixmap>
#include <QRgb>

#include <array>
#include <optional>

// Bitmaps that the views and trees draw from, by their resource numbers.
namespace BitmapId {
inline constexpr int SplitterArrowsStacked = 701; // up, down: bar between stacked panes
inline constexpr int SplitterArrowsSideBySide = 702; // left, right: bar between side-by-side panes
inline constexpr int FolderTree = 703; // closed folder, open (selected) folder
inline constexpr int ReadOnlyMark = 706; // mark of a read-only or in-ROM picture
inline constexpr int CaptureMark = 709; // camera of the image view and capture
inline constexpr int NoPicture = 710; // 16 x 16: a picture that cannot be shown
inline constexpr int FolderPicker = 31001; // the folder picker's closed and open folder
} // namespace BitmapId

// One bitmap cut into count images of equal width. Pixels of the mask colour (an RgbValue: red in
// the low byte) are transparent in the images it hands out; a list without one gives opaque images.
class ImageList
{
public:
    ImageList() = default;
    ImageList(int bitmapId, int count, QImage bitmap, std::optional<RgbValue> maskColour);

    int bitmapId() const { return id; }

    int count() const { return images; }

    QSize imageSize() const;

    std::optional<RgbValue> maskColour() const { return mask; }

    const QImage &bitmap() const { return strip; }

    // Image index with the mask applied (ARGB32), or a null image for an index out of range.
    QImage image(int index) const;

    QPixmap pixmap(int index) const { return QPixmap::fromImage(image(index)); }

private:
    int id = 0;
    int images = 0;
    QImage strip;
    std::optional<RgbValue> mask;
};

// The six lists built at start-up; they live as long as the application object.
struct ImageLists
{
    std::array<ImageList, 6> lists;

    // The list of bitmapId, or nullptr when there is none.
    const ImageList *find(int bitmapId) const;
    // Image index of the list of bitmapId; a null image when either does not exist.
    QImage image(int bitmapId, int index) const;
};

// Draws the bitmaps and cuts them into lists. False when a bitmap cannot be made.
bool BuildImageLists(ImageLists &lists);

// The list of a bitmap that dialogs load for themselves (FolderPicker); an empty list for a
// bitmap that is not one of them.
ImageList BuildDialogImageList(int bitmapId);
