#pragma once

#include "image/image_info.h"
#include "image/rect.h"
#include "views/thumbnail_cache.h"

#include <cstdint>
#include <functional>
#include <string>

class CAlbDoc;
class ImageItem;

// Decodes every frame of a picture file (a device path) scaled so that the whole picture is size.
// Throws what the reader throws.
using FramesDecoder = std::function<void(const std::string &path, ImageInfo &info,
                                         FrameArray &frames, Size size)>;

// The reader the image view uses: the format-detecting codec.
FramesDecoder DefaultFramesDecoder();

// Decodes an item's picture at a zoom percentage into its frames; 0 when done, else the message
// id of the failure. The image view, the crop preview and the save each load through one.
using ItemPictureLoader = std::function<std::uint32_t(ImageItem &item, std::int32_t percent)>;

// One decoding of a picture file (a device path) at percent of its full size, made without
// touching any item, so that a worker thread may run it. fileName names it in the trace.
struct DecodedFrames
{
    ImageInfo info;
    FrameArray frames;
    std::int32_t percent = 100;
    Attempt outcome = Attempt::Failed;
    // 0 when it succeeded, else the message of the failure.
    std::uint32_t message = 0;
};

// Decodes the file at percent (100 or more: full size); traced as "decode<TAB>file<TAB>percent".
// A file that is no longer there fails with Msg::UnableToAccessFile, untraced.
DecodedFrames DecodeViewFrames(const std::string &path, const std::string &fileName, Size full,
                               std::int32_t percent, const FramesDecoder &decoder);

// Whether the item holds its frames for the views decoded at percent or more.
bool HoldsViewFrames(const ImageItem &item, std::int32_t percent);

// Gives the item a successful decoding's frames, unless it already holds them at least as fine
// (another window decoded it meanwhile). True when the item took them.
bool InstallViewFrames(ImageItem &item, DecodedFrames &decoded);

// Makes sure the item holds its frames for the image view decoded at percent or more of its full
// size. Nothing is decoded when it already does; each decoding is traced as
// "decode<TAB>file<TAB>percent". A shortage of memory frees the pictures of every
// other item and tries again while something was freed. Returns 0 on success, else the message
// of the failure (20004 when the file is gone or the failure has no message of its own, 46040
// for memory); the frames the item held before are then kept.
std::uint32_t LoadViewFrames(const CAlbDoc &doc, ImageItem &item, std::int32_t percent,
                             const FramesDecoder &decoder = DefaultFramesDecoder());

// LoadViewFrames at percent and then, while it fails, at ever smaller scales down to 8 percent.
// The wait cursor of the document's frame shows while anything is decoded.
std::uint32_t LoadViewFramesSteppingDown(const CAlbDoc &doc, ImageItem &item, std::int32_t percent,
                                         const FramesDecoder &decoder = DefaultFramesDecoder());

// A window (a PictureUser bit) shows the item's frames: they stay until every such window let go.
void HoldViewFrames(ImageItem &item, std::uint8_t user);
// The window no longer shows the item; its frames go when no other window shows them.
void LetGoViewFrames(ImageItem &item, std::uint8_t user);
// The window lets go of every listed item it held (it closes, and the item it showed may be gone).
void LetGoViewFramesEverywhere(const CAlbDoc &doc, std::uint8_t user);
// Drops the frames the item holds for the views (its thumbnail stays) unless a window shows them.
void ReleaseUnshownFrames(ImageItem &item);

// Where a decoded frame sits: its position and the whole canvas (a GIF's logical screen), both
// at the scale it was decoded at.
struct FramePlacement
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    Size canvas;
};

FramePlacement PlaceFrame(const ImageFrame &frame, const ImageInfo &info, std::int32_t percent);
