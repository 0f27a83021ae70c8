#include "platform/desktop_trash.h"

#include "common/file_descriptor.h"
#include "platform/known_folders.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kRecordSuffix = ".trashinfo";
// "photo.jpg", then "photo.2.jpg" to "photo.9.jpg", then random numbers: a trash that already
// holds hundreds of files of one name must not cost hundreds of tries, and the tries must end.
constexpr int kCountedNames = 9;
constexpr int kMaxAttempts = 64;
// A longer "extension" is no extension worth keeping when a name must be shortened.
constexpr std::size_t kMaxKeptExtension = 32;

TrashOutcome failed(int error)
{
    return { TrashOutcome::Status::Failed, {}, error };
}

// Where a trash keeps files and records, and what recorded paths are relative to (empty: they
// are absolute).
struct TrashFolder
{
    FileDescriptor files;
    FileDescriptor info;
    std::string filesPath;
    std::string top;
};

bool sameDevice(int fd, dev_t device)
{
    struct stat facts
    { };

    return ::fstat(fd, &facts) == 0 && facts.st_dev == device;
}

bool ownedByUser(int fd)
{
    struct stat facts
    { };

    return ::fstat(fd, &facts) == 0 && facts.st_uid == ::getuid();
}

// Opens the folder name inside the folder at (AT_FDCWD for a path), first creating it for the
// user alone when create is set. Unless followLink is set, a symbolic link is never followed.
FileDescriptor openFolder(int at, const std::string &name, bool create, bool followLink = false)
{
    if (create && ::mkdirat(at, name.c_str(), 0700) != 0 && errno != EEXIST)
        return FileDescriptor();
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    return FileDescriptor(::openat(at, name.c_str(), flags));
}

// The files and info folders of the trash open at trash, when it is a folder on device. A trash
// that is there but whose parts cannot be had sets error.
std::optional<TrashFolder> trashIn(const FileDescriptor &trash, const std::string &path,
                                   std::string top, dev_t device, int &error)
{
    if (!trash.valid() || !sameDevice(trash.get(), device))
        return std::nullopt;
    TrashFolder folder{ openFolder(trash.get(), "files", true), FileDescriptor(), path + "/files",
                        std::move(top) };
    if (folder.files.valid())
        folder.info = openFolder(trash.get(), "info", true);
    if (!folder.files.valid() || !folder.info.valid()) {
        error = errno;
        return std::nullopt;
    }
    return folder;
}

void createFolders(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    ::mkdir(path.c_str(), 0700);
}

// The trash at the top of a mount other than the home trash's.
std::optional<TrashFolder> volumeTrash(const std::string &top, dev_t device, int &error)
{
    const FileDescriptor topFolder(::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!topFolder.valid())
        return std::nullopt;
    const std::string user = std::to_string(::getuid());
    const std::string base = top == "/" ? std::string() : top;
    // An administrator's shared trash counts only as a real folder with the sticky bit, so that
    // users cannot take each other's folders away; any fault of it leaves the user's own.
    const FileDescriptor shared = openFolder(topFolder.get(), ".Trash", false);

    struct stat facts
    { };

    if (shared.valid() && ::fstat(shared.get(), &facts) == 0 && (facts.st_mode & S_ISVTX)) {
        const FileDescriptor own = openFolder(shared.get(), user, true);
        int ignored = 0;
        if (own.valid() && ownedByUser(own.get())) {
            if (auto trash = trashIn(own, base + "/.Trash/" + user, top, device, ignored))
                return trash;
        }
    }
    const FileDescriptor own = openFolder(topFolder.get(), ".Trash-" + user, true);
    if (!own.valid() || !ownedByUser(own.get()))
        return std::nullopt;
    return trashIn(own, base + "/.Trash-" + user, top, device, error);
}

std::string parentOf(const std::string &folder)
{
    const std::size_t slash = folder.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : folder.substr(0, slash);
}

// The mount point of folder (an absolute path without links): the highest folder above it on
// the same file system.
std::string topFolderOf(std::string folder, dev_t device)
{
    while (folder != "/") {
        const std::string up = parentOf(folder);

        struct stat facts
        { };

        if (::stat(up.c_str(), &facts) != 0 || facts.st_dev != device)
            break;
        folder = up;
    }
    return folder;
}

// The home trash for a file on the user's data folder's file system, else the trash of the
// file's own mount (folder is its real folder).
std::optional<TrashFolder> trashFor(dev_t device, const std::string &folder, int &error)
{
    const std::string data = DataFolder();
    createFolders(data);

    struct stat facts
    { };

    if (::stat(data.c_str(), &facts) == 0 && facts.st_dev == device) {
        // The data folder, and the trash in it, may be links the user made: they are followed.
        const std::string path = data + "/Trash";
        return trashIn(openFolder(AT_FDCWD, path, true, true), path, {}, device, error);
    }
    return volumeTrash(topFolderOf(folder, device), device, error);
}

// Every byte but letters, digits, "-._~" and the separator "/" as %HH: a name may hold line
// feeds, "%" or bytes that are no text at all, and none of them may break the record's line.
std::string percentEncoded(std::string_view path)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z')
                || (byte >= '0' && byte <= '9')
                || std::string_view("-._~/").find(c) != std::string_view::npos;
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kDigits[byte >> 4];
            out += kDigits[byte & 15];
        }
    }
    return out;
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The attempt-th name for name in the trash, at most limit bytes: the name itself, then the name
// with a number before its extension ("photo.2.jpg"). A name too long loses the end of its stem,
// never part of a UTF-8 character, and keeps its extension.
std::string candidateName(std::string_view name, int attempt, std::size_t limit,
                          std::minstd_rand &random)
{
    std::size_t dot = name.find_last_of('.');
    if (dot == 0 || dot == std::string_view::npos || name.size() - dot > kMaxKeptExtension)
        dot = name.size();
    std::string_view stem = name.substr(0, dot);
    const std::string_view extension = name.substr(dot);
    std::string tag;
    if (attempt > 0)
        tag = "." + std::to_string(attempt < kCountedNames ? attempt + 1 : random());
    if (stem.size() + tag.size() + extension.size() > limit) {
        const std::size_t kept = tag.size() + extension.size();
        std::size_t cut = limit > kept ? limit - kept : 0;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80)
            --cut;
        stem = stem.substr(0, cut);
    }
    return std::string(stem) + tag + std::string(extension);
}

bool writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Creates the record of name exclusively: two programs trashing files of one name at once get
// different names. Returns 0 or the error (EEXIST: the name is taken).
int writeRecord(int info, const std::string &name, const std::string &text)
{
    const std::string record = name + std::string(kRecordSuffix);
    const FileDescriptor fd(::openat(info, record.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid())
        return errno;
    if (writeAll(fd.get(), text) && ::fsync(fd.get()) == 0)
        return 0;
    const int error = errno ? errno : EIO;
    ::unlinkat(info, record.c_str(), 0);
    return error;
}

// Moves the file in under name without replacing anything there. Returns 0 or the error.
int moveInto(const std::string &hostPath, int files, const std::string &name)
{
    if (::renameat2(AT_FDCWD, hostPath.c_str(), files, name.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;

    // A file system that cannot rename without replacing: look first.
    struct stat facts
    { };

    if (::fstatat(files, name.c_str(), &facts, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(AT_FDCWD, hostPath.c_str(), files, name.c_str()) == 0 ? 0 : errno;
}

TrashOutcome moveToTrash(const TrashFolder &trash, const std::string &hostPath,
                         std::string_view name, const std::string &recorded)
{
    const long nameMax = ::fpathconf(trash.info.get(), _PC_NAME_MAX);
    const std::size_t limit =
            (nameMax > 0 ? std::size_t(nameMax) : NAME_MAX) - kRecordSuffix.size();
    const std::string text = "[Trash Info]\nPath=" + percentEncoded(recorded)
            + "\nDeletionDate=" + deletionDate() + "\n";
    std::minstd_rand random(static_cast<unsigned>(std::time(nullptr))
                            ^ static_cast<unsigned>(::getpid()));
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        const std::string candidate = candidateName(name, attempt, limit, random);
        int error = writeRecord(trash.info.get(), candidate, text);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return failed(error);
        error = moveInto(hostPath, trash.files.get(), candidate);
        if (error == 0)
            return { TrashOutcome::Status::Moved, trash.filesPath + "/" + candidate, 0 };
        ::unlinkat(trash.info.get(), (candidate + std::string(kRecordSuffix)).c_str(), 0);
        if (error != EEXIST)
            return failed(error);
    }
    return failed(EEXIST);
}

} // namespace

TrashOutcome MoveToTrash(const std::string &hostPath)
{
    struct stat facts
    { };

    if (::lstat(hostPath.c_str(), &facts) != 0)
        return failed(errno);
    if (S_ISDIR(facts.st_mode))
        return failed(EISDIR);
    const std::size_t slash = hostPath.find_last_of('/');
    const std::string folder =
            slash == std::string::npos ? "." : hostPath.substr(0, std::max<std::size_t>(slash, 1));
    const std::string name = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
    char *resolved = ::realpath(folder.c_str(), nullptr);
    if (!resolved)
        return failed(errno);
    const std::string realFolder(resolved);
    std::free(resolved);
    const std::string original = (realFolder == "/" ? std::string() : realFolder) + "/" + name;

    int error = 0;
    std::optional<TrashFolder> trash = trashFor(facts.st_dev, realFolder, error);
    if (!trash && error != 0)
        return failed(error);
    if (!trash)
        return { TrashOutcome::Status::NoTrash, {}, 0 };
    // On another mount the path is recorded from the top of the mount, which may be mounted
    // elsewhere when the file is put back.
    const std::string recorded = trash->top.empty()
            ? original
            : original.substr(trash->top == "/" ? 1 : trash->top.size() + 1);
    return moveToTrash(*trash, hostPath, name, recorded);
}
