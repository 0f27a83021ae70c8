#include "platform/delete_file_force.h"

#include "common/host_path.h"
#include "platform/desktop_trash.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Changes the permission bits of path itself, never of what a link points to.
bool setMode(const std::string &host, mode_t mode)
{
    return ::fchmodat(AT_FDCWD, host.c_str(), mode, AT_SYMLINK_NOFOLLOW) == 0;
}

// Takes the file away as asked; 0 or the reason it stayed. inTrash is where a trashed file went.
int deleteFile(const std::string &host, DeleteTarget target, std::string &inTrash)
{
    if (target == DeleteTarget::Trash) {
        const TrashOutcome outcome = MoveToTrash(host);
        if (outcome.status == TrashOutcome::Status::Moved)
            inTrash = outcome.trashedPath;
        // A trash that is there but refuses the file keeps it: deleting it for good instead would
        // not be what the user asked for.
        if (outcome.status != TrashOutcome::Status::NoTrash)
            return outcome.error;
    }
    return ::unlink(host.c_str()) == 0 ? 0 : errno;
}

} // namespace

bool DeleteFileForce(std::string_view path, DeleteTarget target, int *reason)
{
    const std::string host = HostPath(path);

    struct stat facts
    { };

    int error = ::lstat(host.c_str(), &facts) != 0 ? errno : S_ISDIR(facts.st_mode) ? EISDIR : 0;
    if (error != 0) {
        if (reason)
            *reason = error;
        return false;
    }
    const mode_t mode = facts.st_mode & 07777;
    // Read-only means the owner may not write. Links have no attributes of their own, and a file
    // with other names (hard links) stays behind under them, so neither is touched.
    const bool cleared = S_ISREG(facts.st_mode) && facts.st_nlink == 1 && (mode & S_IWUSR) == 0
            && setMode(host, mode | S_IWUSR);

    std::string trashed;
    error = deleteFile(host, target, trashed);
    // The file that stayed, or its copy in the trash, gets its read-only state back.
    if (cleared && (error != 0 || !trashed.empty()))
        setMode(error != 0 ? host : trashed, mode);
    if (reason)
        *reason = error;
    return error == 0;
}
