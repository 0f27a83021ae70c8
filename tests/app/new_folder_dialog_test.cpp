#include "app/new_folder_dialog.h"

#include "tests/app/doc_test_support.h"
#include "tests/support/qt_test_app.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class NewFolderTest : public DocTest
{
protected:
    NewFolderTest() { EnsureTestApplication(); }
};

TEST_F(NewFolderTest, ProposesTheFirstFreeName)
{
    makeFolder("\\p");
    EXPECT_EQ(ProposeFolderName("\\p"), "New Folder");
    makeFolder("\\p\\New Folder");
    EXPECT_EQ(ProposeFolderName("\\p"), "New Folder1");
    // A file takes a name as well as a folder does.
    makeTextFile("\\p\\New Folder1");
    EXPECT_EQ(ProposeFolderName("\\p"), "New Folder2");
}

TEST_F(NewFolderTest, ShowsTheFolderAndSelectsTheProposal)
{
    NewFolderDialog dialog("\\p", "New Folder");
    EXPECT_EQ(dialog.objectName(), "102");
    EXPECT_EQ(dialog.windowTitle(), "New Folder");
    auto *current = dialog.findChild<QLineEdit *>("2001");
    ASSERT_NE(current, nullptr);
    EXPECT_TRUE(current->isReadOnly());
    EXPECT_EQ(current->text(), "/p"); // as the desktop writes paths
    EXPECT_EQ(dialog.nameField()->objectName(), "2002");
    EXPECT_EQ(dialog.nameField()->selectedText(), "New Folder");
}

// A refused name is reported with its own message and the dialog stays open with the name
// selected; a good one makes the folder (without trailing blanks) and closes the dialog.
TEST_F(NewFolderTest, ChecksTheNameAndStaysOpenOnFailure)
{
    makeFolder("\\p\\taken");

    struct Row
    {
        const char *label;
        std::string name;
        const char *firstLine;
        const char *made;
    } rows[] = {
        { "empty", "  ", "Please specify file name or folder name.", nullptr },
        { "dot first", ".hidden", "Please specify file name or folder name.", nullptr },
        { "illegal", "a?b", "Illegal file or folder name.", nullptr },
        { "too long", std::string(261, 'x'), "File or folder name is too long.", nullptr },
        { "exists", "taken", "This folder already exists.", nullptr },
        { "good", "Holiday  ", nullptr, "Holiday" },
        { "percent", "100%s", nullptr, "100%s" },
    };

    for (const Row &row : rows) {
        sink.shown.clear();
        NewFolderDialog dialog("\\p", "New Folder");
        dialog.nameField()->setText(QString::fromStdString(row.name));
        dialog.nameField()->deselect();
        dialog.accept();
        if (row.made) {
            EXPECT_TRUE(sink.shown.empty()) << row.label;
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << row.label;
            EXPECT_TRUE(fs::is_directory(host(std::string("\\p\\") + row.made))) << row.label;
            continue;
        }
        ASSERT_EQ(sink.shown.size(), 1u) << row.label;
        const std::string &text = sink.shown[0].text;
        EXPECT_EQ(text.substr(0, text.find('\n')), row.firstLine) << row.label;
        EXPECT_NE(text.find("35001:104:1"), std::string::npos) << text;
        EXPECT_NE(dialog.result(), QDialog::Accepted) << row.label;
        EXPECT_EQ(dialog.nameField()->selectedText().toStdString(), row.name) << row.label;
    }
    std::vector<std::string> made;
    for (const auto &entry : fs::directory_iterator(host("\\p")))
        made.push_back(entry.path().filename().string());
    std::sort(made.begin(), made.end());
    EXPECT_EQ(made, (std::vector<std::string>{ "100%s", "Holiday", "taken" }));
}

} // namespace
