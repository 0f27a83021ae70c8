#pragma once

#include <QIcon>
#include <QString>
#include <QTreeWidget>

#include <memory>
#include <string>
#include <string_view>

class FolderExpansion;
class ImageList;

// The index-th part of text between separators, counting from 0, into out; false (out untouched)
// when text has fewer parts. "a|b|" has the parts "a", "b" and "".
bool GetToken(std::string_view text, int index, std::string &out, char separator);

// The item rules both folder trees share: items carry a folder name (the one top-level item, the
// root, carries a display name) and a has-children mark, which is the item's child indicator
// policy. Children are read from the file store when an item is expanded and discarded when it is
// collapsed, so they exist only below expanded items. Sibling folders are kept in listing order.
class FolderTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit FolderTreeWidget(QString rootDisplayName, QWidget *parent = nullptr);
    ~FolderTreeWidget() override;

    const QString &rootName() const { return rootDisplay; }

    // Images 0 (an item) and 1 (the selected item) of list are given to every item; without a
    // list the items have none.
    void setFolderImages(const ImageList *list);

    // "\" for no item and for the root, else "\" + the names from below the root down to item
    // joined with "\"; never a trailing backslash.
    std::string ItemPath(const QTreeWidgetItem *item) const;

    std::string SelectedPath() const { return ItemPath(currentItem()); }

    // The child of parent named exactly name (the host's folders may differ in case alone);
    // parent none gives the root.
    QTreeWidgetItem *FindChild(QTreeWidgetItem *parent, std::string_view name) const;

    // The item of a device path among the items there are, or none.
    QTreeWidgetItem *ItemAtPath(const std::string &path) const;

    // The device name of a folder item ("" for the root). The item shows it as ShownName does.
    static std::string FolderName(const QTreeWidgetItem *item);

    // Inserts the root (item none) or item's sub-folders, each with its has-children mark. A
    // folder that cannot be listed gets no children; that is not a failure.
    bool InsertChildren(QTreeWidgetItem *item);

    // Opens item and the folders below it as FolderExpansion admits them, a few at a time from
    // the event loop so that the window answers meanwhile ("*" on the keypad starts it).
    void expandAllBelow(QTreeWidgetItem *item);

    bool expandingAll() const { return expansion != nullptr; }

    static bool hasChildrenMark(const QTreeWidgetItem *item);
    static void setChildrenMark(QTreeWidgetItem *item, bool mark);
    // Shows item dimmed with the reason as its tip when its folder cannot be listed (error not 0),
    // as any other item otherwise.
    void setListingMark(QTreeWidgetItem *item, int error) const;

protected:
    // Rebuilds the tree along path and selects the deepest folder of it that exists, scrolled to
    // the top. False when the root cannot be inserted.
    bool buildAlong(const std::string &path);

    // The user or the tree moved the selection to item (possibly none).
    virtual void folderSelected(QTreeWidgetItem *item) = 0;

    void keyPressEvent(QKeyEvent *event) override;

    // Inserts the folder name below parent at its place in listing order, marked when the folder
    // has a sub-folder of its own.
    QTreeWidgetItem *insertFolder(QTreeWidgetItem *parent, const std::string &parentPath,
                                  const std::string &name);
    // Collapses item and deletes its children; the mark stays, so the item can open again.
    void discardChildren(QTreeWidgetItem *item);
    static bool isBelow(const QTreeWidgetItem *item, const QTreeWidgetItem *ancestor);

    // While alive, selection notifications are not passed to folderSelected: the tree is being
    // changed and will report the outcome itself.
    class QuietSelection
    {
    public:
        explicit QuietSelection(FolderTreeWidget &tree) : owner(tree) { ++owner.quiet; }

        ~QuietSelection() { --owner.quiet; }

        QuietSelection(const QuietSelection &) = delete;
        QuietSelection &operator=(const QuietSelection &) = delete;

    private:
        FolderTreeWidget &owner;
    };

private:
    // Where an item keeps its folder's device name; its text is the name as shown.
    static constexpr int kNameRole = Qt::UserRole;

    void onExpanded(QTreeWidgetItem *item);
    void onCollapsed(QTreeWidgetItem *item);
    void onCurrentChanged(QTreeWidgetItem *current);
    QTreeWidgetItem *newItem(const QString &text, bool mark) const;
    void expandSome();

    QString rootDisplay;
    std::unique_ptr<FolderExpansion> expansion;
    QIcon folderIcon;
    int quiet = 0;
};
