#pragma once

#include "sheets/save_routine.h"

#include <QDialog>

#include <string>

class CAlbDoc;
class CCropPage;
class CFormatPage;
class CLocationPage;
class ImageItem;
class QTabWidget;
struct ImageLists;

// The crop-and-save sheet: the Crop, Format and Location pages over the selected pictures, one
// current picture at a time. Every page steps through the selection with "<" and ">" and saves
// with "Crop"; the sheet holds what the pages share (the current picture) and decides when it
// closes: after a save with one picture selected, on Cancel, and on OK, which asks once whether
// to quit when nothing was saved yet.
class CSaveSheet : public QDialog
{
    Q_OBJECT

public:
    // loader decodes the pictures of the preview and the save; lists gives the no-picture icon
    // (may be null).
    CSaveSheet(CAlbDoc &doc, const ImageLists *lists, ItemPictureLoader loader,
               QWidget *parent = nullptr);
    ~CSaveSheet() override;

    CAlbDoc &document() const { return doc; }

    ImageItem *currentItem() const { return current; }

    bool keepRunning() const { return running; }

    bool nothingSaved() const { return nothingSavedYet; }

    CCropPage *cropPage() const { return crop; }

    CFormatPage *formatPage() const { return format; }

    CLocationPage *locationPage() const { return location; }

    QTabWidget *tabs() const { return pages; }

    // Replaces the save itself (tests stage failures); the default saves through the loader.
    void setSaver(PictureSaver saver) { save = std::move(saver); }

    // The file name the current picture would be saved under.
    std::string destinationName() const;

    // "<" and ">": the selected picture before or after the current one in album order.
    void stepPicture(bool forward);
    // "Crop" on any page.
    void cropAndSaveCurrent();
    // The enabling of "<", ">" and "Crop" on every page.
    void updateButtons();
    // The Format or Location page changed the resulting name: both pages show it again.
    void refreshNames();

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setCurrentItem(ImageItem *item);
    void stop(int result);
    void pageChanged(int index);

    CAlbDoc &doc;
    ItemPictureLoader load;
    PictureSaver save;
    ImageItem *current = nullptr;
    bool running = true;
    bool nothingSavedYet = true;
    QTabWidget *pages = nullptr;
    CCropPage *crop = nullptr;
    CFormatPage *format = nullptr;
    CLocationPage *location = nullptr;
    int shownPage = 0;
};

// The selected picture after (forward) or before item in album order; none at the end.
ImageItem *NextSelected(const CAlbDoc &doc, const ImageItem *item, bool forward);

// Opens the sheet modally on the document's selection (the first picture is selected when none
// is) and brings the views up to date after it closes.
void RunSaveSheet(CAlbDoc &doc, const ImageLists *lists, QWidget *parent);
