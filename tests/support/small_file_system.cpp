#include "tests/support/small_file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace {

std::string failed(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

bool writeFile(const char *path, const std::string &text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
}

// Enters a mount namespace of this process's own: directly where the process may (root with
// CAP_SYS_ADMIN), else inside a user namespace that maps the user to its root. Mounts are then
// made private, so that none propagates back to the host. Returns why it failed, or "".
std::string enterPrivateMounts()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        const std::string direct = failed("unshare(CLONE_NEWNS)");
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return direct + "; " + failed("unshare(CLONE_NEWUSER | CLONE_NEWNS)");
        writeFile("/proc/self/setgroups", "deny");
        if (!writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1")
            || !writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return failed("mapping the user into its namespace");
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failed("making the mounts private");
    return {};
}

// Before main, while the process has one thread (a user namespace needs that).
const std::string privateMountsFailure = enterPrivateMounts();

} // namespace

const std::string &SmallFileSystem::Unavailable()
{
    return privateMountsFailure;
}

SmallFileSystem::SmallFileSystem(const std::filesystem::path &folder, std::size_t bytes)
    : where(folder)
{
    if (!privateMountsFailure.empty()) {
        failure = privateMountsFailure;
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(where, ignored);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", where.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        failure = failed("mount -t tmpfs on " + where.string());
        return;
    }
    mounted = true;
}

SmallFileSystem::~SmallFileSystem()
{
    if (mounted)
        ::umount2(where.c_str(), MNT_DETACH);
}

void SmallFileSystem::fill()
{
    const std::string path = (where / kFillerName).string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const std::vector<char> block(4096, 'f');
    // Whole pages first, then single bytes for whatever a page no longer fits.
    for (std::size_t size : { block.size(), std::size_t{ 1 } }) {
        while (::write(fd, block.data(), size) > 0) { }
    }
    ::close(fd);
}

void SmallFileSystem::makeRoom()
{
    std::error_code ignored;
    std::filesystem::remove(where / kFillerName, ignored);
}

bool SmallFileSystem::setReadOnly(bool on)
{
    const unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (on ? MS_RDONLY : 0);
    return mounted && ::mount(nullptr, where.c_str(), nullptr, flags, nullptr) == 0;
}
