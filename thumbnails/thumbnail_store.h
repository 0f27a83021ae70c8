#pragma once

#include "image/image_buffer.h"
#include "image/rect.h"

#include <cstdint>
#include <optional>
#include <string>

// The facts of a picture file that decide whether a cached thumbnail still shows it.
struct PictureFileFacts
{
    std::string path; // absolute host path
    std::string uri; // its file: URI
    std::int64_t modified = 0; // seconds since 1970, as the file system gives them
    std::uint64_t size = 0;
};

// The facts of a file (a device path or a host path; a relative host path counts from the current
// folder); none when it cannot be examined or is no regular file.
std::optional<PictureFileFacts> ExamineFile(const std::string &path);

// A thumbnail found in the cache, and the size of the picture it shows when the cache says so
// (else 0 x 0).
struct CachedThumbnail
{
    ImageBuffer image;
    Size picture;
};

// The desktop's shared thumbnail cache ($XDG_CACHE_HOME/thumbnails), read and written the way the
// file managers and viewers of the desktop do, so that each uses what the others made:
//   normal/, large/, x-large/, xx-large/  thumbnails fitted into 128, 256, 512 and 1024 pixels,
//                                         named by the MD5 of the picture's URI, as PNG with the
//                                         keys Thumb::URI and Thumb::MTime (also Thumb::Size,
//                                         Thumb::Image::Width/Height, Software);
//   fail/vistrel-VERSION/                 a note for each picture this program could not read,
//                                         so that it is not tried again until it changes.
// A thumbnail counts only when its Thumb::MTime (and Thumb::Size and Thumb::URI where present)
// match the file. Files are written under a temporary name in their folder and renamed, with
// mode 0600 in folders of mode 0700; a failed write leaves nothing behind and is not reported
// (the cache only saves time). Safe to use from several threads at once.
class ThumbnailStore
{
public:
    // The sizes of the cache, by the longest side they hold.
    enum class Flavour : std::int32_t {
        Normal = 128,
        Large = 256,
        XLarge = 512,
        XXLarge = 1024
    };

    // root is the cache folder; software names this program in its notes.
    ThumbnailStore(std::string root, std::string software);

    // $XDG_CACHE_HOME/thumbnails, else ~/.cache/thumbnails; empty when neither can be had.
    static std::string DefaultRoot();
    // This program's name and version as its notes give them: "vistrel-VERSION".
    static std::string DefaultSoftware();
    // The smallest flavour whose thumbnails fill box, else the largest.
    static Flavour FlavourFor(Size box);
    static const char *FolderOf(Flavour flavour);

    const std::string &root() const { return rootFolder; }

    // Whether a file lies inside the cache folder: such files are never thumbnailed.
    bool holds(const PictureFileFacts &file) const;

    // The thumbnail of the file at flavour or, failing that, at a larger one; none when there is
    // no valid one.
    std::optional<CachedThumbnail> find(const PictureFileFacts &file, Flavour flavour) const;
    // Whether this program noted that it could not read the file as it is now.
    bool failedBefore(const PictureFileFacts &file) const;

    // Stores a thumbnail made from a picture of size original (fitted into the flavour's box).
    // False when it could not be written.
    bool put(const PictureFileFacts &file, Flavour flavour, const ImageBuffer &thumbnail,
             Size original) const;
    // Notes that the file could not be read.
    bool putFailure(const PictureFileFacts &file) const;

    // Where the thumbnail of a URI at a flavour, and the failure note, are kept.
    std::string thumbnailPath(const std::string &uri, Flavour flavour) const;
    std::string failurePath(const std::string &uri) const;

private:
    std::optional<CachedThumbnail> read(const std::string &path,
                                        const PictureFileFacts &file) const;

    std::string rootFolder;
    std::string softwareName;
};
