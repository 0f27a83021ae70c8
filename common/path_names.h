#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class CAlbException;

// Operations on the device's path strings: backslash separators, the root "\" alone, at most
// kMaxPathChars characters. They work on UTF-8 text and count characters, not bytes. None of them
// touches the file system.

inline constexpr std::size_t kMaxPathChars = 260;

// The path with a trailing backslash. Paths of 0 or 1 characters (the root "\" among them) stay as
// they are; a bare network name ("\\server") always gets one.
std::string AddBackslash(std::string_view path);

// The path without its trailing backslash. The root "\" and a bare network name keep theirs.
std::string RemoveBackslash(std::string_view path);

// Whether two paths name the same folder, whether or not either ends in a backslash. Names
// compare exactly: the host's folders may differ in case alone.
bool SameFolder(std::string_view a, std::string_view b);

// The characters after the last '\', '/' or ':'; the whole text when there is none.
std::string FileNamePart(std::string_view path);

// The name part without its last extension: "x.tar.gz" gives "x.tar", "\a.b\c" gives "c".
std::string FileTitlePart(std::string_view path);

// The characters before the last '\', '/' or ':', followed by that separator unless dropSeparator
// is set; the whole text when there is no separator.
std::string FolderPart(std::string_view path, bool dropSeparator);

// folder + backslash (when needed) + name, then "." + extension when one is given.
std::string JoinPath(std::string_view folder, std::string_view name,
                     std::optional<std::string_view> extension = std::nullopt);

// Checks a file or folder name that a user typed, optionally for a given folder and with extra
// forbidden characters. On failure, when exception is given, it is re-initialised with the
// message (46032 no name, 46031 too long, 46030 illegal characters) and the location
// 100:2100:10:0, text not built, so that the caller can report it. Does not look at the disk.
bool CheckFileName(std::string_view name, std::optional<std::string_view> folder = std::nullopt,
                   std::optional<std::string_view> extraForbidden = std::nullopt,
                   CAlbException *exception = nullptr);

// The extensions of the picture files the album and the tools list, "|"-separated.
inline constexpr const char *kPictureExtensions = "bmp|jpg|jpeg|gif|giff|png|webp|heic|heif|hif|avif|";

// Whether the extension after name's last "." is one of extensions ("bmp|jpg|...|"), compared
// without regard to case. A name without a dot has none.
bool HasPictureExtension(std::string_view name, std::string_view extensions = kPictureExtensions);
