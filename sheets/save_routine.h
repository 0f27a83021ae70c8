#pragma once

#include "operations/save_picture.h"
#include "sheets/crop_geometry.h"
#include "views/view_picture.h"

#include <cstdint>
#include <functional>
#include <string>

class CAlbDoc;
class ImageItem;
class QWidget;

// Loads the item's picture at full size (a picture held at full size is taken as it is), saves
// it cropped to crop (none: whole) with the options at path (a device path), and leaves the
// item's picture as it found it, also when anything throws: a smaller picture a window shows is
// given back, and a picture decoded for the save alone is released. The file is written through
// the writers' temporary file, so an earlier file at path survives a failure.
// Throws the loader's message (46040 when it gave none), 46002 for a bad format and whatever
// the writer throws.
void savePicture(ImageItem &item, const std::string &path, const SaveOptions &options,
                 const Rect *crop, const ItemPictureLoader &load);

using PictureSaver = std::function<void(ImageItem &item, const std::string &path,
                                        const SaveOptions &options, const Rect *crop)>;

// What the Crop button saves: the current picture, its rectangle, the Location page's folder (a
// device path as chosen) and appendage, the Format page's options.
struct CropJob
{
    ImageItem *item = nullptr;
    CropBox crop;
    std::string folder;
    std::string appendage;
    SaveOptions options;
};

struct CropOutcome
{
    enum Result {
        Saved,
        Declined,
        Failed
    };

    Result result = Declined;
    // The destination's name (title + appendage + extension).
    std::string name;
    // The picture's own file was replaced, so what shows it must be drawn again.
    bool replacedItem = false;
};

// Saves a crop job: composes the destination, asks before overwriting (only Yes goes on), saves
// with the wait cursor and keeps the album up to date when the file lands in the folder on show.
// A failure is reported here with the destination's name; the caller decides what follows a save.
CropOutcome cropAndSave(CAlbDoc &doc, QWidget *owner, const CropJob &job, const PictureSaver &save);
