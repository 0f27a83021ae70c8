#pragma once

#include "image/palette.h"

#include <QImage>
#include <QWidget>

class CAlbDoc;
class ImageItem;
class QBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// Pieces the crop-and-save pages share.

// The buttons at the foot of every page: previous and next selected picture, and Crop.
struct StepButtons
{
    QPushButton *previous = nullptr;
    QPushButton *next = nullptr;
    QPushButton *crop = nullptr;
};

// Adds the row of step buttons to a page's layout.
StepButtons AddStepButtons(QWidget *page, QBoxLayout *layout);

// A control named by its id, with an accessible name.
void NameControl(QWidget *control, int id, const QString &accessibleName);

// The thumbnail of the current picture, drawn as the thumbnail view draws it into previews: fitted,
// enlarged when small, on the frame colour; the no-picture icon when it cannot be decoded.
class ItemPreview : public QWidget
{
public:
    ItemPreview(const CAlbDoc &doc, QImage noPicture, QWidget *parent = nullptr);

    void setItem(ImageItem *item);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const CAlbDoc &doc;
    QImage noPictureIcon;
    ImageItem *shown = nullptr;
};

// The name and size labels of the Format and Location pages: the resulting file name (1115) and
// the picture's width (1116) and height (1117) in pixels.
struct PictureFactLabels
{
    QLineEdit *name = nullptr;
    QLabel *width = nullptr;
    QLabel *height = nullptr;

    void show(const ImageItem *item, const std::string &destinationName) const;
};

// Adds the preview and the facts beside it to a page's layout.
PictureFactLabels AddPictureFacts(QWidget *page, QBoxLayout *layout, ItemPreview *preview);
