#include "sheets/sheet_picture_loader.h"

ItemPictureLoader SheetPictureLoader(const CAlbDoc &doc, FramesDecoder decoder)
{
    return [&doc, decoder = std::move(decoder)](ImageItem &item,
                                                std::int32_t percent) -> std::uint32_t {
        if (percent >= 100)
            return LoadViewFrames(doc, item, 100, decoder);
        return LoadViewFramesSteppingDown(doc, item, percent, decoder);
    };
}
