#pragma once

#include "common/error_report.h"
#include "image/rect.h"
#include "platform/command_route.h"
#include "platform/message_window.h"
#include "views/frame_animation.h"
#include "views/picture_canvas.h"
#include "views/picture_loader.h"
#include "views/view_picture.h"

#include <QPoint>

#include <cstdint>
#include <functional>
#include <memory>

class CAlbDoc;
class ImageItem;
class QPainter;
class ViewHost;
struct AppSettings;
struct ImageLists;

// The image view: the current picture of the document, alone in Full Screen View and beside the
// thumbnail strip in Select View. A picture is fitted to the window when it is first shown,
// zoomed in fixed steps between 5 and 1200 percent, turned a quarter turn in Full Screen View when
// its shape does not match the screen's (Auto Rotate), panned with the stylus, the wheel or
// WM_SCROLL_PICTURE, and stepped through with Previous and Next. It is decoded at the smallest of
// 100, 50, 25 and 13 percent that the zoom needs (in device pixels) on a worker thread, and drawn
// band by band through one store (its canvas); until it is decoded the picture shown before stays
// drawn. Animated pictures play in both views; frame 0 is the still picture.
//
// The item shown is kept as its serial number: every use looks it up in the document's list
// first, since the list may have been reloaded or emptied since.
class CAlbImgView : public PictureCanvas, public CommandTarget, public MessageWindow
{
public:
    // Timers killed when they fire (left over from earlier drawings), and the animation's.
    static constexpr std::uint32_t kStaleTimerA = 24;
    static constexpr std::uint32_t kStaleTimerB = 25;
    static constexpr std::uint32_t kAnimationTimer = 26;

    // lists may be null: the placeholder then shows no icon.
    CAlbImgView(CAlbDoc &doc, AppSettings &settings, ViewHost &host, const ImageLists *lists,
                QWidget *parent = nullptr);
    ~CAlbImgView() override;

    // Shows item (none: nothing). With keep and the same item, zoom and position stay.
    void ShowItem(ImageItem *item, bool keep);
    // Sizes the picture for the current zoom and turn; keepCentre keeps the picture point in the
    // middle of the window where it is.
    void Relayout(bool keepCentre);

    // Replaces the reader (tests stage failures and count decodings); it runs on a worker thread.
    void setDecoder(FramesDecoder decoder);

    // CommandTarget: zoom, Actual Size, Auto Rotate, Previous and Next.
    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

    // MessageWindow: WM_LIST_CHANGED, WM_CURRENT_CHANGED, WM_SCROLL_PICTURE and the timers.
    std::intptr_t onMessage(std::uint32_t message, std::uintptr_t first,
                            std::intptr_t second) override;
    void onTimer(std::uint32_t timerId) override;

    // State, for the frame and for checks. shown() is null when the item is no longer listed.
    ImageItem *shown() const;

    std::int32_t zoom() const { return place.zoom; }

    Size zoomedSize() const { return place.zoomed; }

    QPoint offset() const { return { place.offsetX, place.offsetY }; }

    bool animating() const { return animation.playing(); }

    std::int32_t frameIndex() const;

    // The message of the last paint's placeholder (0: the picture was drawn).
    std::uint32_t placeholderMessage() const { return lastPlaceholder; }

    // A picture is being decoded for the view.
    bool decoding() const { return loader.busy(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // alb_img_view.cpp: showing and laying out.
    bool inPictureMode() const;
    bool hasPicture() const;
    void resetViewState();
    void fitToWindow();
    void setZoom(std::int32_t newZoom, bool keep, double anchorX, double anchorY);
    void zoomIndicator();
    void listChanged(std::intptr_t keep);
    void currentChanged(std::uintptr_t serial, std::intptr_t keep);

    // alb_img_view_commands.cpp.
    void zoomIn(double anchorX, double anchorY);
    void zoomOut(double anchorX, double anchorY);
    void stepZoom(bool atLimit, std::int32_t next, double anchorX, double anchorY);
    void actualSize();
    void toggleAutoRotate();
    std::int32_t shownIndex() const;
    void stepTo(std::int32_t index);
    void previous();
    void next();

    // alb_img_view_input.cpp: keys, stylus and wheel.
    void stylusDown(QPoint point);
    void panBy(std::int32_t dx, std::int32_t dy, bool always);

    // alb_img_view_paint.cpp.
    void paintPicture(QPainter &painter, const Rect &update);
    void drawShown(QPainter &painter, const Rect &update, ImageItem &item, bool final);
    // How the item's picture is drawn.
    BandStyle styleFor(const ImageItem &item) const;
    void drawPlaceholder(QPainter &painter, std::uint32_t message);
    void traceDrawn(const Rect &picture) const;

    // alb_img_view_loading.cpp: decoding on the worker, and the picture shown meanwhile.
    enum class Readiness : std::uint8_t {
        Ready,
        Coarser, // a coarser picture of the item stands in while the one needed is decoded
        Waiting,
        Failed
    };
    Readiness preparePicture(ImageItem &item);
    void requestPicture(const ImageItem &item, std::int32_t percent);
    void pictureArrived(const PictureRequest &request, DecodedFrames &result);
    void shortOfMemory(ImageItem &item, const PictureRequest &request);
    void keepShownBefore(ImageItem &old);
    bool dropShownBefore();
    bool drawShownBefore(QPainter &painter, const Rect &update);
    void showWaiting(bool on);

    // alb_img_view_animation.cpp.
    void startAnimation(ImageItem &item);
    void stopAnimation();
    void nextFrame();

    CAlbDoc &doc;
    AppSettings &settings;
    ViewHost &host;
    const ImageLists *imageLists;
    std::unique_ptr<WindowTimers> timers;

    std::uint64_t shownSerial = 0;
    std::int32_t frameCount = 0;
    // The zoom is the one fitting gave, not yet changed by the user.
    bool fittedZoom = false;
    QPoint lastPoint;
    std::uint32_t lastPlaceholder = 0;
    FrameAnimation animation;

    // The scale the paint last asked for the shown item's picture, the scale being tried for it
    // (smaller after a shortage of memory) and how the asking ended.
    struct Asked
    {
        std::uint64_t serial = 0;
        std::int32_t percent = 0;
        std::int32_t trying = 0;
        bool answered = false;
        std::uint32_t message = 0;
    } asked;

    // The picture shown before the current one, drawn where it was until the current one is
    // decoded (serial 0: none).
    struct ShownBefore
    {
        std::uint64_t serial = 0;
        ImageZoom::PictureZoom place;
        std::int32_t turn = 0;
    } before;

    bool waitCursor = false;
    PictureLoader loader; // last: its worker stops before the rest goes
};
