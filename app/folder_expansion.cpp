#include "app/folder_expansion.h"

#include "common/host_path.h"

#include <cstdlib>
#include <sys/stat.h>

namespace {

std::string realPath(const std::string &host)
{
    char *resolved = ::realpath(host.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string path(resolved);
    std::free(resolved);
    return path;
}

} // namespace

FolderExpansion::FolderExpansion(const std::string &start) : realRoot(realPath(DeviceRoot() + "/"))
{
    offer(start, 0);
}

void FolderExpansion::offer(const std::string &path, int depth)
{
    if (depth > kMaxDepth || admitted >= kMaxFolders)
        return;
    const std::string host = HostPath(path);

    struct stat facts
    { };

    if (::stat(host.c_str(), &facts) != 0 || !S_ISDIR(facts.st_mode) || leadsOutOfTheRoot(host))
        return;
    if (!seen.emplace(facts.st_dev, facts.st_ino).second)
        return;
    ++admitted;
    queue.push_back({ path, depth });
}

std::optional<FolderExpansion::Step> FolderExpansion::next()
{
    if (queue.empty())
        return std::nullopt;
    Step step = std::move(queue.front());
    queue.pop_front();
    return step;
}

// Only a link can lead out: a plain folder lies where its parent does.
bool FolderExpansion::leadsOutOfTheRoot(const std::string &host) const
{
    struct stat facts
    { };

    if (::lstat(host.c_str(), &facts) != 0 || !S_ISLNK(facts.st_mode))
        return false;
    const std::string target = realPath(host);
    return realRoot.empty() || target.empty()
            || !(target == realRoot
                 || (target.starts_with(realRoot)
                     && (realRoot == "/" || target[realRoot.size()] == '/')));
}
