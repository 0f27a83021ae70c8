#pragma once

#include "sheets/sheet_parts.h"

#include <QWidget>

#include <string>

class CSaveSheet;
class FolderPickerTree;
class QLineEdit;

// The Location page: the appendage added to the file's title and the destination folder.
class CLocationPage : public QWidget
{
    Q_OBJECT

public:
    CLocationPage(CSaveSheet &sheet, QImage noPicture, const std::string &folder,
                  QWidget *parent = nullptr);

    const StepButtons &buttons() const { return steps; }

    const std::string &appendage() const { return appendageText; }

    const std::string &folder() const { return destination; }

    FolderPickerTree *tree() const { return folderTree; }

    QLineEdit *appendageEdit() const { return edit; }

    void setItem(ImageItem *item);
    // The tree's folder becomes the destination (on leaving the page and before a save).
    void commitFolder();
    void showFacts();

private:
    void appendageChanged(const QString &text);

    CSaveSheet &sheet;
    ItemPreview *thumb = nullptr;
    PictureFactLabels facts;
    QLineEdit *edit = nullptr;
    FolderPickerTree *folderTree = nullptr;
    std::string appendageText = "_c";
    std::string destination;
    StepButtons steps;
};
