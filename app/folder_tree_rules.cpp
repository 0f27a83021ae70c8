#include "app/folder_tree_rules.h"

#include "app/folder_expansion.h"
#include "app/image_lists.h"
#include "common/host_path.h"
#include "common/path_names.h"
#include "platform/directory_listing.h"

#include <QKeyEvent>
#include <QTimer>

#include <cstring>
#include <utility>
#include <vector>

namespace {

// Folders opened per turn of the event loop while expanding all.
constexpr int kFoldersPerTurn = 8;

} // namespace

bool GetToken(std::string_view text, int index, std::string &out, char separator)
{
    if (index < 0)
        return false;
    std::size_t start = 0;
    for (int part = 0; part < index; ++part) {
        const std::size_t next = text.find(separator, start);
        if (next == std::string_view::npos)
            return false;
        start = next + 1;
    }
    const std::size_t end = text.find(separator, start);
    out.assign(
            text.substr(start, end == std::string_view::npos ? text.size() - start : end - start));
    return true;
}

namespace {

bool hasSubfolder(const std::string &path)
{
    return ListSubfolders(path, nullptr, false) > 0;
}

} // namespace

FolderTreeWidget::FolderTreeWidget(QString rootDisplayName, QWidget *parent)
    : QTreeWidget(parent), rootDisplay(std::move(rootDisplayName))
{
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false); // insertFolder keeps listing order itself
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTreeWidget::onExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &FolderTreeWidget::onCollapsed);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { onCurrentChanged(current); });
}

FolderTreeWidget::~FolderTreeWidget()
{
    expansion.reset();
    // The item view may still report selection changes while it takes its items down, when the
    // derived tree that would handle them is already gone.
    disconnect(this, nullptr, this, nullptr);
}

void FolderTreeWidget::setFolderImages(const ImageList *list)
{
    folderIcon = QIcon();
    if (list && list->count() >= 2) {
        // The view draws a selected item's icon in the Selected mode: the open folder.
        folderIcon.addPixmap(list->pixmap(0), QIcon::Normal);
        folderIcon.addPixmap(list->pixmap(1), QIcon::Selected);
        setIconSize(list->imageSize());
    }
    QTreeWidgetItemIterator it(this);
    for (; *it; ++it)
        (*it)->setIcon(0, folderIcon);
}

std::string FolderTreeWidget::ItemPath(const QTreeWidgetItem *item) const
{
    // The root is the item without a parent, not the one whose text reads like the root's
    // display name: a folder may well be called that too.
    std::string path;
    for (; item && item->parent(); item = item->parent())
        path.insert(0, "\\" + FolderName(item));
    return path.empty() ? std::string("\\") : path;
}

QTreeWidgetItem *FolderTreeWidget::FindChild(QTreeWidgetItem *parent, std::string_view name) const
{
    if (!parent)
        return topLevelItem(0);
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem *child = parent->child(i);
        if (FolderName(child) == name)
            return child;
    }
    return nullptr;
}

std::string FolderTreeWidget::FolderName(const QTreeWidgetItem *item)
{
    return item->data(0, kNameRole).toString().toStdString();
}

QTreeWidgetItem *FolderTreeWidget::ItemAtPath(const std::string &path) const
{
    QTreeWidgetItem *item = topLevelItem(0);
    std::string part;
    for (int index = 1; item && GetToken(path, index, part, '\\') && !part.empty(); ++index)
        item = FindChild(item, part);
    return item;
}

bool FolderTreeWidget::InsertChildren(QTreeWidgetItem *item)
{
    if (!item) {
        addTopLevelItem(newItem(rootDisplay, hasSubfolder("\\")));
        return topLevelItemCount() > 0;
    }
    const std::string path = ItemPath(item);
    std::vector<std::string> names;
    if (ListSubfolders(path, &names, true) < 0)
        return true;
    for (const std::string &name : names)
        insertFolder(item, path, name);
    return true;
}

bool FolderTreeWidget::hasChildrenMark(const QTreeWidgetItem *item)
{
    return item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
}

void FolderTreeWidget::setChildrenMark(QTreeWidgetItem *item, bool mark)
{
    item->setChildIndicatorPolicy(mark ? QTreeWidgetItem::ShowIndicator
                                       : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool FolderTreeWidget::buildAlong(const std::string &path)
{
    QTreeWidgetItem *found = nullptr;
    expansion.reset();
    {
        QuietSelection quietly(*this);
        clear();
        if (!InsertChildren(nullptr))
            return false;
        // Part 0 is the empty text before the leading backslash; it finds the root.
        std::string part;
        for (int index = 0; GetToken(path, index, part, '\\'); ++index) {
            if (index > 0 && part.empty())
                break;
            QTreeWidgetItem *child = FindChild(found, part);
            if (!child)
                break;
            found = child;
            if (found->childCount() == 0)
                InsertChildren(found);
            found->setExpanded(true);
        }
    }
    // Outside the quiet scope: selecting the folder is an ordinary selection change.
    setCurrentItem(found);
    scrollToItem(found, QAbstractItemView::PositionAtTop);
    return true;
}

QTreeWidgetItem *FolderTreeWidget::insertFolder(QTreeWidgetItem *parent,
                                                const std::string &parentPath,
                                                const std::string &name)
{
    // Searched from the end: a listing hands the names over in order, so each one usually goes
    // last.
    int at = parent->childCount();
    while (at > 0 && ListingNameLess(name, FolderName(parent->child(at - 1))))
        --at;
    const std::string path = JoinPath(parentPath, name);
    const int subfolders = ListSubfolders(path, nullptr, false);
    QTreeWidgetItem *item = newItem(QString::fromStdString(ShownName(name)), subfolders > 0);
    item->setData(0, kNameRole, QString::fromStdString(name));
    if (subfolders < 0)
        setListingMark(item, ListingFailure(path));
    parent->insertChild(at, item);
    return item;
}

void FolderTreeWidget::setListingMark(QTreeWidgetItem *item, int error) const
{
    const QString reason = error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QString();
    if (item->toolTip(0) == reason)
        return;
    item->setToolTip(0, reason);
    item->setForeground(0,
                        error != 0 ? palette().brush(QPalette::Disabled, QPalette::Text)
                                   : palette().brush(QPalette::Active, QPalette::Text));
}

void FolderTreeWidget::discardChildren(QTreeWidgetItem *item)
{
    QuietSelection quietly(*this);
    const bool hadChildren = item->childCount() > 0;
    item->setExpanded(false);
    qDeleteAll(item->takeChildren());
    if (hadChildren)
        setChildrenMark(item, true);
}

bool FolderTreeWidget::isBelow(const QTreeWidgetItem *item, const QTreeWidgetItem *ancestor)
{
    if (!item || !ancestor)
        return false;
    for (const QTreeWidgetItem *up = item->parent(); up; up = up->parent())
        if (up == ancestor)
            return true;
    return false;
}

void FolderTreeWidget::keyPressEvent(QKeyEvent *event)
{
    // The view's own "expand all" would follow every link for ever.
    if (event->key() == Qt::Key_Asterisk) {
        expandAllBelow(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void FolderTreeWidget::expandAllBelow(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const bool running = expansion != nullptr;
    expansion = std::make_unique<FolderExpansion>(ItemPath(item));
    if (!running)
        expandSome();
}

void FolderTreeWidget::expandSome()
{
    for (int n = 0; n < kFoldersPerTurn && expansion; ++n) {
        const auto step = expansion->next();
        if (!step) {
            expansion.reset();
            return;
        }
        // Items are found again by path: the tree may have changed since the folder was queued.
        QTreeWidgetItem *item = ItemAtPath(step->path);
        if (!item || ItemPath(item) != step->path)
            continue;
        item->setExpanded(true);
        if (!expansion)
            return;
        for (int i = 0; i < item->childCount(); ++i)
            expansion->offer(ItemPath(item->child(i)), step->depth + 1);
    }
    QTimer::singleShot(0, this, [this] {
        if (expansion)
            expandSome();
    });
}

void FolderTreeWidget::onExpanded(QTreeWidgetItem *item)
{
    if (item->childCount() > 0)
        return;
    InsertChildren(item);
    // A folder whose sub-folders went away since it was marked shows no button any more.
    if (item->childCount() == 0)
        setChildrenMark(item, false);
}

void FolderTreeWidget::onCollapsed(QTreeWidgetItem *item)
{
    if (quiet > 0)
        return;
    // Folding a folder by hand ends an "expand all" that would open it again.
    expansion.reset();
    const bool selectionBelow = isBelow(currentItem(), item);
    {
        QuietSelection quietly(*this);
        if (selectionBelow)
            setCurrentItem(item);
        discardChildren(item);
    }
    if (selectionBelow)
        folderSelected(item);
}

void FolderTreeWidget::onCurrentChanged(QTreeWidgetItem *current)
{
    if (quiet == 0)
        folderSelected(current);
}

QTreeWidgetItem *FolderTreeWidget::newItem(const QString &text, bool mark) const
{
    auto *item = new QTreeWidgetItem(QStringList(text));
    item->setIcon(0, folderIcon);
    setChildrenMark(item, mark);
    return item;
}
