#include "app/folder_items.h"

#include <gtest/gtest.h>
#include <new>
#include <string>

namespace {

std::vector<DirectoryRecord> NumberedEntries(int count)
{
    std::vector<DirectoryRecord> entries(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries[static_cast<std::size_t>(i)].name = std::to_string(i);
    return entries;
}

// Every seventh entry holds no picture; memory runs short at shortAt (none when negative).
EntryItemMaker MakerShortAt(int shortAt)
{
    return [shortAt](const DirectoryRecord &entry) -> std::unique_ptr<ImageItem> {
        const int number = std::stoi(entry.name);
        if (number == shortAt)
            throw std::bad_alloc();
        if (number % 7 == 3)
            return nullptr;
        auto item = std::make_unique<ImageItem>();
        item->fileName = entry.name;
        return item;
    };
}

// Whatever the number of threads, the slots follow the entries and end where memory ran short.
TEST(FolderItems, OutcomeDoesNotDependOnTheThreads)
{
    const std::vector<DirectoryRecord> entries = NumberedEntries(1000);
    for (const int shortAt : { -1, 0, 517, 999 }) {
        for (const std::size_t threads : { 1u, 2u, 4u }) {
            SCOPED_TRACE("short at " + std::to_string(shortAt) + ", " + std::to_string(threads)
                         + " threads");
            const FolderItems made = MakeFolderItems(entries, MakerShortAt(shortAt), threads);
            const std::size_t expected = shortAt < 0 ? entries.size() : std::size_t(shortAt);
            ASSERT_EQ(made.items.size(), expected);
            EXPECT_EQ(made.shortOfMemory, shortAt >= 0);
            for (std::size_t i = 0; i < made.items.size(); ++i) {
                if (i % 7 == 3)
                    EXPECT_EQ(made.items[i], nullptr) << i;
                else
                    ASSERT_TRUE(made.items[i] && made.items[i]->fileName == entries[i].name) << i;
            }
        }
    }
}

} // namespace
