#pragma once

#include "image/image_buffer.h"
#include "image/rect.h"

#include <functional>
#include <string>

class ThumbnailStore;
struct PictureFileFacts;

// Where a thumbnail came from, or why there is none.
enum class ThumbnailOrigin {
    Cache, // the desktop's thumbnail cache
    Embedded, // the photo's own EXIF thumbnail
    Decoded, // the picture, decoded
    KnownFailure, // the cache notes that this program could not read the file as it is
    Unreadable, // the picture could not be read
    ShortOfMemory // memory ran short; freeing pictures and trying again may help
};

struct ThumbnailResult
{
    ImageBuffer image; // fitted into the box; empty without a thumbnail
    ThumbnailOrigin origin = ThumbnailOrigin::Unreadable;
};

// Decodes the first frame of a picture file fitted into a box without enlarging, and tells the
// size of the whole picture. Throws what the reader throws.
using PictureDecoder =
        std::function<void(const std::string &path, ImageBuffer &image, Size box, Size &picture)>;

// The reader for thumbnails: the format-detecting codec.
PictureDecoder DefaultPictureDecoder();

// Makes the thumbnail of a picture file for a box of device pixels, the cheapest way there is:
// a valid thumbnail of the desktop's cache, else the photo's embedded thumbnail when it is large
// enough, else a decoding of the picture. With a cache, what was made is stored there (the
// picture decoded at the cache's size, then fitted into the box), and a picture that cannot be
// read is noted so that it is not tried again until it changes. Holds no state of its own: one
// maker serves any number of threads at once.
class ThumbnailMaker
{
public:
    // store may be null: no cache is used.
    explicit ThumbnailMaker(const ThumbnailStore *store,
                            PictureDecoder decoder = DefaultPictureDecoder());

    // path is a device path or a host path.
    ThumbnailResult make(const std::string &path, Size box) const;

    // Whether photos' embedded thumbnails are used (they are unless switched off).
    bool useEmbedded = true;

private:
    ThumbnailResult fromPicture(const std::string &path, Size box,
                                const PictureFileFacts *cached) const;
    ThumbnailResult fromEmbedded(const std::string &path, Size box,
                                 const PictureFileFacts *cached) const;

    const ThumbnailStore *store;
    PictureDecoder decoder;
};
