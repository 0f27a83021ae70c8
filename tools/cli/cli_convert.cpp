#include "cli_commands.h"
#include "cli_convert_arguments.h"
#include "codecs/detecting_codec.h"
#include "codecs/image_header.h"
#include "codecs/save_picture.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "image/image_info.h"

#include <algorithm>
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
been written completely. Exit status: 0 done, 1 the picture could not be read or written
(the program's message and location on standard error), 2 bad arguments.
)";

} // namespace

int RunConvert(const std::vector<std::string> &list)
{
    if (std::find(list.begin(), list.end(), "--help") != list.end()) {
        std::fputs(kConvertUsage, stdout);
        return 0;
    }
    ConvertArgs args;
    try {
        args = ParseConvertArguments(list);
    } catch (const ConvertArgumentError &refused) {
        std::fprintf(stderr, "vistrel-cli convert: %s\n", refused.text.c_str());
        return 2;
    }
    FrameArray frames;
    try {
        ImageInfo info;
        // The decoding maps IN and unmaps it before returning, so OUT may replace IN.
        DetectingCodec().decodeFramesFromFile(args.in, &info, &frames, nullptr, nullptr);
    } catch (...) {
        PrintFailure(args.in);
        return 1;
    }
    try {
        if (frames.empty() || !frames.front())
            ThrowAlb(Msg::NoImages);
        // Only the first frame is saved; the others go before the conversion needs memory.
        frames.resize(1);
        SaveDecodedPicture(frames.front()->image, args.out, args.options,
                           args.crop ? &*args.crop : nullptr);
    } catch (...) {
        PrintFailure(args.out);
        return 1;
    }
    return 0;
}
