#pragma once

#include "image/image_info.h"
#include "image/rect.h"
#include "operations/save_picture.h"

#include <string>

// A picture file's first frame saved as another file the way the album's crop and save does
// (`vistrel-cli convert`). Two steps, so that a caller can tell a file that cannot be read from
// one that cannot be written.
class PictureConversion
{
public:
    // Decodes the file and keeps its first frame; the others go before the save needs memory.
    // The file is mapped only while it is read, so the output may replace it. Throws what the
    // decoding throws.
    void read(const std::string &path);

    // What the decoding made up because the file's data ended early, in the decoding library's
    // words; empty when it made up nothing. Such a picture is no picture to write.
    const std::string &missingData() const { return missing; }

    // The first frame's picture; none when the file holds no frame.
    const ImageBuffer *picture() const;

    // Saves the picture as path (SaveDecodedPicture). Throws 46130 when the file held no frame,
    // and whatever the save throws.
    void write(const std::string &path, const SaveOptions &options, const Rect *crop);

private:
    FrameArray frames;
    std::string missing;
};
