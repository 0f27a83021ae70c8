#pragma once

#include "image/image_buffer.h"
#include "image/palette.h"
#include "image/rect.h"

#include <functional>
#include <string>

class CAlbDoc;
class ImageItem;
class QColor;
class QImage;
class QPainter;

// Decodes the first frame of a picture file (a device path) fitted into a box without enlarging.
// Throws what the reader throws.
using ThumbnailDecoder = std::function<void(const std::string &path, ImageBuffer &image, Size box)>;

class ThumbnailStore;

// The desktop's shared thumbnail cache when the settings let the album use it and there is one;
// else null.
const ThumbnailStore *SharedThumbnailStore(const CAlbDoc &doc);

// The largest box a thumbnail of a cell of cell's size is decoded into: the cell less its frame,
// in device pixels of the document's thumbnail pixel ratio.
Size ThumbnailBox(const CAlbDoc &doc);

// A length of logical pixels in whole device pixels at ratio (rounded down, so that what fills it
// never spills into the next logical pixel).
std::int32_t DeviceExtent(std::int32_t logical, double ratio);

// Frees every decoded picture (thumbnail, full-size frames, view frames) of the first item in
// list order that holds a thumbnail or full-size frames (ItemFlag::Freeable) and is not pinned;
// true when one was freed. An item that holds only the image view's frames keeps them.
bool FreeOneCachedPicture(const CAlbDoc &doc);
// Frees the decoded pictures of every such item; true when any was freed.
bool FreeAllCachedPictures(const CAlbDoc &doc);

// How one try at something that needs memory ended.
enum class Attempt {
    Succeeded,
    Failed,
    ShortOfMemory
};

// Runs attempt until it succeeds, fails for another reason than memory, or runs short of memory
// when no cached picture of another item can be freed. item is pinned meanwhile so that its own
// pictures stay. True when the attempt succeeded.
bool RetryFreeingPictures(const CAlbDoc &doc, ImageItem &item,
                          const std::function<Attempt()> &attempt);

// Makes the item's thumbnail from the document's current folder if it has none: from the shared
// thumbnail cache, the photo's embedded thumbnail or a decoding (see ThumbnailMaker). With
// retryOnMemory, a shortage of memory frees cached pictures of other items and tries again while
// something could be freed. Any other failure leaves the item without thumbnail. True when the
// item has a thumbnail afterwards. Without a decoder the format-detecting codec reads.
bool EnsureThumbnail(const CAlbDoc &doc, ImageItem &item, bool retryOnMemory,
                     const ThumbnailDecoder &decoder = {});

// Draws the item's thumbnail into rect on painter: fitted (or, with stretch, stretched) and
// centred, the rest filled with fill; enlarge lets a small thumbnail grow to fit. Without a
// thumbnail the rectangle is filled and noPicture drawn centred in it. Used by the previews of
// other windows, which decode on demand without freeing anything.
void DrawItemPreview(const CAlbDoc &doc, ImageItem &item, QPainter &painter, const Rect &rect,
                     RgbValue fill, bool stretch, bool enlarge, const QImage &noPicture);

// The colour of an RgbValue for painting.
QColor ColourOf(RgbValue value);
