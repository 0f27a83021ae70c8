#include "capture/region_overlay.h"

#include "platform/screen_grab.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <array>
#include <cmath>

namespace {

// Another program may hold the keyboard for a moment (the capture key's own grab lasts until the
// key is released), and a busy X server may show the window late, which refuses a grab until then:
// asking again every 50 ms for ten seconds outlasts both.
constexpr int kGrabRetryMs = 50;
constexpr int kGrabTries = 200;
constexpr qreal kHandle = 6.0;
const QColor kDim(0, 0, 0, 128);
const QColor kFrame(255, 255, 255);
const QColor kLabelBack(0, 0, 0, 190);

Qt::CursorShape CursorFor(RegionGrip grip)
{
    switch (grip) {
    case RegionGrip::Move:
        return Qt::SizeAllCursor;
    case RegionGrip::Left:
    case RegionGrip::Right:
        return Qt::SizeHorCursor;
    case RegionGrip::Top:
    case RegionGrip::Bottom:
        return Qt::SizeVerCursor;
    case RegionGrip::TopLeft:
    case RegionGrip::BottomRight:
        return Qt::SizeFDiagCursor;
    case RegionGrip::TopRight:
    case RegionGrip::BottomLeft:
        return Qt::SizeBDiagCursor;
    case RegionGrip::None:
        break;
    }
    return Qt::CrossCursor;
}

} // namespace

RegionOverlay::RegionOverlay(const QImage &frozen, std::optional<Rect> start, QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                      | Qt::X11BypassWindowManagerHint),
      picture(frozen),
      selection(Size{ frozen.width(), frozen.height() }, start)
{
    setObjectName(QStringLiteral("RegionOverlay"));
    setWindowTitle(QStringLiteral("Choose a region"));
    setAccessibleName(QStringLiteral("Choose a region"));
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
}

std::optional<Rect> RegionOverlay::choose()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    setGeometry(screen ? screen->virtualGeometry() : QRect(QPoint(), picture.size()));
    show();
    raise();
    activateWindow();
    setFocus();
    holdInput();
    loop.exec();
    hide();
    return result;
}

// With the window manager bypassed nothing gives the window the focus: it takes the keyboard
// (and the pointer) itself, so Escape and Enter reach it whatever had the focus.
void RegionOverlay::holdInput()
{
    QWindow *window = windowHandle();
    if (!window || done)
        return;
    const bool held = window->setKeyboardGrabEnabled(true) && window->setMouseGrabEnabled(true);
    if (!held && ++grabTries < kGrabTries)
        QTimer::singleShot(kGrabRetryMs, this, [this] { holdInput(); });
}

void RegionOverlay::finish(std::optional<Rect> taken)
{
    result = taken;
    done = true;
    if (QWindow *window = windowHandle()) {
        window->setKeyboardGrabEnabled(false);
        window->setMouseGrabEnabled(false);
    }
    loop.quit();
}

QPoint RegionOverlay::toPixels(const QPointF &point) const
{
    const qreal sx = width() > 0 ? qreal(picture.width()) / width() : 1.0;
    const qreal sy = height() > 0 ? qreal(picture.height()) / height() : 1.0;
    return QPoint(qRound(point.x() * sx), qRound(point.y() * sy));
}

QRectF RegionOverlay::toWindow(const Rect &rect) const
{
    const qreal sx = picture.width() > 0 ? qreal(width()) / picture.width() : 1.0;
    const qreal sy = picture.height() > 0 ? qreal(height()) / picture.height() : 1.0;
    return QRectF(rect.left * sx, rect.top * sy, rect.width() * sx, rect.height() * sy);
}

void RegionOverlay::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.drawImage(QRectF(rect()), picture);
    const Rect &chosen = selection.rect();
    QPainterPath dimmed;
    dimmed.addRect(QRectF(rect()));
    if (chosen.isEmpty()) {
        painter.fillPath(dimmed, kDim);
        return;
    }
    const QRectF inside = toWindow(chosen);
    QPainterPath hole;
    hole.addRect(inside);
    painter.fillPath(dimmed.subtracted(hole), kDim);
    // The frame and the handles lie just outside the pixels taken.
    painter.setPen(QPen(kFrame, 1.0));
    painter.drawRect(inside.adjusted(-0.5, -0.5, 0.5, 0.5));
    const std::array<qreal, 3> xs = { inside.left(), inside.center().x(), inside.right() };
    const std::array<qreal, 3> ys = { inside.top(), inside.center().y(), inside.bottom() };
    for (qreal x : xs) {
        for (qreal y : ys) {
            if (x != xs[1] || y != ys[1])
                painter.fillRect(QRectF(x - kHandle / 2, y - kHandle / 2, kHandle, kHandle),
                                 kFrame);
        }
    }
    paintSizeLabel(painter, inside);
}

// "W x H" below the selection's left corner, or above it where the screen ends.
void RegionOverlay::paintSizeLabel(QPainter &painter, const QRectF &inside) const
{
    const Rect &chosen = selection.rect();
    const QString text = QStringLiteral("%1 \u00d7 %2").arg(chosen.width()).arg(chosen.height());
    const QFontMetrics metrics(font());
    QRectF box(0, 0, metrics.horizontalAdvance(text) + 10, metrics.height() + 6);
    box.moveTopLeft(QPointF(inside.left(), inside.bottom() + kHandle));
    if (box.bottom() > height())
        box.moveBottom(inside.top() - kHandle);
    if (box.top() < 0)
        box.moveTop(inside.top() + kHandle);
    box.moveLeft(std::clamp(box.left(), 0.0, std::max(0.0, width() - box.width())));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLabelBack);
    painter.drawRoundedRect(box, 3, 3);
    painter.setPen(kFrame);
    painter.drawText(box, Qt::AlignCenter, text);
}

void RegionOverlay::updateCursor(const QPoint &pixel)
{
    setCursor(CursorFor(selection.gripAt(pixel.x(), pixel.y())));
}

void RegionOverlay::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        finish(std::nullopt);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pixel = toPixels(event->position());
    selection.press(pixel.x(), pixel.y());
}

void RegionOverlay::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pixel = toPixels(event->position());
    if (event->buttons() & Qt::LeftButton) {
        selection.drag(pixel.x(), pixel.y());
        update();
        return;
    }
    updateCursor(pixel);
}

void RegionOverlay::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pixel = toPixels(event->position());
    selection.drag(pixel.x(), pixel.y());
    selection.release();
    updateCursor(pixel);
    update();
}

void RegionOverlay::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pixel = toPixels(event->position());
    if (event->button() == Qt::LeftButton
        && selection.gripAt(pixel.x(), pixel.y()) == RegionGrip::Move)
        finish(selection.rect());
}

void RegionOverlay::keyPressEvent(QKeyEvent *event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const auto step = [&](int dx, int dy) {
        if (shift)
            selection.resizeBy(dx, dy);
        else
            selection.moveBy(dx, dy);
        update();
    };
    switch (event->key()) {
    case Qt::Key_Escape:
        finish(std::nullopt);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!selection.rect().isEmpty())
            finish(selection.rect());
        return;
    case Qt::Key_Left:
        return step(-1, 0);
    case Qt::Key_Right:
        return step(1, 0);
    case Qt::Key_Up:
        return step(0, -1);
    case Qt::Key_Down:
        return step(0, 1);
    default:
        QWidget::keyPressEvent(event);
    }
}

std::optional<Rect> ChooseRegion(const CaptureGrab &grab, const Rect &start)
{
    const QImage frozen(grab.top, grab.w, grab.h, static_cast<qsizetype>(grab.stride()),
                        QImage::Format_BGR888);
    RegionOverlay overlay(frozen, start.isEmpty() ? std::nullopt : std::optional<Rect>(start));
    return overlay.choose();
}
