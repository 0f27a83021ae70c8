#include "app/alb_dir_tree.h"

#include "app/doc_commands.h"
#include "app/folder_expansion.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::vector<std::string> childNames(const QTreeWidgetItem *item)
{
    std::vector<std::string> names;
    for (int i = 0; i < item->childCount(); ++i)
        names.push_back(item->child(i)->text(0).toStdString());
    return names;
}

// A device root of real folders and a tree over it that records what it posts.
class AlbDirTreeTest : public ::testing::Test
{
protected:
    AlbDirTreeTest() : env("VISTREL_ROOT", dir.path().string()), tree("My Device", nullptr)
    {
        tree.setCommandSink([this](std::uint32_t id) { commands.push_back(id); });
    }

    void makeFolder(const std::string &relative) const
    {
        std::filesystem::create_directories(dir.path() / relative);
    }

    void removeFolder(const std::string &relative) const
    {
        std::filesystem::remove_all(dir.path() / relative);
    }

    // The item at a device path, following exact names; nullptr when the tree has none.
    QTreeWidgetItem *itemAt(const std::string &path) const
    {
        QTreeWidgetItem *item = tree.topLevelItem(0);
        std::string part;
        for (int i = 1; item && GetToken(path, i, part, '\\') && !part.empty(); ++i)
            item = tree.FindChild(item, part);
        return item;
    }

    // Commands posted since the last call, once the queued ones have been delivered.
    std::vector<std::uint32_t> posted()
    {
        QCoreApplication::processEvents();
        return std::exchange(commands, {});
    }

    // The application must exist before the tree does.
    bool applicationReady = (EnsureTestApplication(), true);
    TempDir dir;
    ScopedEnv env;
    CAlbDirTree tree;
    std::vector<std::uint32_t> commands;
};

const std::vector<std::uint32_t> kReload = { DocCmd::ReloadFromTree };

} // namespace

TEST(FolderTreeRulesTest, GetToken)
{
    struct Row
    {
        const char *text;
        int index;
        char separator;
        bool found;
        const char *part;
    };

    const Row rows[] = {
        { "a|b|", 0, '|', true, "a" },   { "a|b|", 1, '|', true, "b" },
        { "a|b|", 2, '|', true, "" },    { "a|b|", 3, '|', false, "" },
        { "\\A\\B", 0, '\\', true, "" }, { "\\A\\B", 2, '\\', true, "B" },
        { "", 0, '|', true, "" },        { "", 1, '|', false, "" },
        { "abc", -1, '|', false, "" },
    };
    for (const Row &row : rows) {
        std::string out = "untouched";
        EXPECT_EQ(GetToken(row.text, row.index, out, row.separator), row.found)
                << row.text << " " << row.index;
        EXPECT_EQ(out, row.found ? row.part : "untouched") << row.text << " " << row.index;
    }
}

TEST_F(AlbDirTreeTest, BuildOpensThePathAndSelectsItQuietly)
{
    for (const char *folder : { "My Documents/Pictures", "Apps", "b10", "b9", "my device", "a|b" })
        makeFolder(folder);
    ASSERT_TRUE(tree.BuildTree("\\My Documents\\"));

    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree.topLevelItem(0);
    EXPECT_EQ(root->text(0), "My Device");
    EXPECT_TRUE(root->isExpanded());
    // Listing order: without regard to case, numbers by value.
    EXPECT_EQ(
            childNames(root),
            (std::vector<std::string>{ "Apps", "a|b", "b9", "b10", "my device", "My Documents" }));
    QTreeWidgetItem *documents = itemAt("\\My Documents");
    ASSERT_NE(documents, nullptr);
    EXPECT_TRUE(documents->isExpanded());
    EXPECT_EQ(tree.currentItem(), documents);
    EXPECT_EQ(tree.SelectedPath(), "\\My Documents");
    EXPECT_EQ(childNames(documents), std::vector<std::string>{ "Pictures" });
    EXPECT_TRUE(CAlbDirTree::hasChildrenMark(documents));
    EXPECT_FALSE(CAlbDirTree::hasChildrenMark(itemAt("\\Apps")));
    EXPECT_FALSE(tree.building());
    // The caller loads the built tree's folder itself.
    EXPECT_TRUE(posted().empty());

    // A folder that happens to carry the root's display name is still an ordinary folder.
    EXPECT_EQ(tree.ItemPath(itemAt("\\my device")), "\\my device");
    EXPECT_EQ(tree.ItemPath(itemAt("\\My Documents\\Pictures")), "\\My Documents\\Pictures");
    EXPECT_EQ(tree.ItemPath(root), "\\");
    EXPECT_EQ(tree.ItemPath(nullptr), "\\");
}

TEST_F(AlbDirTreeTest, BuildSelectsTheDeepestExistingFolder)
{
    makeFolder("A/B/C");
    makeFolder("Dup");
    makeFolder("dup");

    const struct
    {
        const char *path;
        const char *selected;
    } rows[] = {
        { "\\A\\B\\Gone\\C", "\\A\\B" },
        { "\\A\\B\\C", "\\A\\B\\C" },
        { "\\a\\b", "\\" }, // names compare exactly
        { "\\dup", "\\dup" },
        { "\\Dup", "\\Dup" },
        { "\\Nothing", "\\" },
        { "\\", "\\" },
        { "", "\\" },
    };

    for (const auto &row : rows) {
        ASSERT_TRUE(tree.BuildTree(row.path)) << row.path;
        EXPECT_EQ(tree.SelectedPath(), row.selected) << row.path;
        EXPECT_EQ(tree.topLevelItemCount(), 1) << row.path;
    }
    // Folders that differ in case alone each have their own item.
    EXPECT_EQ(childNames(tree.topLevelItem(0)), (std::vector<std::string>{ "A", "Dup", "dup" }));
    EXPECT_TRUE(posted().empty());
}

TEST_F(AlbDirTreeTest, CollapsingAboveTheSelectionSelectsTheCollapsedFolder)
{
    makeFolder("A/B");
    makeFolder("AB/X");
    ASSERT_TRUE(tree.BuildTree("\\A\\B"));
    QTreeWidgetItem *root = tree.topLevelItem(0);

    root->setExpanded(false);
    EXPECT_EQ(tree.SelectedPath(), "\\");
    EXPECT_EQ(root->childCount(), 0);
    EXPECT_TRUE(CAlbDirTree::hasChildrenMark(root));
    EXPECT_EQ(posted(), kReload);

    // The children are read again on the next expansion.
    root->setExpanded(true);
    EXPECT_EQ(childNames(root), (std::vector<std::string>{ "A", "AB" }));
    EXPECT_TRUE(posted().empty());

    // "\AB" begins with "\A" but does not lie below it: collapsing "\A" leaves it selected.
    itemAt("\\AB")->setExpanded(true);
    tree.setCurrentItem(itemAt("\\AB\\X"));
    EXPECT_EQ(posted(), kReload);
    itemAt("\\A")->setExpanded(true);
    itemAt("\\A")->setExpanded(false);
    EXPECT_EQ(tree.SelectedPath(), "\\AB\\X");
    EXPECT_EQ(itemAt("\\A")->childCount(), 0);
    EXPECT_TRUE(posted().empty());
}

TEST_F(AlbDirTreeTest, RefreshFollowsTheFileStore)
{
    makeFolder("A/B");
    makeFolder("C/D/G");
    makeFolder("E");
    ASSERT_TRUE(tree.BuildTree("\\A"));
    itemAt("\\C")->setExpanded(true);
    ASSERT_EQ(childNames(itemAt("\\C")), std::vector<std::string>{ "D" });

    removeFolder("A/B");
    makeFolder("E/F");
    makeFolder("Bee");
    tree.RefreshTree();
    QTreeWidgetItem *a = itemAt("\\A");
    EXPECT_EQ(a->childCount(), 0);
    EXPECT_FALSE(CAlbDirTree::hasChildrenMark(a));
    EXPECT_TRUE(CAlbDirTree::hasChildrenMark(itemAt("\\E")));
    EXPECT_EQ(childNames(tree.topLevelItem(0)), (std::vector<std::string>{ "A", "Bee", "C", "E" }));
    EXPECT_EQ(tree.SelectedPath(), "\\A");
    EXPECT_TRUE(posted().empty());

    // The selected folder goes: its nearest existing ancestor is selected and loaded.
    itemAt("\\C\\D")->setExpanded(true);
    tree.setCurrentItem(itemAt("\\C\\D\\G"));
    EXPECT_EQ(posted(), kReload);
    removeFolder("C/D");
    tree.RefreshTree();
    EXPECT_EQ(tree.SelectedPath(), "\\C");
    EXPECT_EQ(itemAt("\\C\\D"), nullptr);
    EXPECT_FALSE(CAlbDirTree::hasChildrenMark(itemAt("\\C")));
    EXPECT_EQ(posted(), kReload);
}

TEST_F(AlbDirTreeTest, SelectingAVanishedFolderSelectsItsParent)
{
    makeFolder("A/B/C");
    makeFolder("A/D");
    ASSERT_TRUE(tree.BuildTree("\\A\\B"));
    QTreeWidgetItem *b = itemAt("\\A\\B");
    ASSERT_EQ(childNames(b), std::vector<std::string>{ "C" });

    removeFolder("A/D");
    tree.setCurrentItem(itemAt("\\A\\D"));
    EXPECT_EQ(tree.SelectedPath(), "\\A");
    EXPECT_EQ(childNames(itemAt("\\A")), std::vector<std::string>{ "B" });
    EXPECT_EQ(posted(), kReload);

    // A whole branch went: each vanished level is removed on the way up.
    removeFolder("A");
    tree.setCurrentItem(itemAt("\\A\\B\\C"));
    EXPECT_EQ(tree.SelectedPath(), "\\");
    EXPECT_EQ(tree.topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(posted(), kReload);
}

TEST_F(AlbDirTreeTest, PointerKeysAndMenu)
{
    makeFolder("A");
    makeFolder("B");
    ASSERT_TRUE(tree.BuildTree("\\A"));
    tree.resize(200, 200);
    int activations = 0;
    int enters = 0;
    tree.setActivateHandler([&] { ++activations; });
    tree.setEnterHandler([&] { ++enters; });

    // A right click makes the tree active but selects nothing.
    const QRect bRect = tree.visualItemRect(itemAt("\\B"));
    QMouseEvent press(QEvent::MouseButtonPress, bRect.center(),
                      tree.viewport()->mapToGlobal(bRect.center()), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree.viewport(), &press);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(tree.SelectedPath(), "\\A");

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&tree, &enter);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(tree.SelectedPath(), "\\A");

    // The menu's items are enabled as the frame's states say, and choosing "Delete Folder" posts
    // its command.
    tree.setStateSource([](std::uint32_t id) {
        CommandState state;
        state.enabled = id == DocCmd::DeleteFolder;
        return state;
    });
    QStringList texts;
    std::vector<bool> enabled;
    QTimer::singleShot(0, [&texts, &enabled] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *action : menu->actions()) {
            texts << action->text();
            enabled.push_back(action->isEnabled());
        }
        menu->setActiveAction(menu->actions().value(1));
        QKeyEvent choose(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &choose);
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, bRect.center(),
                                tree.viewport()->mapToGlobal(bRect.center()));
    QCoreApplication::sendEvent(tree.viewport(), &menuEvent);
    EXPECT_EQ(texts, (QStringList{ "New Folder...", "Delete Folder" }));
    EXPECT_EQ(enabled, (std::vector<bool>{ false, true }));
    EXPECT_EQ(posted(), std::vector<std::uint32_t>{ DocCmd::DeleteFolder });
}

// "*" on the keypad opens every folder below the selection, but never one a link leads to out of
// the device root, never a folder twice (a link back up would open the tree for ever), and no
// deeper than FolderExpansion's limit; the event loop runs between the folders.
TEST_F(AlbDirTreeTest, ExpandAllStopsAtLinksOutOfTheRootLoopsAndItsDepth)
{
    namespace fs = std::filesystem;
    makeFolder("a/b");
    fs::create_directory_symlink("/proc", dir.path() / "proc");
    fs::create_directory_symlink("../..", dir.path() / "a/b/up");
    fs::create_directory_symlink("b", dir.path() / "a/twin");
    std::string deep = "deep";
    for (int level = 1; level <= FolderExpansion::kMaxDepth + 2; ++level)
        deep += "/" + std::to_string(level);
    makeFolder(deep);
    ASSERT_TRUE(tree.BuildTree("\\"));

    bool answeredMeanwhile = false;
    QTimer::singleShot(0, [&] { answeredMeanwhile = tree.expandingAll(); });
    QKeyEvent star(QEvent::KeyPress, Qt::Key_Asterisk, Qt::KeypadModifier);
    QCoreApplication::sendEvent(&tree, &star);
    QElapsedTimer clock;
    clock.start();
    while (tree.expandingAll() && clock.elapsed() < 10000)
        QCoreApplication::processEvents();
    ASSERT_FALSE(tree.expandingAll());
    EXPECT_TRUE(answeredMeanwhile);

    for (const char *closed : { "\\proc", "\\a\\b\\up", "\\a\\twin" }) {
        ASSERT_NE(itemAt(closed), nullptr) << closed;
        EXPECT_FALSE(itemAt(closed)->isExpanded()) << closed;
        EXPECT_EQ(itemAt(closed)->childCount(), 0) << closed;
    }
    EXPECT_TRUE(itemAt("\\a\\b")->isExpanded());
    // The start is depth 0 and "deep" depth 1.
    std::string path = "\\deep";
    for (int level = 1; level < FolderExpansion::kMaxDepth; ++level)
        path += "\\" + std::to_string(level);
    EXPECT_TRUE(itemAt(path)->isExpanded()) << path;
    path += "\\" + std::to_string(FolderExpansion::kMaxDepth);
    ASSERT_NE(itemAt(path), nullptr);
    EXPECT_FALSE(itemAt(path)->isExpanded()) << path;
}

// A folder the user may not read is dimmed, with the reason as its tip.
TEST_F(AlbDirTreeTest, AFolderThatCannotBeReadIsMarkedWithTheReason)
{
    makeFolder("locked/inner");
    makeFolder("open");
    ::chmod(dir.path().c_str(), 0755);
    ::chmod((dir.path() / "locked").c_str(), 0);
    EXPECT_TRUE(HoldsForAnOrdinaryUser([this] {
        tree.BuildTree("\\");
        const QTreeWidgetItem *locked = itemAt("\\locked");
        const QTreeWidgetItem *open = itemAt("\\open");
        return locked && open && locked->toolTip(0) == "Permission denied"
                && open->toolTip(0).isEmpty() && locked->foreground(0) != open->foreground(0);
    }));
    ::chmod((dir.path() / "locked").c_str(), 0755);
}
