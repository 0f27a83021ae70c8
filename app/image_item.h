#pragma once

#include "common/dir_record.h"
#include "image/image_buffer.h"
#include "image/image_info.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Flag bits of an item. The low bits describe the file; the others belong to the views' caches.
namespace ItemFlag {
inline constexpr std::uint16_t DescriptionRead = 0x1;
inline constexpr std::uint16_t DescriptionValid = 0x2;
inline constexpr std::uint16_t ThumbCached = 0x4;
inline constexpr std::uint16_t FramesCached = 0x8;
inline constexpr std::uint16_t ReadOnly = 0x80;
inline constexpr std::uint16_t InRom = 0x100;
inline constexpr std::uint16_t Selected = 0x1000;
inline constexpr std::uint16_t Pinned = 0x2000;
inline constexpr std::uint16_t ViewCached = 0x8000;
// The pictures a memory shortage may take from an item that is not pinned: its thumbnail and
// frames decoded for saving or information, never frames that only the image view holds (that
// would throw away the picture on show).
inline constexpr std::uint16_t Freeable = ThumbCached | FramesCached;
} // namespace ItemFlag

// The windows that show an item's decoded frames (bits of ImageItem::pictureUsers). The view,
// the crop preview and the save share one picture per item; it stays while a window shows it.
namespace PictureUser {
inline constexpr std::uint8_t ImageView = 0x1;
inline constexpr std::uint8_t CropPreview = 0x2;
} // namespace PictureUser

// One picture of the folder on show, owned by the document.
class ImageItem
{
public:
    ImageItem() = default;
    ImageItem(const ImageItem &) = delete;
    ImageItem &operator=(const ImageItem &) = delete;

    bool selected() const { return (flags & ItemFlag::Selected) != 0; }

    void setSelected(bool on);

    bool has(std::uint16_t bit) const { return (flags & bit) != 0; }

    // Drops the thumbnail and its flag.
    void releaseThumbnail();
    // Drops every decoded picture (thumbnail and frames) and their flags.
    void releasePictures();

    // The document's number for the item, given when the item joins the list and never given
    // again by that document (0: not listed). Messages and anything kept across events name an
    // item by it: an address may belong to another item once the list has changed.
    std::uint64_t serial = 0;
    std::string fileName;
    std::uint32_t fileSize = 0;
    FileTime lastWriteTime = 0;
    std::uint16_t flags = 0;
    ImageInfo info;

    // Picture caches of the views: the thumbnail, and the decoded frames with the zoom
    // percentage they were decoded at (100 when full size).
    std::unique_ptr<ImageBuffer> thumbnail;
    FrameArray frames;
    std::int32_t framesPercent = 100;
    // The windows that show the frames (PictureUser bits).
    std::uint8_t pictureUsers = 0;
};

// Makes an item for the directory entry of a file in folder (a device path): name, size, time
// and the read-only and in-ROM attributes, then the picture description read from the file.
// A file without pictures throws 46130 at 38007:118:1; unreadable or unsupported files throw
// their reader's message.
std::unique_ptr<ImageItem> MakeImageItem(std::string_view folder, const DirectoryRecord &entry);
