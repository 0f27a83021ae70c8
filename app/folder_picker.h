#pragma once

#include "app/folder_tree_rules.h"

#include <QDialog>

#include <optional>
#include <string>

class QLabel;

// The folder tree of the folder picker: the same items as the album's tree, without checks
// against the file store or messages to the document. The selected folder is the chosen path.
class FolderPickerTree : public FolderTreeWidget
{
    Q_OBJECT

public:
    explicit FolderPickerTree(QWidget *parent = nullptr);

    const std::string &chosenPath() const { return chosen; }

    void setChosenPath(std::string path) { chosen = std::move(path); }

    // Rebuilds the tree along the chosen path ("\" when it is empty) and selects the deepest
    // existing folder on it, which becomes the chosen path.
    bool BuildTree();

protected:
    void folderSelected(QTreeWidgetItem *item) override;

private:
    std::string chosen;
};

// Dialog 31000, "Open Folder": a prompt over the folder picker tree, OK and Cancel. OK makes the
// tree's chosen folder the dialog's path; Cancel leaves the path as it was given.
class FolderPickerDialog : public QDialog
{
    Q_OBJECT

public:
    // An empty prompt keeps the dialog's own "Select new folder:".
    FolderPickerDialog(std::string path, const std::string &prompt, QWidget *parent = nullptr);

    const std::string &path() const { return chosenPath; }

    FolderPickerTree *tree() const { return folderTree; }

    void accept() override;

private:
    std::string chosenPath;
    FolderPickerTree *folderTree = nullptr;
};

// Runs the picker modally from path; on OK path becomes the chosen folder and the answer is true.
bool ChooseFolder(QWidget *parent, std::string &path, const std::string &prompt);

// The same as an answer: the chosen folder, or nothing when the user cancelled.
std::optional<std::string> PickFolder(QWidget *parent, const std::string &start,
                                      const std::string &prompt);
