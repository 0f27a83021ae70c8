#pragma once

#include "sheets/crop_geometry.h"
#include "sheets/save_routine.h"
#include "sheets/sheet_parts.h"

#include <QWidget>

class CropPreview;
class CSaveSheet;
class QSpinBox;
class QToolButton;
struct AppSettings;

// The Crop page: the preview with its mode and zoom buttons, and the rectangle's four edits.
// The edits and the preview show one rectangle: a change in either is limited to the picture and
// shown in the other.
class CCropPage : public QWidget
{
    Q_OBJECT

public:
    CCropPage(CSaveSheet &sheet, const AppSettings &settings, ItemPictureLoader loader,
              QImage noPicture, QWidget *parent = nullptr);

    const StepButtons &buttons() const { return steps; }

    CropPreview *preview() const { return view; }

    // The current picture changed: the preview starts again on it, and the rectangle kept in the
    // edits is limited to it.
    void setItem(ImageItem *item);
    // The page is shown.
    void activate();

    CropBox crop() const { return box; }

    // Sets the edits (as typed) and applies them.
    void setCrop(const CropBox &typed);
    // After a save: no rectangle.
    void resetCrop();
    // The picture's file was replaced: the preview decodes it again.
    void reloadPreview();
    // The enabling of the mode and zoom buttons.
    void updateModeButtons();

    bool panMode() const { return panning; }

private:
    QSpinBox *edit(int id, const QString &label);
    QToolButton *modeButton(int id, const QString &text, const char *iconName);
    void buildControls();
    void editsChanged();
    void showInEdits(const CropBox &shown);
    void previewDragged(const CropBox &dragged);
    void setPanMode(bool on);
    Size pictureSize() const;

    CSaveSheet &sheet;
    CropPreview *view = nullptr;
    QSpinBox *xEdit = nullptr;
    QSpinBox *yEdit = nullptr;
    QSpinBox *widthEdit = nullptr;
    QSpinBox *heightEdit = nullptr;
    QToolButton *cropButton = nullptr;
    QToolButton *panButton = nullptr;
    QToolButton *zoomInButton = nullptr;
    QToolButton *zoomOutButton = nullptr;
    QToolButton *actualButton = nullptr;
    StepButtons steps;
    CropBox box;
    bool panning = false;
    bool feeding = false;
};
