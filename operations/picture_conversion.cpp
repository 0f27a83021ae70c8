#include "operations/picture_conversion.h"

#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

void PictureConversion::read(const std::string &path)
{
    DetectingCodec codec;
    ImageInfo info;
    frames.clear();
    codec.decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    missing = codec.missingDataNote();
    if (frames.size() > 1)
        frames.resize(1);
}

const ImageBuffer *PictureConversion::picture() const
{
    return frames.empty() || !frames.front() ? nullptr : &frames.front()->image;
}

void PictureConversion::write(const std::string &path, const SaveOptions &options, const Rect *crop)
{
    if (frames.empty() || !frames.front())
        ThrowAlb(Msg::NoImages);
    SaveDecodedPicture(frames.front()->image, path, options, crop);
}
