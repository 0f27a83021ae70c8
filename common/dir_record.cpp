#include "common/dir_record.h"

#include "common/host_path.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace {

// Seconds from 1601-01-01 to 1970-01-01, and file-time ticks per second.
constexpr std::int64_t kEpochDifference = 11644473600;
constexpr std::int64_t kTicksPerSecond = 10000000;

struct HostFacts
{
    bool isDirectory = false;
    std::uint64_t size = 0;
    std::uint64_t inode = 0;
    FileTime creation = 0;
    FileTime access = 0;
    FileTime write = 0;
};

FileTime fromTimestamp(const struct statx_timestamp &stamp)
{
    return FileTimeFromUnix(stamp.tv_sec, stamp.tv_nsec);
}

FileTime fromTimespec(const struct timespec &stamp)
{
    return FileTimeFromUnix(stamp.tv_sec, stamp.tv_nsec);
}

// For kernels or sandboxes without statx: no birth time, so the change time stands in.
bool readFactsByStat(const std::string &host, HostFacts &facts)
{
    struct stat st
    { };

    if (stat(host.c_str(), &st) != 0)
        return false;
    facts.isDirectory = S_ISDIR(st.st_mode);
    facts.size = static_cast<std::uint64_t>(st.st_size);
    facts.inode = st.st_ino;
    facts.creation = fromTimespec(st.st_ctim);
    facts.access = fromTimespec(st.st_atim);
    facts.write = fromTimespec(st.st_mtim);
    return true;
}

// statx gives the birth time where the file system keeps one; the change time stands in for it
// elsewhere, as the nearest thing the host has to "when this file came to be here".
bool readFacts(const std::string &host, HostFacts &facts)
{
    struct statx st
    { };

    if (statx(AT_FDCWD, host.c_str(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &st)
        != 0)
        return errno == ENOSYS && readFactsByStat(host, facts);
    facts.isDirectory = S_ISDIR(st.stx_mode);
    facts.size = st.stx_size;
    facts.inode = st.stx_ino;
    facts.creation = fromTimestamp((st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_ctime);
    facts.access = fromTimestamp(st.stx_atime);
    facts.write = fromTimestamp(st.stx_mtime);
    return true;
}

std::uint32_t attributesOf(const std::string &host, bool isDirectory)
{
    std::uint32_t attributes = isDirectory ? FileAttribute::Directory : 0;
    if (access(host.c_str(), W_OK) != 0)
        attributes |= FileAttribute::ReadOnly;

    struct statvfs volume
    { };

    if (statvfs(host.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY))
        attributes |= FileAttribute::InRom;
    return attributes;
}

// The entry's own name; a trailing separator ("\Pictures\") does not make the name empty. Only
// the separators of device and host paths end a name: a ':' belongs to the name on this host.
std::string entryName(std::string_view path)
{
    std::string_view trimmed = path;
    while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.remove_suffix(1);
    if (trimmed.empty())
        return std::string(path);
    return std::string(trimmed.substr(trimmed.find_last_of("\\/") + 1));
}

} // namespace

FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds)
{
    if (seconds < -kEpochDifference)
        return 0;
    return static_cast<FileTime>(seconds + kEpochDifference) * kTicksPerSecond
            + static_cast<FileTime>(nanoseconds / 100);
}

DateTime FileTimeToLocal(FileTime time)
{
    auto seconds = static_cast<std::time_t>(static_cast<std::int64_t>(time / kTicksPerSecond)
                                            - kEpochDifference);
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return {};
    return { local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
             local.tm_hour,        local.tm_min,     local.tm_sec };
}

bool FindFileRecord(std::string_view path, DirectoryRecord &record)
{
    std::string host = HostPath(path);
    HostFacts facts;
    if (host.empty() || !readFacts(host, facts))
        return false;
    record.attributes = attributesOf(host, facts.isDirectory);
    record.creationTime = facts.creation;
    record.accessTime = facts.access;
    record.writeTime = facts.write;
    record.sizeHigh = static_cast<std::uint32_t>(facts.size >> 32);
    record.sizeLow = static_cast<std::uint32_t>(facts.size);
    record.objectId = facts.inode;
    record.name = entryName(path);
    return true;
}

bool ProbeFile(std::string_view path, DirectoryRecord *record)
{
    if (path.empty())
        return false;
    if (path == "\\") {
        if (record) {
            *record = DirectoryRecord{};
            record->attributes = FileAttribute::Directory;
            record->name = "\\";
        }
        return true;
    }
    DirectoryRecord found;
    if (!FindFileRecord(path, found))
        return false;
    if (record)
        *record = std::move(found);
    return true;
}
