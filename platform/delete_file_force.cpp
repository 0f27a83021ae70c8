#include "platform/delete_file_force.h"

#include "common/host_path.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Changes the permission bits of path itself, never of what a link points to.
bool setMode(const std::string &host, mode_t mode)
{
    return ::fchmodat(AT_FDCWD, host.c_str(), mode, AT_SYMLINK_NOFOLLOW) == 0;
}

// False when there is no trash to be had; inTrash is where the file went.
bool moveToTrash(const std::string &host, std::string &inTrash)
{
    // The home trash lives in the user's data folder, which a fresh account may not have yet;
    // without it every file would be deleted for good.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    // Qt names files by text: a name that is not UTF-8 would reach another file (one whose name
    // holds U+FFFD), so such a file has no trash here.
    const QString file = QString::fromStdString(host);
    if (QFile::encodeName(file).toStdString() != host)
        return false;
    QString moved;
    if (!QFile::moveToTrash(file, &moved))
        return false;
    inTrash = moved.toStdString();
    return true;
}

} // namespace

bool DeleteFileForce(std::string_view path, DeleteTarget target)
{
    const std::string host = HostPath(path);

    struct stat facts
    { };

    if (::lstat(host.c_str(), &facts) != 0 || S_ISDIR(facts.st_mode))
        return false;
    const mode_t mode = facts.st_mode & 07777;
    // Read-only means the owner may not write. Links have no attributes of their own, and a file
    // with other names (hard links) stays behind under them, so neither is touched.
    const bool cleared = S_ISREG(facts.st_mode) && facts.st_nlink == 1 && (mode & S_IWUSR) == 0
            && setMode(host, mode | S_IWUSR);

    std::string trashed;
    const bool deleted = (target == DeleteTarget::Trash && moveToTrash(host, trashed))
            || ::unlink(host.c_str()) == 0;
    // The file that stayed, or its copy in the trash, gets its read-only state back.
    if (cleared && !(deleted && trashed.empty()))
        setMode(deleted ? trashed : host, mode);
    return deleted;
}
