#include "app/folder_items.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

// Entries taken by a thread at a time: few enough to share the work out evenly, enough to keep
// the threads from meeting at the counter.
constexpr std::size_t kChunk = 32;
constexpr std::size_t kMaxThreads = 4;
// Below this many entries a folder is read before a second thread would have started.
constexpr std::size_t kEntriesPerThread = 256;

} // namespace

std::size_t FolderItemThreads(std::size_t count)
{
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(count / kEntriesPerThread, 1, std::min(cores, kMaxThreads));
}

FolderItems MakeFolderItems(const std::vector<DirectoryRecord> &entries, const EntryItemMaker &make,
                            std::size_t threads)
{
    FolderItems made;
    made.items.resize(entries.size());
    std::atomic<std::size_t> next{ 0 };
    // The first entry at which memory ran short; entries.size() while it has not.
    std::atomic<std::size_t> shortAt{ entries.size() };
    auto work = [&] {
        for (;;) {
            const std::size_t begin = next.fetch_add(kChunk);
            if (begin >= entries.size())
                return;
            const std::size_t end = std::min(begin + kChunk, entries.size());
            for (std::size_t i = begin; i < end && i < shortAt.load(); ++i) {
                try {
                    made.items[i] = make(entries[i]);
                } catch (...) {
                    std::size_t seen = shortAt.load();
                    while (i < seen && !shortAt.compare_exchange_weak(seen, i)) { }
                    return;
                }
            }
        }
    };
    std::vector<std::thread> helpers;
    const std::size_t count = std::clamp<std::size_t>(threads, 1, kMaxThreads);
    try {
        helpers.reserve(count);
        for (std::size_t i = 1; i < count; ++i)
            helpers.emplace_back(work);
    } catch (...) {
        // No thread to be had: the ones running (this one at least) do the work.
    }
    work();
    for (std::thread &helper : helpers)
        helper.join();
    if (shortAt.load() < entries.size()) {
        made.items.resize(shortAt.load());
        made.shortOfMemory = true;
    }
    return made;
}
