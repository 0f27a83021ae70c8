#pragma once

#include <QDialog>

#include <string>

class CAlbDoc;
class QLineEdit;

// Dialog 102, "New Folder": the folder on show (2001, read-only) and the new folder's name (2002,
// the proposal selected). OK checks the name and makes the folder; a bad name or a folder that
// cannot be made is reported and the dialog stays open with the name selected.
class NewFolderDialog : public QDialog
{
public:
    // folder is a device path; proposal the name offered.
    NewFolderDialog(const std::string &folder, const std::string &proposal,
                    QWidget *parent = nullptr);

    QLineEdit *nameField() const { return name; }

    void accept() override;

private:
    void selectName();

    const std::string folder;
    QLineEdit *name = nullptr;
};

// "New Folder", else "New Folder1", "New Folder2" ... : the first name not yet taken in folder.
std::string ProposeFolderName(const std::string &folder);

// New Folder (30001): the dialog over the folder on show, then the tree catches up with the file
// store whatever the dialog ended with.
void NewFolder(CAlbDoc &doc);
