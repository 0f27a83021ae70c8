#include "cli_arguments.h"
#include "cli_commands.h"
#include "codecs/bmp_writer.h"
#include "codecs/detecting_codec.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "thumbnails/thumbnail_maker.h"
#include "thumbnails/thumbnail_store.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace {

namespace fs = std::filesystem;

const char kThumbsUsage[] =
        R"(usage: vistrel-cli thumbs DIR [--box WxH] [--out DIR] [--jobs N] [--overwrite] [--cache]

Makes the thumbnail of every picture in DIR (files ending in .bmp, .jpg, .jpeg, .gif,
.giff or .png, in any case; not below DIR) fitted into the box the way the album makes
them (a photo's own EXIF thumbnail when it is large enough, else the first frame
decoded), and prints how many were made. Failures (a link that leads nowhere included)
are listed on standard error with the program's message and location; the exit status
is then 1.

Options:
  --box WxH    The box in pixels, each side 1 to 4096 (default 48x64).
  --out DIR    Also write each thumbnail there as a BMP named after the picture's
               whole file name (photo.jpg becomes photo.jpg.bmp). DIR is created
               when missing. A file that is already there is kept and listed as a
               failure.
  --overwrite  Replace files that are already there instead.
  --jobs N     Decode N pictures at a time, 1 to 64 (default: one per processor).
               The output and the failures listed are the same for every N.
  --cache      Use the desktop's thumbnail cache ($XDG_CACHE_HOME/thumbnails) as the
               album does: valid thumbnails found there are used without decoding,
               new ones are stored, and pictures that cannot be read are noted there.
  --help       Show this text.
)";

// The codec framework's decoding of a first frame, and the writing of a thumbnail.
constexpr FailurePlace kReading{ Module::CodecFramework, 35, 1 };
constexpr FailurePlace kWriting{ Module::CropAndSave, 105, 1 };

struct ThumbsArgs
{
    std::string folder;
    int boxWidth = 48;
    int boxHeight = 64;
    std::string out;
    int jobs = 0;
    bool overwrite = false;
    bool cache = false;
};

void parseBox(const std::string &text, ThumbsArgs &args)
{
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > 4096
        || h > 4096)
        throw ArgumentError{ "--box needs WxH with sides of 1 to 4096, not '" + text + "'" };
    args.boxWidth = w;
    args.boxHeight = h;
}

void parseJobs(const std::string &text, ThumbsArgs &args)
{
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d%c", &args.jobs, &tail) != 1 || args.jobs < 1
        || args.jobs > 64)
        throw ArgumentError{ "--jobs needs a number from 1 to 64, not '" + text + "'" };
}

ThumbsArgs parseThumbs(const std::vector<std::string> &list)
{
    ThumbsArgs args;
    CommandOptions options("thumbs");
    options.value("--box", [&](const std::string &value) { parseBox(value, args); });
    options.value("--out", [&](const std::string &value) { args.out = value; });
    options.value("--jobs", [&](const std::string &value) { parseJobs(value, args); });
    options.flag("--overwrite", args.overwrite);
    options.flag("--cache", args.cache);
    const std::vector<std::string> folders = options.parse(list, UnknownOptions::Refused);
    if (folders.size() != 1)
        throw ArgumentError{ "needs one folder (see thumbs --help)" };
    args.folder = folders[0];
    return args;
}

std::vector<fs::path> pictureFiles(const fs::path &folder)
{
    std::vector<fs::path> files;
    // Everything named like a picture but a folder is tried: a link that leads nowhere or in a
    // circle fails with its reason instead of vanishing from the count.
    for (const auto &entry : fs::directory_iterator(folder)) {
        std::error_code error;
        if (!entry.is_directory(error) && HasPictureExtension(entry.path().filename().string()))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The reader's own failure text for a picture the maker could not read.
std::string readingFailure(const fs::path &file, const ThumbsArgs &args)
{
    try {
        ImageBuffer image;
        DetectingCodec().decodeFirstFrameFromFile(file.string(), &image, args.boxWidth,
                                                  args.boxHeight);
    } catch (...) {
        return CurrentFailureText(file.string(), kReading);
    }
    return "cannot be read";
}

// The failure text, or nothing when the thumbnail was made.
std::optional<std::string> makeThumbnail(const fs::path &file, const ThumbsArgs &args,
                                         const ThumbnailMaker &maker)
{
    ThumbnailResult made = maker.make(file.string(), { args.boxWidth, args.boxHeight });
    if (made.origin == ThumbnailOrigin::KnownFailure)
        return "noted as unreadable in the thumbnail cache (unchanged since)";
    // The maker keeps no reason; the reader tells it.
    if (!made.image.hasPixels())
        return readingFailure(file, args);
    const ImageBuffer &image = made.image;
    if (args.out.empty())
        return std::nullopt;
    try {
        const fs::path target = fs::path(args.out) / (file.filename().string() + ".bmp");
        BmpWriter writer;
        // With --out the pictures' own folder, "x.jpg.bmp" may well be a picture of the user's.
        writer.keepExisting = !args.overwrite;
        writer.write(target.string(), image.span());
    } catch (...) {
        return CurrentFailureText(file.string(), kWriting);
    }
    return std::nullopt;
}

// Thumbnails are independent of each other, so a folder is shared out among worker threads: each
// takes the next file until none is left. Failures are kept by position and listed afterwards in
// file order, so the report does not depend on the number of threads.
std::vector<std::optional<std::string>> makeThumbnails(const std::vector<fs::path> &files,
                                                       const ThumbsArgs &args)
{
    std::optional<ThumbnailStore> store;
    if (args.cache)
        store.emplace(ThumbnailStore::DefaultRoot(), ThumbnailStore::DefaultSoftware());
    const ThumbnailMaker maker(store ? &*store : nullptr);
    std::vector<std::optional<std::string>> failures(files.size());
    std::atomic<std::size_t> next{ 0 };
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            failures[i] = makeThumbnail(files[i], args, maker);
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t wanted = args.jobs > 0 ? static_cast<std::size_t>(args.jobs) : cores;
    const std::size_t count = std::min(wanted, std::max<std::size_t>(files.size(), 1));
    std::vector<std::thread> helpers;
    for (std::size_t i = 1; i < count; ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
    return failures;
}

} // namespace

int RunThumbs(const std::vector<std::string> &list)
{
    ThumbsArgs args;
    if (const auto status =
                ReadArguments("thumbs", kThumbsUsage, [&] { args = parseThumbs(list); }))
        return *status;
    std::vector<fs::path> files;
    try {
        if (!args.out.empty())
            fs::create_directories(args.out);
        files = pictureFiles(args.folder);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "vistrel-cli thumbs: %s\n", error.what());
        return 1;
    }
    const auto failures = makeThumbnails(files, args);
    std::size_t failed = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (failures[i]) {
            std::fprintf(stderr, "%s: %s\n", files[i].c_str(), failures[i]->c_str());
            ++failed;
        }
    }
    std::printf("%zu pictures, %zu failed\n", files.size() - failed, failed);
    return failed ? 1 : 0;
}
