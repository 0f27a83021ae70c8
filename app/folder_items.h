#pragma once

#include "app/image_item.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// Makes an item for one entry: nullptr when the entry holds no picture that can be described;
// throws only when memory runs short.
using EntryItemMaker = std::function<std::unique_ptr<ImageItem>(const DirectoryRecord &)>;

// The items of a folder's entries, by the entries' order.
struct FolderItems
{
    // One slot per entry that was tried, nullptr where no item could be made.
    std::vector<std::unique_ptr<ImageItem>> items;
    // Memory ran short at the entry after the last slot: the ones from there on were not made.
    bool shortOfMemory = false;
};

// Makes the items of entries with up to threads threads at once (a large folder spends most of
// its opening reading each file's description, and the files do not depend on each other). The
// outcome is the one a single thread going through entries in order would have had, whatever the
// number of threads: make must then be safe to call from several threads at once.
FolderItems MakeFolderItems(const std::vector<DirectoryRecord> &entries, const EntryItemMaker &make,
                            std::size_t threads);

// The threads worth using for count entries: one per core, at most four, and one for a folder
// too small to repay starting them.
std::size_t FolderItemThreads(std::size_t count);
