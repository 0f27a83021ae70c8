#include "app/image_item.h"

#include "codecs/detecting_codec.h"
#include "codecs/image_description.h"
#include "common/alb_exception.h"
#include "common/path_names.h"
#include "common/string_ids.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::uint32_t kPlaceMakeItem = 118;

} // namespace

void ImageItem::setSelected(bool on)
{
    if (on)
        flags |= ItemFlag::Selected;
    else
        flags &= static_cast<std::uint16_t>(~ItemFlag::Selected);
}

void ImageItem::releaseThumbnail()
{
    thumbnail.reset();
    flags &= static_cast<std::uint16_t>(~ItemFlag::ThumbCached);
}

void ImageItem::releasePictures()
{
    releaseThumbnail();
    frames.clear();
    framesPercent = 100;
    flags &= static_cast<std::uint16_t>(~(ItemFlag::FramesCached | ItemFlag::ViewCached));
}

std::unique_ptr<ImageItem> MakeImageItem(std::string_view folder, const DirectoryRecord &entry)
{
    auto item = std::make_unique<ImageItem>();
    item->fileName = entry.name;
    // The device's sizes are 32-bit; a larger host file is shown at the largest size it can hold.
    item->fileSize = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(entry.size(), std::numeric_limits<std::uint32_t>::max()));
    item->lastWriteTime = entry.writeTime;
    if (entry.attributes & FileAttribute::ReadOnly)
        item->flags |= ItemFlag::ReadOnly;
    if (entry.attributes & FileAttribute::InRom)
        item->flags |= ItemFlag::InRom;
    item->flags |= ItemFlag::DescriptionRead;

    ImageHeader header;
    DetectingCodec codec;
    codec.readInfoFromFile(JoinPath(folder, entry.name), &header);
    if (header.frameCount <= 0)
        ThrowAlb(Msg::NoImages, Module::AlbumItems, kPlaceMakeItem, 1);
    DescribeImage(header, item->info, true);
    item->flags |= ItemFlag::DescriptionValid;
    return item;
}

