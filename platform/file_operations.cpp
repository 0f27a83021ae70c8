#include "platform/file_operations.h"

#include "common/alb_exception.h"
#include "common/dir_record.h"
#include "common/host_path.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The host call's result: throws the file exception with the path as the caller gave it.
void check(int result, std::string_view path)
{
    if (result != 0) {
        int error = errno;
        ThrowFileError(error, std::string(path));
    }
}

} // namespace

void DeleteFileAt(std::string_view path)
{
    check(::unlink(HostPath(path).c_str()), path);
}

void SetFileAttributesAt(std::string_view path, std::uint32_t attributes)
{
    std::string host = HostPath(path);

    struct stat facts
    { };

    check(::stat(host.c_str(), &facts), path);
    mode_t mode = facts.st_mode & 07777;
    // Read-only means "the user may not write it": only the owner's write bit changes, the group
    // and others keep what they had.
    mode_t wanted =
            (attributes & FileAttribute::ReadOnly) ? mode & ~mode_t{ S_IWUSR } : mode | S_IWUSR;
    if (wanted != mode)
        check(::chmod(host.c_str(), wanted), path);
}

void CreateFolderAt(std::string_view path)
{
    // The process's umask takes away what the user does not want others to have.
    check(::mkdir(HostPath(path).c_str(), 0777), path);
}

void RemoveFolderAt(std::string_view path)
{
    check(::rmdir(HostPath(path).c_str()), path);
}
