#pragma once

#include "image/image_buffer.h"
#include "image/palette.h"
#include "image/rect.h"
#include "image/render.h"
#include "views/image_zoom.h"
#include "views/view_picture.h"

#include <QWidget>

#include <cstddef>
#include <cstdint>

class ImageItem;
class QPainter;

// What one paint of a canvas draws: a decoded picture (a frame or an animation's canvas) shown
// zoomed and turned, and how it sits in the window.
struct BandedPicture
{
    const ImageBuffer *image = nullptr;
    // The image's place on its canvas and the canvas's size, at the scale it was decoded at
    // (frameX, frameY, canvasSize); the whole picture zoomed and turned (viewSize, orientation),
    // and the part of it the image covers (viewClip).
    RenderOptions render;
    // The window's top-left corner in the zoomed picture.
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    // Device pixels per window pixel: above 1, everything above is in device pixels and each
    // band is drawn at the window's device pixels.
    double pixelRatio = 1.0;
};

// How the bands reach the window.
struct BandStyle
{
    RgbValue background = 0;
    std::int32_t colourMode = 0;
    // Pixels of the background colour keep it exactly (pictures with transparent parts).
    bool keepBackground = false;
    // The largest band store attempted; a larger one is halved in height until it fits.
    std::size_t byteLimit = ImageBuffer::kMaxStoreBytes;
};

// Draws pictureRect of the window (the part the picture covers, in device pixels when the
// picture's pixelRatio is above 1) band after band through one
// store as wide as the rectangle and as tall as memory allows: each band is filled with the
// background, the picture rendered into it and the band shown. False when no store could be had
// or a band could not be shown.
bool PaintPictureInBands(QPainter &painter, const Rect &pictureRect, const BandedPicture &picture,
                         const BandStyle &style);

// One raster view of an album picture, the base of the image view and of the crop sheet's
// preview (which draws its rectangle over it): where the picture lies (a PictureZoom the owner
// moves by its own zoom rules), its decoding at the scale the zoom needs into the item's one
// shared picture, and its painting in bands. The turn of the picture, the decoding and the
// pixels the painting targets are decided here alone, so both views follow any change to them.
class PictureCanvas : public QWidget
{
public:
    // user is the PictureUser bit the canvas holds pictures under; loader decodes them.
    PictureCanvas(std::uint8_t user, ItemPictureLoader loader, QWidget *parent = nullptr);

    // Draws for a screen of this many device pixels per window pixel (0: the screen's own).
    void setPixelRatio(double ratio) { ratioOverride = ratio; }

    const ImageZoom::PictureZoom &zoomPan() const { return place; }

    // Quarter turns of the picture on show.
    std::int32_t rotation() const { return turn; }

    // The stylus moves the picture; it is drawn in the fastest colour mode meanwhile.
    bool panning() const { return isPanning; }

protected:
    // The item's picture at full size, as the canvas shows it before turning it.
    static Size fullSize(const ImageItem &item);

    Size clientSize() const { return { width(), height() }; }

    // The window rectangle the picture covers.
    Rect pictureRect() const { return place.inWindow(clientSize()); }

    // The screen colour mode to draw with: fullQuality, or the fastest one while panning.
    std::int32_t colourMode(std::int32_t fullQuality) const;

    // Device pixels per window pixel of the screen the canvas is on (tests may set one).
    double pixelRatio() const;

    // The scale the item's picture is decoded at for the zoom: enough for the zoomed picture in
    // device pixels, so that a high-density screen shows it sharp.
    std::int32_t decodePercent(const ImageItem &item) const;

    // The canvas shows the item: its picture stays until the canvas lets go.
    void hold(ImageItem &item) const;

    // Decodes the item's picture at the scale the zoom needs (nothing when it holds one at least
    // as fine) and holds it for this canvas. 0, or the loader's message.
    std::uint32_t loadPicture(ImageItem &item);
    // The canvas no longer shows the item: its picture goes unless another window shows it.
    void letGo(ImageItem &item) const;

    // Draws frame 0 of the item's decoded picture, or instead an animation's canvas standing for
    // the whole picture, where the picture meets update, and fills the rest of update with the
    // style's background. False (nothing filled) when no band could be drawn.
    bool drawPicture(QPainter &painter, const Rect &update, const ImageItem &item,
                     const BandStyle &style, const ImageBuffer *instead = nullptr) const;
    // The same for an item placed and turned otherwise (the picture shown before this one).
    bool drawPictureAt(QPainter &painter, const Rect &update, const ImageItem &item,
                       const BandStyle &style, const ImageZoom::PictureZoom &at,
                       std::int32_t atTurn, const ImageBuffer *instead = nullptr) const;
    // Fills the parts of update outside the picture with colour.
    void fillAround(QPainter &painter, const Rect &update, RgbValue colour) const;

    ImageZoom::PictureZoom place;
    std::int32_t turn = 0;
    bool isPanning = false;

private:
    BandedPicture banded(const ImageItem &item, const ImageBuffer *instead,
                         const ImageZoom::PictureZoom &where, std::int32_t atTurn) const;
    void fillAround(QPainter &painter, const Rect &update, RgbValue colour,
                    const Rect &picture) const;

    std::uint8_t user;
    ItemPictureLoader load;
    double ratioOverride = 0;
};
