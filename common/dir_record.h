#pragma once

#include "common/text_format.h"

#include <cstdint>
#include <string>
#include <string_view>

// 100-nanosecond intervals since 1601-01-01 00:00 UTC, the device's file time.
using FileTime = std::uint64_t;

// Attribute bits of a directory record, with the device's values.
namespace FileAttribute {
inline constexpr std::uint32_t ReadOnly = 0x1;
inline constexpr std::uint32_t Directory = 0x10;
// The file lies on storage that cannot be written at all (here: a read-only mount).
inline constexpr std::uint32_t InRom = 0x40;
} // namespace FileAttribute

// The facts the device keeps about one directory entry. Listings and single look-ups both fill it.
struct DirectoryRecord
{
    std::uint32_t attributes = 0;
    FileTime creationTime = 0;
    FileTime accessTime = 0;
    FileTime writeTime = 0;
    std::uint32_t sizeHigh = 0;
    std::uint32_t sizeLow = 0;
    // Identifies the file on its volume (the inode number).
    std::uint64_t objectId = 0;
    // The entry's name without folder; host names are at most 255 bytes, so it always fits the
    // device's 260 characters.
    std::string name;

    bool isDirectory() const { return (attributes & FileAttribute::Directory) != 0; }

    bool isReadOnly() const { return (attributes & FileAttribute::ReadOnly) != 0; }

    std::uint64_t size() const { return (std::uint64_t{ sizeHigh } << 32) | sizeLow; }
};

// The file time of a host time in seconds and nanoseconds since 1970; 0 for times before 1601.
FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds = 0);

// A file time as the local date and time of the host's time zone.
DateTime FileTimeToLocal(FileTime time);

// Fills record from the host's facts about path, a device path ("\Pictures\a.jpg") or a host
// path. The record's name is the path's name part. Symbolic links are followed. False, with record
// untouched, when the path does not exist or cannot be examined. Wildcards are not expanded.
bool FindFileRecord(std::string_view path, DirectoryRecord &record);

// Whether path exists, filling record when one is given. An empty path does not exist; the root
// "\" always does, as a folder of size 0 with times 0 named "\".
bool ProbeFile(std::string_view path, DirectoryRecord *record = nullptr);
