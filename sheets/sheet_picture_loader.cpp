#include "sheets/sheet_picture_loader.h"

#include "views/view_picture.h"

ItemPictureLoader SheetPictureLoader(const CAlbDoc &doc)
{
    return [&doc](ImageItem &item, std::int32_t percent) -> std::uint32_t {
        if (percent >= 100)
            return LoadViewFrames(doc, item, 100);
        return LoadViewFramesSteppingDown(doc, item, percent);
    };
}
