#include "cli_commands.h"
#include "cli_convert_arguments.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "operations/picture_conversion.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

const char kConvertUsage[] = R"(usage: vistrel-cli convert IN OUT [options]

Saves the first frame of picture IN as OUT the way the album's crop and save does.

Options:
  --format bmp|gif|jpg|png
                        Format of OUT (default: from OUT's extension: .bmp, .gif,
                        .jpg, .jpeg or .png).
  --colors N            BMP: 2, 16, 256 or 16777216 (24 bits, the default).
                        GIF: 2, 4, 8, 16, 32, 64, 128 or 256 (the default).
                        PNG is lossless: it keeps the picture's own colours.
  --quality Q           JPEG: 90, 80, 75 (the default), 60 or 45.
  --crop X,Y,W,H        Save only that rectangle, cut to the picture.
  --dpi X[,Y]           Resolution to store in pixels per inch (1 to 65535; Y = X when
                        not given).
  --help                Show this text.

OUT may be IN itself: IN is read completely first, and OUT is replaced only when it has
been written completely. An OUT that is a symbolic link gets its target written; one that
is read-only, a folder, a device or a pipe is refused and left as it was.
Exit status: 0 done, 1 the picture could not be read (a JPEG whose data ends early
included) or written (the program's message and location on standard error), 2 bad
arguments (a --crop that lies outside the picture included).
)";

// The codec framework's decoding of a file's frames, and the save the album's crop does.
constexpr FailurePlace kReading{ Module::CodecFramework, 104, 1 };
constexpr FailurePlace kWriting{ Module::CropAndSave, 105, 1 };
// A picture whose data ends early, which the reader filled in.
constexpr std::uint32_t kStepMissingData = 3;

// Reads IN; false (reported) when it cannot be read or its data ends early: a made-up part is
// no picture to write.
bool read(const std::string &in, PictureConversion &conversion)
{
    try {
        conversion.read(in);
    } catch (...) {
        PrintFailure(in, kReading);
        return false;
    }
    if (conversion.missingData().empty())
        return true;
    std::fprintf(stderr, "%s: %s\n%u:%u:%u:0\n%s\n", in.c_str(),
                 CAlbException(Msg::InvalidFormat).what(), kReading.module, kReading.place,
                 kStepMissingData, conversion.missingData().c_str());
    return false;
}

// A crop that leaves nothing of the picture is a wrong argument, not a failure to write OUT.
bool cropMeetsPicture(const ConvertArgs &args, const ImageBuffer *image)
{
    if (!args.crop || !image)
        return true;
    const Rect &c = *args.crop;
    if (c.intersected(Rect{ 0, 0, image->width, image->height }).isEmpty()) {
        std::fprintf(stderr,
                     "vistrel-cli convert: --crop %d,%d,%d,%d lies outside the picture (%dx%d)\n",
                     c.left, c.top, c.width(), c.height(), image->width, image->height);
        return false;
    }
    return true;
}

} // namespace

int RunConvert(const std::vector<std::string> &list)
{
    ConvertArgs args;
    if (const auto status = ReadArguments("convert", kConvertUsage,
                                          [&] { args = ParseConvertArguments(list); }))
        return *status;
    PictureConversion conversion;
    if (!read(args.in, conversion))
        return 1;
    if (!cropMeetsPicture(args, conversion.picture()))
        return 2;
    try {
        conversion.write(args.out, args.options, args.crop ? &*args.crop : nullptr);
    } catch (...) {
        PrintFailure(args.out, kWriting);
        return 1;
    }
    return 0;
}
