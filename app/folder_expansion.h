#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <utility>

// Which folders "expand all" opens, one at a time, below the folder it starts at. The file store
// may hold symbolic links that lead out of the device root (to /proc, say) or back to a folder
// above them; followed blindly, either never ends. So a link that leads out of the device root is
// never opened, a folder already opened under another name (the same device and inode) is not
// opened again, and the walk stops at a depth and a number of folders no album comes near.
class FolderExpansion
{
public:
    static constexpr int kMaxDepth = 16;
    static constexpr std::size_t kMaxFolders = 5000;

    // start is the device path of the folder that is opened first.
    explicit FolderExpansion(const std::string &start);

    // Offers a folder found inside one opened at depth - 1; it is queued when the rules admit it.
    void offer(const std::string &path, int depth);

    struct Step
    {
        std::string path;
        int depth = 0;
    };

    // The next folder to open, or nothing when the walk is over.
    std::optional<Step> next();

private:
    bool leadsOutOfTheRoot(const std::string &host) const;

    std::string realRoot;
    std::deque<Step> queue;
    std::set<std::pair<unsigned long, unsigned long>> seen;
    std::size_t admitted = 0;
};
