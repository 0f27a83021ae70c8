#pragma once

#include "sheets/crop_geometry.h"
#include "views/picture_canvas.h"

#include <QImage>
#include <QPoint>

struct AppSettings;
class ImageItem;

// The Crop page's preview: a picture canvas with the crop rectangle drawn over it. The picture is
// fitted into the control and zoomable by the preview's own steps. In crop mode the stylus draws
// a new rectangle or moves the one there; in pan mode it moves a picture larger than the control.
class CropPreview : public PictureCanvas
{
    Q_OBJECT

public:
    CropPreview(const AppSettings &settings, ItemPictureLoader loader, QImage noPicture,
                QWidget *parent = nullptr);

    // Shows an item; a different item resets the preview (refitted, no rectangle). The pictures
    // of the items shown stay held until the sheet lets go of them all as it closes, so stepping
    // back and forth decodes each once.
    void setItem(ImageItem *item);

    ImageItem *item() const { return shown; }

    void setPanMode(bool on) { panMode = on; }

    // Zoom in, out and to actual size; a request beyond the limits beeps and changes nothing.
    void zoomIn();
    void zoomOut();
    void actualSize();

    // The rectangle from the edits (picture pixels); redrawn at once.
    void setCropBox(const CropBox &box);

    // The state the page's buttons follow (the picture is decoded first when it is not yet).
    ImageZoom::PictureZoom placement();
    bool canPan();

    bool failed() const { return decodeFailed; }

    // The rectangle in window coordinates, normalised.
    QRect screenCrop() const;

signals:
    // The rectangle changed under the stylus: the page shows it in its edits.
    void cropDragged(const CropBox &box);
    // The stylus was released: the page re-evaluates its buttons.
    void stylusReleased();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum DragMode {
        NoDrag = 0,
        Drawing = 1,
        Moving = 2
    };

    Size pictureSize() const;
    void fit();
    void applyZoom(std::int32_t z);
    void requestPicture();
    QRect pictureArea() const;
    QPoint limitedToPicture(QPoint point) const;
    QPoint toPicture(QPoint window) const;
    QPoint toWindow(QPoint picture) const;
    void dragTo(QPoint point);
    void moveBy(QPoint delta);
    void limitCorners();
    CropBox cropBox() const;
    void drawCropBox(QPainter &painter) const;
    void drawNoPicture(QPainter &painter);

    const AppSettings &settings;
    QImage noPictureIcon;
    ImageItem *shown = nullptr;
    QPoint anchor;
    QPoint corner;
    DragMode drag = NoDrag;
    bool panMode = false;
    QPoint lastPoint;
    bool ready = false;
    bool decodeFailed = false;
};
