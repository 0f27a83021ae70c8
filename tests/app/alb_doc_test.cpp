#include "app/doc_commands.h"
#include "app/order_file.h"
#include "app/window_messages.h"
#include "common/string_ids.h"
#include "tests/app/doc_test_support.h"
#include "tests/support/ordinary_user.h"

#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace {

using Names = std::vector<std::string>;

class AlbDocTest : public DocTest
{
protected:
    // A folder with the given pictures, loaded into the document.
    void load(const std::string &folder, const Names &pictures)
    {
        makeFolder(folder);
        for (const std::string &name : pictures)
            makePicture(folder + "\\" + name);
        doc.ChangeFolder(folder);
    }

    void selectOnly(const std::vector<int> &indices)
    {
        doc.ClearSelection();
        for (int index : indices)
            doc.ItemAt(index)->setSelected(true);
    }

    std::vector<int> selectedIndices() const
    {
        std::vector<int> out;
        for (int i = 0; i < doc.Count(); ++i) {
            if (doc.ItemAt(i)->selected())
                out.push_back(i);
        }
        return out;
    }
};

TEST_F(AlbDocTest, ListsOnlyFilesWithPictureExtensions)
{
    makeFolder("\\album\\g.jpg");
    makeTextFile("\\album\\e.txt");
    makeTextFile("\\album\\f");
    makePicture("\\album\\x.g");
    // A picture name on a file that holds no picture is skipped without a report.
    makeTextFile("\\album\\broken.jpg");
    load("\\album", { "a.bmp", "b.GIF", "c.jpeg", "d.giff" });

    EXPECT_EQ(names(), (Names{ "a.bmp", "b.GIF", "c.jpeg", "d.giff" }));
    EXPECT_TRUE(sink.shown.empty());
    const ImageItem &item = *doc.ItemAt(0);
    EXPECT_EQ(item.info.width, 2);
    EXPECT_TRUE(item.has(ItemFlag::DescriptionRead | ItemFlag::DescriptionValid));
    EXPECT_EQ(item.fileSize, std::filesystem::file_size(host("\\album\\a.bmp")));
}

TEST(PictureExtension, MatchesWholeExtensionWithoutCase)
{
    const std::string extensions = "bmp|jpg|jpeg|gif|giff|";

    struct Row
    {
        const char *name;
        bool listed;
    } rows[] = { { "a.BMP", true },      { "a.tar.jpg", true }, { "x.g", false },
                 { "x.if", false },      { "noext", false },    { "a.", false },
                 { "a.bmp.txt", false }, { "a.jpegx", false } };

    for (const Row &row : rows)
        EXPECT_EQ(HasPictureExtension(row.name, extensions), row.listed) << row.name;
}

TEST_F(AlbDocTest, ScanStopsAtMemoryFailureAndSkipsOtherFailures)
{
    struct Row
    {
        std::uint32_t failure;
        Names kept;
    } rows[] = { { Msg::NotEnoughMemory, { "a.bmp" } },
                 { Msg::NoSystemResources, { "a.bmp" } },
                 { Msg::NoImages, { "a.bmp", "c.bmp" } },
                 { Msg::InvalidFormat, { "a.bmp", "c.bmp" } } };

    makeFolder("\\scan");
    for (const char *name : { "a.bmp", "b.bmp", "c.bmp" })
        makePicture(std::string("\\scan\\") + name);
    for (const Row &row : rows) {
        doc.setItemMaker([&](std::string_view folder, const DirectoryRecord &entry) {
            if (entry.name == "b.bmp")
                ThrowAlb(row.failure, Module::AlbumItems, 118, 1);
            return MakeImageItem(folder, entry);
        });
        doc.ClearItems();
        settings.currentFolder = "\\scan";
        doc.ScanFolder();
        EXPECT_EQ(names(), row.kept) << row.failure;
    }
}

TEST_F(AlbDocTest, AddItemPassesOnOnlyMemoryFailures)
{
    settings.currentFolder = "\\";
    DirectoryRecord entry;
    entry.name = "gone.bmp";
    EXPECT_EQ(doc.AddItem(entry), nullptr);
    doc.setItemMaker([](std::string_view, const DirectoryRecord &) -> std::unique_ptr<ImageItem> {
        throw std::bad_alloc();
    });
    try {
        doc.AddItem(entry);
        FAIL() << "no exception";
    } catch (const CAlbException &e) {
        EXPECT_EQ(e.messageId, Msg::NotEnoughMemory);
    }
    EXPECT_EQ(doc.Count(), 0);
}

TEST_F(AlbDocTest, RescanAddsOnlyFilesWithoutItems)
{
    load("\\album", { "a.bmp", "b.bmp" });
    makePicture("\\album\\c.bmp");
    doc.ScanFolder();
    EXPECT_EQ(names(), (Names{ "a.bmp", "b.bmp", "c.bmp" }));
}

TEST_F(AlbDocTest, RecheckItemFollowsItsFile)
{
    load("\\album", { "a.bmp", "b.bmp", "c.bmp" });
    ImageItem *a = doc.ItemAt(0);
    ImageItem *b = doc.ItemAt(1);
    ImageItem *c = doc.ItemAt(2);
    b->setSelected(true);
    b->thumbnail = std::make_unique<ImageBuffer>();
    b->flags |= ItemFlag::ThumbCached;

    EXPECT_TRUE(doc.RecheckItem(a)); // unchanged
    const std::uint64_t number = b->serial;
    makePicture("\\album\\b.bmp", 7); // new size: re-made in place, still selected
    EXPECT_TRUE(doc.RecheckItem(b));
    EXPECT_EQ(doc.ItemAt(1), b);
    EXPECT_EQ(doc.ItemBySerial(number), b) << "the same item keeps its number";
    EXPECT_EQ(b->info.width, 7);
    EXPECT_TRUE(b->selected());
    EXPECT_EQ(b->thumbnail, nullptr);
    EXPECT_FALSE(b->has(ItemFlag::ThumbCached));
    makeTextFile("\\album\\c.bmp"); // no longer a picture
    EXPECT_FALSE(doc.RecheckItem(c));
    std::filesystem::remove(host("\\album\\a.bmp"));
    EXPECT_FALSE(doc.RecheckItem(a));
    EXPECT_EQ(names(), (Names{ "b.bmp" }));
}

// Serial numbers name items for messages that wait in the queue: a folder read again gets
// numbers never given before, so an old number finds nothing.
TEST_F(AlbDocTest, SerialNumbersAreNeverGivenTwice)
{
    load("\\album", { "a.bmp", "b.bmp" });
    const std::uint64_t a = doc.ItemAt(0)->serial;
    const std::uint64_t b = doc.ItemAt(1)->serial;
    EXPECT_EQ(doc.ItemBySerial(b), doc.ItemAt(1));
    EXPECT_EQ(doc.ItemBySerial(0), nullptr);
    doc.ChangeFolder("\\album");
    EXPECT_EQ(doc.ItemBySerial(a), nullptr);
    EXPECT_EQ(doc.ItemBySerial(b), nullptr);
    EXPECT_EQ(doc.ItemAt(0)->serial, 3u);
    EXPECT_EQ(doc.ItemAt(1)->serial, 4u);
}

TEST_F(AlbDocTest, ChangeFolderRecordsFolderAndSelectsInSelectView)
{
    makeFolder("\\empty");
    load("\\album", { "a.bmp", "b.bmp" });
    EXPECT_EQ(frame.tree, "\\album");
    EXPECT_EQ(store.readString(SettingsSectionKey("Strings"), "Path"), "\\album");
    ASSERT_FALSE(settings.recentFolders.empty());
    EXPECT_EQ(settings.recentFolders.front(), "\\album");
    EXPECT_EQ(doc.SelectedCount(), 0); // Thumbnail View leaves the selection alone

    settings.viewMode = ViewMode::Select;
    doc.ChangeFolder("\\album");
    EXPECT_EQ(selectedIndices(), (std::vector<int>{ 0 }));
    EXPECT_EQ(frame.count("image", WM_CURRENT_CHANGED, 0), 1);
    EXPECT_TRUE(frame.commands.empty());

    doc.ChangeFolder("\\empty");
    EXPECT_EQ(frame.commands, (std::vector<std::uint32_t>{ DocCmd::ThumbnailView }));
}

// The folder loads whatever happens to the settings file, and a file that cannot be written is
// reported once, not at every write of every folder change, until a write succeeds again.
TEST_F(AlbDocTest, FolderLoadsEvenWhenSettingsCannotBeWritten)
{
    makeTextFile("\\blocker");
    SettingsStore unwritable(host("\\blocker") + "/settings.conf");
    CAlbDoc other(settings, unwritable);
    makeFolder("\\album");
    makePicture("\\album\\a.bmp");
    doc.ChangeFolder("\\album");
    ASSERT_TRUE(sink.shown.empty());

    other.ChangeFolder("\\album");
    EXPECT_EQ(other.FileNames(), (Names{ "a.bmp" }));
    EXPECT_EQ(settings.currentFolder, "\\album");
    EXPECT_EQ(sink.shown.size(), 1u);
    other.ChangeFolder("\\");
    other.ChangeFolder("\\album");
    EXPECT_EQ(sink.shown.size(), 1u);

    doc.ChangeFolder("\\album");
    other.ChangeFolder("\\");
    EXPECT_EQ(sink.shown.size(), 2u);
}

TEST_F(AlbDocTest, SwitchingViewKeepsExactlyOneSelected)
{
    load("\\album", { "a.bmp", "b.bmp", "c.bmp", "d.bmp" });
    settings.viewMode = ViewMode::Thumbnail;
    selectOnly({ 1, 2, 3 });
    doc.SwitchView(ViewMode::Select);
    EXPECT_EQ(selectedIndices(), (std::vector<int>{ 1 }));
    EXPECT_EQ(settings.viewMode, ViewMode::Select);
    EXPECT_EQ(settings.previousViewMode, ViewMode::Thumbnail);
    EXPECT_EQ(frame.toolbar, DocToolbar::Select);
    EXPECT_FALSE(frame.fullScreen);
    EXPECT_EQ(settings.appFlags & AppFlag::SwitchingView, 0u);
    for (const char *view : { "tree", "thumbs", "image" })
        EXPECT_EQ(frame.count(view, WM_LIST_CHANGED, 0), 1) << view;

    doc.SwitchView(ViewMode::Thumbnail);
    doc.ClearSelection();
    doc.SwitchView(ViewMode::FullScreen);
    EXPECT_EQ(selectedIndices(), (std::vector<int>{ 0 }));
    EXPECT_TRUE(frame.fullScreen);
    EXPECT_EQ(frame.toolbar, DocToolbar::Main);
}

TEST_F(AlbDocTest, FullScreenInEmptyFolderGivesThumbnailView)
{
    load("\\empty", {});
    doc.SwitchView(ViewMode::FullScreen);
    EXPECT_EQ(settings.viewMode, ViewMode::Thumbnail);
    EXPECT_FALSE(frame.fullScreen);
}

TEST_F(AlbDocTest, LeavingFullScreenReturnsWhereItCameFrom)
{
    load("\\album", { "a.bmp" });

    struct Row
    {
        std::int32_t from;
        std::int32_t back;
    } rows[] = { { ViewMode::Select, ViewMode::Select },
                 { ViewMode::Thumbnail, ViewMode::Thumbnail } };

    for (const Row &row : rows) {
        doc.SwitchView(row.from);
        doc.SwitchView(ViewMode::FullScreen);
        doc.onCommand(DocCmd::LeaveFullScreen);
        EXPECT_EQ(settings.viewMode, row.back) << row.from;
    }
    // Outside Full Screen View the command does nothing.
    doc.onCommand(DocCmd::LeaveFullScreen);
    EXPECT_EQ(settings.viewMode, ViewMode::Thumbnail);
}

TEST_F(AlbDocTest, UpdateViewsEnforcesTheSelectionRule)
{
    load("\\album", { "a.bmp", "b.bmp", "c.bmp" });
    settings.viewMode = ViewMode::Select;
    selectOnly({ 1, 2 });
    doc.UpdateViews();
    EXPECT_EQ(selectedIndices(), (std::vector<int>{ 1 }));
    EXPECT_EQ(frame.refreshedAt.back(), 1);
    settings.viewMode = ViewMode::Thumbnail;
    selectOnly({ 0, 2 });
    doc.UpdateViews();
    EXPECT_EQ(selectedIndices(), (std::vector<int>{ 0, 2 }));
}

TEST_F(AlbDocTest, MoveSelectedPutsTheBlockInFrontOfTheDropTarget)
{
    struct Row
    {
        const char *label;
        std::vector<int> selected;
        int index;
        std::string order;
    } rows[] = {
        { "example", { 1, 3 }, 2, "ABDC" },
        { "all selected", { 0, 1, 2, 3 }, 2, "ABCD" },
        { "none selected", {}, 2, "ABCD" },
        { "front", { 2, 3 }, 0, "CDAB" },
        { "negative", { 2 }, -1, "CABD" },
        { "end", { 0, 1 }, 4, "CDAB" },
        { "past end", { 0 }, 99, "BCDA" },
        // The dropped item counts among those before the drop, so it lands in front.
        { "onto itself", { 1 }, 1, "BACD" },
        { "after a selected run", { 0, 1 }, 2, "ABCD" },
        { "before last", { 0 }, 3, "BCAD" },
    };

    for (const Row &row : rows) {
        load("\\move", { "A.bmp", "B.bmp", "C.bmp", "D.bmp" });
        selectOnly(row.selected);
        doc.MoveSelected(row.index);
        std::string order;
        for (const std::string &name : names())
            order += name.front();
        EXPECT_EQ(order, row.order) << row.label;
    }
}

// Reads the order file of a device folder as (count, names) with UTF-16 lengths; empty when
// there is none.
std::optional<std::vector<std::u16string>> readOrderFile(const std::string &hostFolder)
{
    std::filesystem::path path = std::filesystem::path(hostFolder) / OrderFileName();
    if (!std::filesystem::exists(path))
        return std::nullopt;
    std::vector<std::uint8_t> bytes = ReadBytes(path.string());
    std::size_t at = 0;
    auto u32 = [&] {
        std::uint32_t v = bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16
                | std::uint32_t(bytes.at(at + 3)) << 24;
        at += 4;
        return v;
    };
    std::vector<std::u16string> out(u32());
    for (std::u16string &name : out) {
        name.resize(u32());
        for (char16_t &unit : name) {
            unit = char16_t(bytes.at(at) | bytes.at(at + 1) << 8);
            at += 2;
        }
    }
    EXPECT_EQ(at, bytes.size());
    return out;
}

TEST(OrderFile, NameComesFromTheProgramFile)
{
    EXPECT_EQ(OrderFileName(), "app_tests.orna");
}

TEST_F(AlbDocTest, OrderFileWrittenWhenLeavingFolderWithTwoOrMore)
{
    makeFolder("\\one");
    makePicture("\\one\\only.bmp");
    load("\\two", { "b.bmp", "\xC3\xA9t\xC3\xA9.bmp" });
    selectOnly({ 1 });
    doc.MoveSelected(0);
    doc.onCommand(DocCmd::GoToRecentFirst); // same folder: nothing happens
    EXPECT_FALSE(readOrderFile(host("\\two")));

    settings.homeFolder = "\\one";
    doc.onCommand(DocCmd::GoToHome);
    EXPECT_EQ(settings.currentFolder, "\\one");
    EXPECT_EQ(frame.waitDepth, 0);
    auto written = readOrderFile(host("\\two"));
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, (std::vector<std::u16string>{ u"\u00E9t\u00E9.bmp", u"b.bmp" }));

    settings.homeFolder = "\\two";
    doc.onCommand(DocCmd::GoToHome);
    EXPECT_FALSE(readOrderFile(host("\\one")));
    // The order file itself is no picture.
    EXPECT_EQ(doc.Count(), 2);
}

TEST_F(AlbDocTest, ReloadFromTreeLoadsTheTreeFolder)
{
    load("\\first", { "a.bmp", "b.bmp" });
    load("\\second", { "c.bmp" });
    load("\\first", { "a.bmp", "b.bmp" });
    frame.tree = "\\second";
    doc.onCommand(DocCmd::ReloadFromTree);
    EXPECT_EQ(settings.currentFolder, "\\second");
    EXPECT_EQ(names(), (Names{ "c.bmp" }));
    EXPECT_TRUE(readOrderFile(host("\\first")));
    EXPECT_EQ(frame.waitDepth, 0);
}

TEST_F(AlbDocTest, OrderFileFailureIsIgnored)
{
    load("\\locked", { "a.bmp", "b.bmp" });
    std::filesystem::permissions(host("\\locked"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    doc.CloseDocument();
    std::filesystem::permissions(host("\\locked"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(doc.Count(), 0);
}

TEST_F(AlbDocTest, GoToMissingFolderWarnsAndChangesNothing)
{
    load("\\album", { "a.bmp", "b.bmp" });
    makePicture("\\file.bmp");
    for (const char *missing : { "\\nowhere", "\\file.bmp" }) {
        sink.shown.clear();
        settings.homeFolder = missing;
        EXPECT_FALSE(doc.GoTo(DocCmd::GoToHome));
        ASSERT_EQ(sink.shown.size(), 1u) << missing;
        EXPECT_NE(sink.shown[0].text.find("Invalid path."), std::string::npos);
        EXPECT_NE(sink.shown[0].text.find("60010:103"), std::string::npos);
        EXPECT_EQ(sink.shown[0].type & 0xF0, MessageBoxType::IconWarning);
    }
    EXPECT_EQ(settings.currentFolder, "\\album");
    EXPECT_EQ(doc.Count(), 2);
    EXPECT_FALSE(readOrderFile(host("\\album")));
}

TEST_F(AlbDocTest, UpOneLevel)
{
    struct Row
    {
        const char *from;
        const char *to;
    } rows[] = { { "\\", "\\" },
                 { "\\My Documents", "\\" },
                 { "\\My Documents\\", "\\" },
                 { "\\a\\b", "\\a" } };

    makeFolder("\\My Documents");
    makeFolder("\\a\\b");
    for (const Row &row : rows) {
        doc.ChangeFolder(row.from);
        doc.onCommand(DocCmd::GoToUpOneLevel);
        EXPECT_EQ(settings.currentFolder, row.to) << row.from;
    }
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(AlbDocTest, RecentEntryBeyondTheListDoesNothing)
{
    load("\\album", { "a.bmp" });
    EXPECT_FALSE(doc.GoTo(DocCmd::GoToRecentFirst + 3));
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(settings.currentFolder, "\\album");
}

// The host's names differ in case alone: files and folders are identified by their exact names.
TEST_F(AlbDocTest, NamesThatDifferOnlyInCaseAreOtherFiles)
{
    makeFolder("\\Case");
    load("\\case", { "c.jpeg" });
    makePicture("\\case\\C.JPEG");
    EXPECT_TRUE(doc.SyncWithFolder());
    EXPECT_EQ(names(), (Names{ "c.jpeg", "C.JPEG" }));
    EXPECT_EQ(doc.SelectByName("C.JPEG"), doc.ItemAt(1));
    EXPECT_EQ(doc.FirstSelected(), doc.ItemAt(1));
    EXPECT_EQ(doc.ItemNamed("C.jpeg"), nullptr);

    settings.homeFolder = "\\Case";
    EXPECT_TRUE(doc.GoTo(DocCmd::GoToHome));
    EXPECT_EQ(settings.currentFolder, "\\Case");
    EXPECT_EQ(frame.tree, "\\Case");
    EXPECT_EQ(doc.Count(), 0);
}

TEST_F(AlbDocTest, SelectByNameOfNoItem)
{
    load("\\album", { "a.bmp" });
    EXPECT_EQ(doc.SelectByName("none.jpg"), nullptr);
    EXPECT_EQ(doc.IndexOf(nullptr), -1);
    EXPECT_EQ(doc.ItemAt(2), nullptr);
}

} // namespace

// Choosing a folder that cannot be read shows it empty and says why.
TEST_F(AlbDocTest, AFolderThatCannotBeReadSaysWhy)
{
    makeFolder("\\locked");
    makePicture("\\locked\\a.bmp");
    ::chmod(root.path().c_str(), 0777);
    ::chmod(host("\\locked").c_str(), 0);
    EXPECT_TRUE(HoldsForAnOrdinaryUser([this] {
        doc.ChangeFolder("\\locked");
        return doc.Count() == 0 && sink.shown.size() == 1
                && sink.shown[0].text
                == "Unable to access the file.\n60010:103:1\n\\locked: Permission denied.";
    }));
    ::chmod(host("\\locked").c_str(), 0755);
}
