#include "app/file_commands.h"

#include "app/command_line.h"
#include "app/delete_folder.h"
#include "app/delete_pictures.h"
#include "app/doc_commands.h"
#include "app/order_file.h"
#include "tests/app/confirm_script.h"
#include "tests/app/doc_test_support.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using namespace ConfirmAnswer;

class FileCommandsTest : public DocTest
{
protected:
    // A folder of pictures (and other files) on show; selected are the positions to select.
    void showFolder(const std::string &folder, const std::vector<std::string> &pictures,
                    const std::vector<int> &selected = {})
    {
        makeFolder(folder);
        for (const std::string &name : pictures)
            makePicture(folder + "\\" + name);
        doc.ChangeFolder(folder);
        for (int index : selected)
            doc.ItemAt(index)->setSelected(true);
    }

    std::vector<std::string> selectedNames() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < doc.Count(); ++i)
            if (doc.ItemAt(i)->selected())
                out.push_back(doc.ItemAt(i)->fileName);
        return out;
    }

    std::vector<std::string> filesIn(const std::string &folder) const
    {
        std::vector<std::string> out;
        for (const auto &entry : fs::directory_iterator(host(folder)))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    // The reports shown, each as its whole text.
    std::vector<std::string> reports() const
    {
        std::vector<std::string> out;
        for (const MessageBoxRequest &request : sink.shown)
            out.push_back(request.text);
        return out;
    }
};

const std::string kAccessFailed = "Unable to access the file.";
// Stands for the order file's name in the tables.
constexpr const char *kOrderFile = "(order file)";

TEST_F(FileCommandsTest, DeletePicturesAsksForEachAndSelectsAtTheFirstPlace)
{
    struct Row
    {
        const char *label;
        std::vector<int> selected;
        std::deque<int> answers;
        bool yesToAllOffered;
        std::vector<std::string> asked, left, selectedAfter;
    } rows[] = {
        // clang-format off
        { "one picture", { 1 }, { Yes }, false,
          { "b.bmp" }, { "a.bmp", "c.bmp", "d.bmp" }, { "c.bmp" } },
        // The skipped picture stays selected; the one now at the first place joins it.
        { "no, then yes to all", { 1, 2, 3 }, { Yes, No, YesToAll }, true,
          { "b.bmp", "c.bmp", "d.bmp" }, { "a.bmp", "c.bmp" }, { "c.bmp" } },
        { "yes to all asks once", { 0, 1, 2 }, { YesToAll }, true,
          { "a.bmp" }, { "d.bmp" }, { "d.bmp" } },
        { "the last ones go: the last left is selected", { 2, 3 }, { Yes, Yes }, true,
          { "c.bmp", "d.bmp" }, { "a.bmp", "b.bmp" }, { "b.bmp" } },
        { "cancel keeps the rest", { 0, 1 }, { Yes, Cancel }, true,
          { "a.bmp", "b.bmp" }, { "b.bmp", "c.bmp", "d.bmp" }, { "b.bmp" } },
        // clang-format on
    };

    for (const Row &row : rows) {
        std::filesystem::remove_all(host("\\album"));
        showFolder("\\album", { "a.bmp", "b.bmp", "c.bmp", "d.bmp" }, row.selected);
        ConfirmScript script(row.answers);
        DeletePictures(doc, DeleteTarget::Remove);

        ASSERT_EQ(script.asked.size(), row.asked.size()) << row.label;
        for (std::size_t i = 0; i < row.asked.size(); ++i) {
            EXPECT_EQ(script.asked[i].text, "Delete file '" + row.asked[i] + "' ?") << row.label;
            EXPECT_EQ(script.asked[i].title, "Delete File");
            EXPECT_EQ(script.asked[i].yesToAllOffered, row.yesToAllOffered) << row.label;
        }
        EXPECT_EQ(names(), row.left) << row.label;
        EXPECT_EQ(filesIn("\\album"), row.left) << row.label;
        EXPECT_EQ(selectedNames(), row.selectedAfter) << row.label;
        EXPECT_TRUE(sink.shown.empty()) << row.label;
    }
}

// A picture that cannot be deleted (here a folder took its name while the question was open) is
// reported and the others still go.
TEST_F(FileCommandsTest, DeletePicturesReportsAFailureAndGoesOn)
{
    showFolder("\\album", { "a.bmp", "b.bmp" }, { 0, 1 });
    ConfirmScript script({ Yes, Yes });
    script.beforeAnswer = [this](const ConfirmRequest &request) {
        if (request.text == "Delete file 'a.bmp' ?") {
            fs::remove(host("\\album\\a.bmp"));
            fs::create_directory(host("\\album\\a.bmp"));
        }
    };
    DeletePictures(doc, DeleteTarget::Remove);
    EXPECT_EQ(reports(),
              std::vector<std::string>{ kAccessFailed
                                        + "\n35000:103:2\n\\album\\a.bmp: Is a directory." });
    EXPECT_FALSE(fs::exists(host("\\album\\b.bmp")));
    EXPECT_TRUE(fs::is_directory(host("\\album\\a.bmp")));
}

TEST_F(FileCommandsTest, DeleteFolderQuestionsAndOutcomes)
{
    const std::string contents = "This folder contains 2 image file(s) and 1 non-image file(s).\n\n"
                                 "Are you sure you want to delete all files now?";
    const std::string folderQuestion = "Delete folder '/f' ?";

    const std::string a = "Delete file 'a.bmp' ?", b = "Delete file 'b.bmp' ?";
    const std::vector<std::string> full{ "a.bmp", "b.bmp" };

    struct Row
    {
        const char *label;
        std::vector<std::string> pictures;
        std::deque<int> answers;
        std::vector<std::string> asked, left;
        bool folderGone;
    } rows[] = {
        // clang-format off
        { "empty folder", {}, { Yes }, { folderQuestion }, {}, true },
        { "empty folder, no", {}, { No }, { folderQuestion }, {}, false },
        { "yes deletes all at once", full, { Yes }, { contents }, {}, true },
        { "no asks for each; one kept keeps the folder", full, { No, Yes, No, Yes },
          { contents, a, b, "Delete file 'notes.txt' ?" }, { "b.bmp" }, false },
        { "no, then yes to all still asks about the folder", full, { No, YesToAll },
          { contents, a }, {}, true },
        { "cancel first", full, { Cancel }, { contents },
          { "a.bmp", "b.bmp", "notes.txt", kOrderFile }, false },
        { "cancel in the pictures", full, { No, Yes, Cancel }, { contents, a, b },
          { "b.bmp", "notes.txt", kOrderFile }, false },
        // clang-format on
    };

    for (const Row &row : rows) {
        fs::remove_all(host("\\f"));
        sink.shown.clear();
        frame.treeRefreshes = 0;
        showFolder("\\f", row.pictures);
        if (!row.pictures.empty())
            makeTextFile("\\f\\notes.txt");
        WriteOrderFile("\\f", row.pictures);
        ConfirmScript script(row.answers);
        DeleteFolder(doc, DeleteTarget::Remove);

        EXPECT_EQ(script.texts(), row.asked) << row.label;
        EXPECT_EQ(fs::exists(host("\\f")), !row.folderGone) << row.label;
        EXPECT_EQ(frame.treeRefreshes, row.folderGone ? 1 : 0) << row.label;
        EXPECT_TRUE(sink.shown.empty()) << row.label;
        if (row.folderGone)
            continue;
        std::vector<std::string> left = row.left;
        std::replace(left.begin(), left.end(), std::string(kOrderFile), OrderFileName());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(filesIn("\\f"), left) << row.label;
        // The list follows the files: only the pictures left have items.
        std::vector<std::string> pictures;
        std::copy_if(row.left.begin(), row.left.end(), std::back_inserter(pictures),
                     [](const std::string &name) { return name.ends_with(".bmp"); });
        EXPECT_EQ(names(), pictures) << row.label;
    }
}

// Nothing below the folder is ever touched: a sub-folder, also one reached through a link,
// refuses at once; a link to a file goes as a link.
TEST_F(FileCommandsTest, DeleteFolderNeverReachesBeyondTheFolder)
{
    makeFolder("\\outside\\deep");
    makeTextFile("\\outside\\target.txt");
    const std::string refused = "You must cleanup all sub-folder(s) first.\n35000:104:1";

    struct Row
    {
        const char *label;
        std::function<void()> make;
        bool refused;
    } rows[] = {
        // clang-format off
        { "sub-folder", [&] { makeFolder("\\f\\sub"); }, true },
        { "link to a folder", [&] {
              fs::create_directory_symlink(host("\\outside\\deep"), host("\\f\\deep")); }, true },
        { "link to a file", [&] {
              fs::create_symlink(host("\\outside\\target.txt"), host("\\f\\link.txt")); }, false },
        // clang-format on
    };

    for (const Row &row : rows) {
        fs::remove_all(host("\\f"));
        sink.shown.clear();
        showFolder("\\f", { "a.bmp" });
        row.make();
        ConfirmScript script({ Yes });
        DeleteFolder(doc, DeleteTarget::Remove);
        EXPECT_EQ(reports(),
                  row.refused ? std::vector<std::string>{ refused } : std::vector<std::string>{})
                << row.label;
        // Refused before any question; else one question, and the folder goes.
        EXPECT_EQ(script.asked.size(), row.refused ? 0u : 1u) << row.label;
        EXPECT_EQ(fs::exists(host("\\f")), row.refused) << row.label;
        EXPECT_TRUE(fs::exists(host("\\outside\\deep")));
        EXPECT_TRUE(fs::exists(host("\\outside\\target.txt")));
    }
}

// The survey sees every entry: a hidden sub-folder refuses at once, hidden files (a temporary file
// left by a killed write among them) and a dangling link are counted and deleted with the rest.
TEST_F(FileCommandsTest, DeleteFolderSeesHiddenEntries)
{
    const std::string refused = "You must cleanup all sub-folder(s) first.\n35000:104:1";
    const std::string oneAndOne =
            "This folder contains 1 image file(s) and 1 non-image file(s).\n\n"
            "Are you sure you want to delete all files now?";

    struct Row
    {
        const char *label;
        std::vector<std::string> pictures;
        std::function<void()> make;
        std::vector<std::string> asked;
        bool folderGone;
    } rows[] = {
        // clang-format off
        { "hidden sub-folder", { "a.bmp" }, [&] { makeFolder("\\f\\.thumbnails"); }, {}, false },
        { "hidden file", { "a.bmp" }, [&] { makeTextFile("\\f\\.directory"); },
          { oneAndOne }, true },
        { "left by a killed write", { "a.bmp" },
          [&] { makeTextFile("\\f\\.vistrel-write-Xq3b7Z"); }, { oneAndOne }, true },
        { "dangling link", { "a.bmp" }, [&] { fs::create_symlink("gone", host("\\f\\x")); },
          { oneAndOne }, true },
        // clang-format on
    };

    for (const Row &row : rows) {
        fs::remove_all(host("\\f"));
        sink.shown.clear();
        showFolder("\\f", row.pictures);
        row.make();
        ConfirmScript script({ Yes });
        DeleteFolder(doc, DeleteTarget::Remove);
        EXPECT_EQ(script.texts(), row.asked) << row.label;
        EXPECT_EQ(reports(),
                  row.asked.empty() ? std::vector<std::string>{ refused }
                                    : std::vector<std::string>{})
                << row.label;
        EXPECT_EQ(fs::exists(host("\\f")), !row.folderGone) << row.label;
    }
}

// A file that appears while the questions are open keeps the folder, and the user is told.
TEST_F(FileCommandsTest, DeleteFolderKeepsAFolderThatGainedAFile)
{
    showFolder("\\f", { "a.bmp" });
    ConfirmScript script({ Yes });
    script.beforeAnswer = [this](const ConfirmRequest &) {
        makeTextFile("\\f\\late.txt");
    };
    DeleteFolder(doc, DeleteTarget::Remove);
    EXPECT_EQ(filesIn("\\f"), std::vector<std::string>{ "late.txt" });
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text.rfind(kAccessFailed + "\n35000:104:4\n", 0), 0u)
            << sink.shown[0].text;
    EXPECT_EQ(frame.treeRefreshes, 0);
}

// Names as the file system may hold them are listed, opened by the command line, asked about as
// people read them and deleted, and never taken for another file: the one a lossy conversion of
// the name would reach stays.
TEST_F(FileCommandsTest, HostileNamesAreListedOpenedAndDeletedLikeAnyOther)
{
    struct Row
    {
        std::string host, shown, other;
    } rows[] = {
        { "new\nline.bmp", "new\nline.bmp", "" },
        { "%41 and %.bmp", "%41 and %.bmp", "A and %.bmp" },
        { "-x.bmp", "-x.bmp", "" },
        { "bad\xff.bmp", "bad\ufffd.bmp", "bad\ufffd.bmp" },
        { "a\\b.bmp", "a\\b.bmp", "a/b.bmp" },
    };

    for (const Row &row : rows) {
        SCOPED_TRACE(row.shown);
        fs::remove_all(host("\\odd"));
        makeFolder("\\odd\\a");
        makePicture("\\odd\\plain.bmp");
        const std::string path = host("\\odd") + "/" + row.host;
        fs::rename(host("\\odd\\plain.bmp"), path);
        if (!row.other.empty())
            makeTextFile("\\odd\\" + row.other);
        doc.ChangeFolder("\\odd");
        ASSERT_EQ(doc.Count(), 1);
        EXPECT_EQ(doc.ItemAt(0)->info.width, 2);

        const CAlbCommandLineInfo opened = ParseCommandLine({ "-i", path });
        EXPECT_EQ(opened.folder, "\\odd");
        doc.ClearSelection();
        EXPECT_EQ(doc.SelectByName(opened.fileName), doc.ItemAt(0));

        ConfirmScript script({ Yes });
        DeletePictures(doc, DeleteTarget::Remove);
        EXPECT_EQ(script.texts(), std::vector<std::string>{ "Delete file '" + row.shown + "' ?" });
        EXPECT_TRUE(sink.shown.empty());
        EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
        EXPECT_EQ(doc.Count(), 0);
        EXPECT_TRUE(row.other.empty() || fs::exists(host("\\odd\\" + row.other)));
    }
}

// The commands come from the route with their enabling rules; deleted files go to the desktop's
// trash unless the settings file turns it off.
TEST_F(FileCommandsTest, DeleteCommandUsesTheTrashUnlessTurnedOff)
{
    ScopedEnv home("HOME", root.path().string());
    ScopedEnv data("XDG_DATA_HOME", (root.path() / "data").string());
    FileCommands files(doc, store);
    const fs::path trash = root.path() / "data/Trash";
    settings.viewMode = ViewMode::FullScreen;
    showFolder("\\album", { "a.bmp", "b.bmp" }, { 0 });
    ConfirmScript script({ Yes, Yes });
    EXPECT_TRUE(files.onCommand(DocCmd::DeletePictures));
    EXPECT_TRUE(script.asked.empty()) << "disabled in Full Screen View";

    settings.viewMode = ViewMode::Thumbnail;
    EXPECT_TRUE(files.onCommand(DocCmd::DeletePictures));
    EXPECT_TRUE(fs::exists(trash / "files/a.bmp"));
    EXPECT_TRUE(fs::exists(trash / "info/a.bmp.trashinfo"));
    EXPECT_EQ(names(), std::vector<std::string>{ "b.bmp" });

    store.writeString(SettingsSectionKey("Preferences"), "Use Trash", "0");
    EXPECT_TRUE(files.onCommand(DocCmd::DeletePictures));
    EXPECT_TRUE(names().empty());
    EXPECT_FALSE(fs::exists(trash / "files/b.bmp"));
    EXPECT_FALSE(files.onCommand(DocCmd::SelectAll));
}

} // namespace
