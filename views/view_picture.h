#pragma once

#include "image/image_info.h"
#include "image/rect.h"

#include <cstdint>
#include <functional>
#include <string>

class CAlbDoc;
class ImageItem;

// Decodes every frame of a picture file (a device path) scaled so that the whole picture is size.
// Throws what the reader throws.
using FramesDecoder =
        std::function<void(const std::string &path, ImageInfo &info, FrameArray &frames, Size size)>;

// The reader the image view uses: the format-detecting codec.
FramesDecoder DefaultFramesDecoder();

// Makes sure the item holds its frames for the image view decoded at percent or more of its full
// size. Nothing is decoded when it already does. A shortage of memory frees the pictures of every
// other item and tries again while something was freed. Returns 0 on success, else the message
// of the failure (20004 when the file is gone or the failure has no message of its own, 46040
// for memory); the frames the item held before are then kept.
std::uint32_t LoadViewFrames(const CAlbDoc &doc, ImageItem &item, std::int32_t percent,
                             const FramesDecoder &decoder = DefaultFramesDecoder());

// LoadViewFrames at percent and then, while it fails, at ever smaller scales down to 8 percent.
// The wait cursor of the document's frame shows while anything is decoded.
std::uint32_t LoadViewFramesSteppingDown(const CAlbDoc &doc, ImageItem &item, std::int32_t percent,
                                         const FramesDecoder &decoder = DefaultFramesDecoder());

// Drops the frames the item holds for the image view (its thumbnail stays).
void ReleaseViewFrames(ImageItem &item);

// Where a decoded frame sits: its position and the whole canvas (a GIF's logical screen), both
// at the scale it was decoded at.
struct FramePlacement
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    Size canvas;
};
FramePlacement PlaceFrame(const ImageFrame &frame, const ImageInfo &info, std::int32_t percent);
