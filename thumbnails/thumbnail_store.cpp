#include "thumbnails/thumbnail_store.h"

#include "codecs/png_codec.h"
#include "codecs/png_writer.h"
#include "common/file_uri.h"
#include "common/host_path.h"
#include "common/md5.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr ThumbnailStore::Flavour kFlavours[] = { ThumbnailStore::Flavour::Normal,
                                                  ThumbnailStore::Flavour::Large,
                                                  ThumbnailStore::Flavour::XLarge,
                                                  ThumbnailStore::Flavour::XXLarge };

// Only this program's user may see what pictures the user looked at.
constexpr mode_t kFolderMode = 0700;

// Makes folder and the folders above it that are missing, each private to the user. Folders that
// exist keep their modes.
bool makeFolders(const fs::path &folder)
{
    if (folder.empty())
        return false;

    struct stat facts
    { };

    if (::stat(folder.c_str(), &facts) == 0)
        return S_ISDIR(facts.st_mode);
    if (folder.has_parent_path() && folder.parent_path() != folder
        && !makeFolders(folder.parent_path()))
        return false;
    return ::mkdir(folder.c_str(), kFolderMode) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const std::vector<std::uint8_t> &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the bytes under a temporary name beside path (mode 0600, which mkstemp gives) and
// renames it over path, so that no reader ever sees half a file. Unlike the user's own files,
// thumbnails are not flushed to the disk first: one lost to a power cut is merely made again,
// and flushing each would slow the first visit of a large folder several times over.
bool writeAtomically(const std::string &path, const std::vector<std::uint8_t> &bytes)
{
    if (!makeFolders(fs::path(path).parent_path()))
        return false;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, bytes);
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

std::optional<std::int64_t> parseNumber(const std::optional<std::string> &text)
{
    if (!text)
        return std::nullopt;
    std::int64_t value = 0;
    const char *end = text->data() + text->size();
    auto [at, error] = std::from_chars(text->data(), end, value);
    // Some writers add a fraction of a second; the whole seconds are what count.
    if (error != std::errc() || (at != end && *at != '.'))
        return std::nullopt;
    return value;
}

// Whether a note's keys describe the file as it is now. The modification time must be there and
// match; size and URI, which not every program writes, must match where they are given.
bool describes(const PngText &keys, const PictureFileFacts &file)
{
    const std::optional<std::int64_t> modified = parseNumber(FindPngText(keys, "Thumb::MTime"));
    if (!modified || *modified != file.modified)
        return false;
    if (const auto size = FindPngText(keys, "Thumb::Size")) {
        const std::optional<std::int64_t> bytes = parseNumber(size);
        if (!bytes || static_cast<std::uint64_t>(*bytes) != file.size)
            return false;
    }
    const std::optional<std::string> uri = FindPngText(keys, "Thumb::URI");
    return !uri || *uri == file.uri;
}

PngText keysOf(const PictureFileFacts &file)
{
    return { { "Thumb::URI", file.uri },
             { "Thumb::MTime", std::to_string(file.modified) },
             { "Thumb::Size", std::to_string(file.size) } };
}

// How a thumbnail's rows are packed. Thumbnails are written while the view waits for them and
// read on every visit after: those up to 256 pixels are stored unpacked (at most 192 KiB),
// larger ones are deflated quickly, as their size would tell on the disk.
PngPacking packingFor(const PixelSpan &picture)
{
    constexpr auto kStoredUpTo = static_cast<std::int32_t>(ThumbnailStore::Flavour::Large);
    return std::max(picture.width, picture.height) <= kStoredUpTo ? PngPacking::Stored
                                                                  : PngPacking::Quick;
}

// The PNG file of a thumbnail with its keys; a 1-byte picture keeps its transparent entry.
std::optional<std::vector<std::uint8_t>> encode(const PixelSpan &picture, const PngText &keys,
                                                std::int32_t transparentIndex = -1)
{
    PngWriter writer;
    // A thumbnail has no resolution worth stating.
    writer.xResolution = writer.yResolution = 0;
    writer.text = &keys;
    writer.transparentIndex = transparentIndex;
    writer.packing = packingFor(picture);
    try {
        return writer.encode(picture);
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

std::optional<PictureFileFacts> ExamineFile(const std::string &path)
{
    std::error_code error;
    fs::path host = fs::absolute(HostPath(path), error);
    if (error)
        return std::nullopt;
    host = host.lexically_normal();

    struct stat facts
    { };

    if (::stat(host.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return std::nullopt;
    PictureFileFacts file;
    file.path = host.string();
    file.uri = FileUri(file.path);
    file.modified = facts.st_mtim.tv_sec;
    file.size = static_cast<std::uint64_t>(facts.st_size);
    return file;
}

ThumbnailStore::ThumbnailStore(std::string root, std::string software)
    : rootFolder(std::move(root)), softwareName(std::move(software))
{
    while (rootFolder.size() > 1 && rootFolder.back() == '/')
        rootFolder.pop_back();
}

std::string ThumbnailStore::DefaultRoot()
{
    const char *cache = std::getenv("XDG_CACHE_HOME");
    // A relative value is invalid and is ignored, as the desktop's base directories say.
    if (cache && cache[0] == '/')
        return std::string(cache) + "/thumbnails";
    const std::string home = HomeFolder();
    if (home.empty() || home == "/")
        return {};
    return home + "/.cache/thumbnails";
}

std::string ThumbnailStore::DefaultSoftware()
{
    return std::string("vistrel-") + VISTREL_VERSION;
}

ThumbnailStore::Flavour ThumbnailStore::FlavourFor(Size box)
{
    const std::int32_t longest = std::max(box.width, box.height);
    for (Flavour flavour : kFlavours) {
        if (longest <= static_cast<std::int32_t>(flavour))
            return flavour;
    }
    return Flavour::XXLarge;
}

const char *ThumbnailStore::FolderOf(Flavour flavour)
{
    switch (flavour) {
    case Flavour::Normal:
        return "normal";
    case Flavour::Large:
        return "large";
    case Flavour::XLarge:
        return "x-large";
    default:
        return "xx-large";
    }
}

bool ThumbnailStore::holds(const PictureFileFacts &file) const
{
    return rootFolder.empty() || file.path == rootFolder || file.path.starts_with(rootFolder + "/");
}

std::string ThumbnailStore::thumbnailPath(const std::string &uri, Flavour flavour) const
{
    return rootFolder + '/' + FolderOf(flavour) + '/' + Md5Hex(uri) + ".png";
}

std::string ThumbnailStore::failurePath(const std::string &uri) const
{
    return rootFolder + "/fail/" + softwareName + '/' + Md5Hex(uri) + ".png";
}

std::optional<CachedThumbnail> ThumbnailStore::read(const std::string &path,
                                                    const PictureFileFacts &file) const
{
    if (::access(path.c_str(), F_OK) != 0)
        return std::nullopt;
    PngCodec codec;
    ImageBuffer image;
    try {
        // A thumbnail is at most 1024 pixels on a side; a larger file is read fitted to that.
        constexpr std::int32_t kLargest = static_cast<std::int32_t>(Flavour::XXLarge);
        codec.decodeFirstFrameFromFile(path, &image, kLargest, kLargest);
    } catch (...) {
        return std::nullopt;
    }
    const PngText &keys = codec.textEntries();
    if (!image.hasPixels() || !describes(keys, file))
        return std::nullopt;
    const std::optional<std::int64_t> width = parseNumber(FindPngText(keys, "Thumb::Image::Width"));
    const std::optional<std::int64_t> height =
            parseNumber(FindPngText(keys, "Thumb::Image::Height"));
    Size picture;
    if (width && height && *width > 0 && *height > 0 && *width <= INT32_MAX && *height <= INT32_MAX)
        picture = { static_cast<std::int32_t>(*width), static_cast<std::int32_t>(*height) };
    return CachedThumbnail{ std::move(image), picture };
}

std::optional<CachedThumbnail> ThumbnailStore::find(const PictureFileFacts &file,
                                                    Flavour flavour) const
{
    if (holds(file))
        return std::nullopt;
    for (Flavour each : kFlavours) {
        if (each < flavour)
            continue;
        if (std::optional<CachedThumbnail> found = read(thumbnailPath(file.uri, each), file))
            return found;
    }
    return std::nullopt;
}

bool ThumbnailStore::failedBefore(const PictureFileFacts &file) const
{
    if (holds(file))
        return false;
    const std::string path = failurePath(file.uri);
    if (::access(path.c_str(), F_OK) != 0)
        return false;
    PngCodec codec;
    try {
        ImageHeader header;
        codec.readInfoFromFile(path, &header);
    } catch (...) {
        return false;
    }
    return describes(codec.textEntries(), file);
}

bool ThumbnailStore::put(const PictureFileFacts &file, Flavour flavour,
                         const ImageBuffer &thumbnail, Size original) const
{
    if (holds(file) || !thumbnail.hasPixels())
        return false;
    PngText keys = keysOf(file);
    keys.push_back({ "Thumb::Image::Width", std::to_string(original.width) });
    keys.push_back({ "Thumb::Image::Height", std::to_string(original.height) });
    keys.push_back({ "Software", softwareName });
    const auto bytes = encode(thumbnail.span(), keys,
                              thumbnail.bytesPerPixel == 1 ? thumbnail.transparent : -1);
    return bytes && writeAtomically(thumbnailPath(file.uri, flavour), *bytes);
}

bool ThumbnailStore::putFailure(const PictureFileFacts &file) const
{
    if (holds(file))
        return false;
    PngText keys = keysOf(file);
    keys.push_back({ "Software", softwareName });
    const std::uint8_t pixel[4] = {};
    const auto bytes = encode(PixelSpan::Padded(pixel, 1, 1, 0), keys);
    return bytes && writeAtomically(failurePath(file.uri), *bytes);
}
