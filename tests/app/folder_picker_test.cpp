#include "app/folder_picker.h"

#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/qt_test_app.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <gtest/gtest.h>

namespace {

class FolderPickerTest : public ::testing::Test
{
protected:
    FolderPickerTest() : env("VISTREL_ROOT", dir.path().string())
    {
        EnsureTestApplication();
        std::filesystem::create_directories(dir.path() / "A/B");
        std::filesystem::create_directories(dir.path() / "C");
    }

    static QTreeWidgetItem *child(QTreeWidgetItem *parent, const char *name)
    {
        for (int i = 0; i < parent->childCount(); ++i)
            if (parent->child(i)->text(0) == QLatin1String(name))
                return parent->child(i);
        return nullptr;
    }

    TempDir dir;
    ScopedEnv env;
};

} // namespace

TEST_F(FolderPickerTest, OpensAtThePathWithItsPrompt)
{
    FolderPickerDialog dialog("\\A\\B", "Select new Home folder:");
    EXPECT_EQ(dialog.objectName(), "31000");
    EXPECT_EQ(dialog.windowTitle(), "Open Folder");
    auto *label = dialog.findChild<QLabel *>("1001");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Select new Home folder:");
    auto *tree = dialog.findChild<FolderPickerTree *>("41000");
    ASSERT_EQ(tree, dialog.tree());
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "My Device");
    EXPECT_EQ(tree->SelectedPath(), "\\A\\B");
    EXPECT_FALSE(tree->topLevelItem(0)->icon(0).isNull());
    EXPECT_NE(dialog.findChild<QPushButton *>("2"), nullptr);

    FolderPickerDialog plain("", "");
    EXPECT_EQ(plain.findChild<QLabel *>("1001")->text(), "Select new folder:");
    EXPECT_EQ(plain.tree()->SelectedPath(), "\\");
}

TEST_F(FolderPickerTest, OkTakesTheChosenFolderAndCancelKeepsTheOld)
{
    {
        FolderPickerDialog dialog("\\A\\B", "");
        QTreeWidgetItem *root = dialog.tree()->topLevelItem(0);
        dialog.tree()->setCurrentItem(child(root, "C"));
        EXPECT_EQ(dialog.tree()->chosenPath(), "\\C");
        dialog.reject();
        EXPECT_EQ(dialog.path(), "\\A\\B");
    }
    {
        FolderPickerDialog dialog("\\A\\B", "");
        QTreeWidgetItem *root = dialog.tree()->topLevelItem(0);
        // Collapsing above the selection moves it to the collapsed folder.
        child(root, "A")->setExpanded(false);
        EXPECT_EQ(dialog.tree()->chosenPath(), "\\A");
        dialog.accept();
        EXPECT_EQ(dialog.path(), "\\A");
    }
    // A path that no longer exists opens at its deepest existing folder, which OK returns.
    std::string path = "\\A\\Gone";
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<FolderPickerDialog *>(QApplication::activeModalWidget());
        if (dialog)
            dialog->findChild<QPushButton *>("1")->click();
    });
    EXPECT_TRUE(ChooseFolder(nullptr, path, "Select new Snap folder:"));
    EXPECT_EQ(path, "\\A");

    QTimer::singleShot(0, [] {
        if (auto *dialog = QApplication::activeModalWidget())
            dialog->findChild<QPushButton *>("2")->click();
    });
    EXPECT_EQ(PickFolder(nullptr, "\\C", ""), std::nullopt);
}
