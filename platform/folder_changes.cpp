#include "platform/folder_changes.h"

#include "common/host_path.h"

#include <QSocketNotifier>

#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kFileEvents =
        IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr std::uint32_t kFolderEvents =
        kFileEvents | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

} // namespace

FolderChanges::FolderChanges(QObject *parent) : QObject(parent) { }

FolderChanges::~FolderChanges()
{
    close();
}

bool FolderChanges::watchFolder(std::string_view folder)
{
    // A fresh inotify instance drops every watch of the folder before in one step.
    close();
    notices = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notices < 0)
        return false;
    notifier = new QSocketNotifier(notices, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &FolderChanges::drain);
    return ::inotify_add_watch(notices, HostPath(folder).c_str(), kFolderEvents) >= 0;
}

bool FolderChanges::watchFile(std::string_view file)
{
    if (notices < 0)
        return false;
    const std::string host = HostPath(file);

    struct stat facts
    { };

    // A watch for each of ten thousand pictures would cost more than listing them, and could use
    // up the user's watches.
    if (::lstat(host.c_str(), &facts) == 0 && !S_ISLNK(facts.st_mode))
        return true;
    return ::inotify_add_watch(notices, host.c_str(), kFileEvents) >= 0;
}

void FolderChanges::drain()
{
    // The events' details do not matter: the album looks at the folder again either way.
    alignas(inotify_event) char events[4096];
    bool any = false;
    while (::read(notices, events, sizeof events) > 0)
        any = true;
    if (any)
        emit changed();
}

void FolderChanges::close()
{
    delete notifier;
    notifier = nullptr;
    if (notices >= 0)
        ::close(notices);
    notices = -1;
}
