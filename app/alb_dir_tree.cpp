#include "app/alb_dir_tree.h"

#include "app/command_popup.h"
#include "app/doc_commands.h"
#include "common/dir_record.h"
#include "common/path_names.h"
#include "platform/directory_listing.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace {

bool folderExists(const std::string &path)
{
    DirectoryRecord record;
    return ProbeFile(path, &record) && record.isDirectory();
}

} // namespace

CAlbDirTree::CAlbDirTree(const std::string &rootName, const ImageList *folderImages,
                         QWidget *parent)
    : FolderTreeWidget(QString::fromStdString(rootName), parent)
{
    setFolderImages(folderImages);
}

bool CAlbDirTree::BuildTree(const std::string &path)
{
    buildingFlag = true;
    const bool built = buildAlong(path);
    buildingFlag = false;
    return built;
}

int CAlbDirTree::ValidateItem(QTreeWidgetItem *&item, QTreeWidgetItem *&selection, bool recurse)
{
    if (!item)
        return 1;
    QuietSelection quietly(*this);
    const std::string path = ItemPath(item);
    if (!folderExists(path)) {
        QTreeWidgetItem *parent = item->parent();
        if (selection == item || isBelow(selection, item))
            selection = parent;
        delete item; // takes its children with it
        item = parent;
        return 0;
    }
    const int subfolders = ListSubfolders(path, nullptr, false);
    setListingMark(item, subfolders < 0 && item->parent() ? ListingFailure(path) : 0);
    const bool hasSubfolder = subfolders > 0;
    if (hasSubfolder && !hasChildrenMark(item)) {
        setChildrenMark(item, true);
    } else if (!hasSubfolder && hasChildrenMark(item)) {
        if (isBelow(selection, item))
            selection = item;
        discardChildren(item);
        setChildrenMark(item, false);
    }
    if (!recurse || !item->isExpanded())
        return 1;
    if (validateChildren(item, selection) < 0)
        return -1;
    insertNewFolders(item);
    return 1;
}

int CAlbDirTree::validateChildren(QTreeWidgetItem *item, QTreeWidgetItem *&selection)
{
    // A removed child leaves the next sibling at the same index.
    int index = 0;
    while (index < item->childCount()) {
        QTreeWidgetItem *child = item->child(index);
        const int kept = ValidateItem(child, selection, true);
        if (kept < 0)
            return -1;
        if (kept > 0)
            ++index;
    }
    return 1;
}

void CAlbDirTree::insertNewFolders(QTreeWidgetItem *item)
{
    const std::string path = ItemPath(item);
    std::vector<std::string> names;
    if (ListSubfolders(path, &names, true) <= 0)
        return;
    for (const std::string &name : names) {
        if (!FindChild(item, name))
            insertFolder(item, path, name);
    }
}

void CAlbDirTree::RefreshTree()
{
    QTreeWidgetItem *item = topLevelItem(0);
    if (!item)
        return;
    const std::string before = SelectedPath();
    QTreeWidgetItem *selection = currentItem();
    {
        QuietSelection quietly(*this);
        ValidateItem(item, selection, true);
        if (selection && selection != currentItem())
            setCurrentItem(selection);
    }
    // Removing the selected item may already have moved the current item without a report:
    // compare where the selection ended up with where it was.
    if (currentItem() && SelectedPath() != before)
        folderSelected(currentItem());
}

void CAlbDirTree::folderSelected(QTreeWidgetItem *item)
{
    QTreeWidgetItem *named = item;
    {
        QuietSelection quietly(*this);
        QTreeWidgetItem *selection = item;
        while (item && ValidateItem(item, selection, false) == 0) { }
        if (item != named)
            setCurrentItem(item);
    }
    // Posted, so that the document's folder change never runs inside a tree notification.
    if (!buildingFlag)
        postCommand(DocCmd::ReloadFromTree);
}

void CAlbDirTree::postCommand(std::uint32_t id)
{
    if (!commandSink)
        return;
    QTimer::singleShot(0, this, [sink = commandSink, id] { sink(id); });
}

void CAlbDirTree::mousePressEvent(QMouseEvent *event)
{
    if (activateHandler)
        activateHandler();
    // A right click is the tap-and-hold gesture: it opens the menu for the selected folder and
    // must not select the folder under the pointer.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    FolderTreeWidget::mousePressEvent(event);
}

void CAlbDirTree::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    const std::uint32_t chosen =
            RunCommandPopup(this, QString(), QString(), { DocCmd::NewFolder, DocCmd::DeleteFolder },
                            stateSource, event->globalPos());
    if (chosen != 0)
        postCommand(chosen);
}

void CAlbDirTree::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && enterHandler) {
        enterHandler();
        event->accept();
        return;
    }
    FolderTreeWidget::keyPressEvent(event);
}
