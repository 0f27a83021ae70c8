#include "app/command_icons.h"

#include "app/doc_commands.h"
#include "app/frame_commands.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace {

using namespace DocCmd;
using namespace FrameCmd;

// What the drawn icon shows.
enum class Glyph {
    FolderPlus,
    FolderCross,
    Cross,
    SelectAll,
    Grid,
    Strip,
    Corners,
    FolderArrow,
    LensPlus,
    LensMinus,
    OneToOne,
    Bars,
    Rotate,
    Info,
    Left,
    Right,
    Camera,
    Send,
    Gear,
    Question,
    Scissors,
    Door,
};

struct CommandLook
{
    std::uint32_t id;
    const char *themeName;
    Glyph glyph;
};

constexpr std::array<CommandLook, 24> kLooks{ {
        { NewFolder, "folder-new", Glyph::FolderPlus },
        { DeleteFolder, "edit-delete", Glyph::FolderCross },
        { DeletePictures, "edit-delete", Glyph::Cross },
        { SelectAll, "edit-select-all", Glyph::SelectAll },
        { ThumbnailView, "view-list-icons", Glyph::Grid },
        { SelectView, "view-preview", Glyph::Strip },
        { FullScreenView, "view-fullscreen", Glyph::Corners },
        { GoToButton, "go-jump", Glyph::FolderArrow },
        { ZoomIn, "zoom-in", Glyph::LensPlus },
        { ZoomOut, "zoom-out", Glyph::LensMinus },
        { ActualSize, "zoom-original", Glyph::OneToOne },
        { ToggleToolbar, "configure-toolbars", Glyph::Bars },
        { AutoRotate, "object-rotate-right", Glyph::Rotate },
        { ImageInfo, "document-properties", Glyph::Info },
        { ImageInfoButton, "document-properties", Glyph::Info },
        { PreviousImage, "go-previous", Glyph::Left },
        { NextImage, "go-next", Glyph::Right },
        { CaptureSettings, "camera-photo", Glyph::Camera },
        { SendInfrared, "document-send", Glyph::Send },
        { Options, "preferences-system", Glyph::Gear },
        { About, "help-about", Glyph::Info },
        { Help, "help-contents", Glyph::Question },
        { Crop, "edit-cut", Glyph::Scissors },
        { Exit, "application-exit", Glyph::Door },
} };

constexpr int kSize = 22;
const QColor kInk(0x30, 0x30, 0x30);
const QColor kFolder(0xe0, 0xb0, 0x40);
const QColor kAccent(0xc8, 0x3a, 0x32);
const QColor kBlue(0x3a, 0x78, 0xc8);

void drawFolder(QPainter &p)
{
    p.setBrush(kFolder);
    p.drawRect(QRectF(2.5, 6.5, 15, 11));
    p.drawRect(QRectF(2.5, 4.5, 6, 2));
}

void drawLens(QPainter &p)
{
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(2.5, 2.5, 12, 12));
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(13, 13), QPointF(19, 19));
    p.setPen(QPen(kInk, 1.5));
}

void drawArrow(QPainter &p, bool right)
{
    QPainterPath path;
    const qreal tip = right ? 18 : 4;
    const qreal back = right ? 8 : 14;
    path.moveTo(tip, 11);
    path.lineTo(back, 4);
    path.lineTo(back, 18);
    path.closeSubpath();
    p.setBrush(kBlue);
    p.drawPath(path);
}

void drawGlyph(QPainter &p, Glyph glyph)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::FolderPlus:
        drawFolder(p);
        p.setPen(QPen(kBlue, 2.5));
        p.drawLine(QPointF(16, 10), QPointF(16, 20));
        p.drawLine(QPointF(11, 15), QPointF(21, 15));
        break;
    case Glyph::FolderCross:
        drawFolder(p);
        [[fallthrough]];
    case Glyph::Cross:
        p.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 7), QPointF(17, 17));
        p.drawLine(QPointF(17, 7), QPointF(7, 17));
        break;
    case Glyph::SelectAll:
        p.setPen(QPen(kInk, 1.5, Qt::DashLine));
        p.drawRect(QRectF(2.5, 2.5, 17, 17));
        p.setPen(QPen(kInk, 1));
        p.setBrush(kBlue);
        p.drawRect(QRectF(6.5, 6.5, 9, 9));
        break;
    case Glyph::Grid:
        p.setBrush(kBlue);
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 2; ++column)
                p.drawRect(QRectF(3.5 + 9 * column, 3.5 + 9 * row, 6, 6));
        break;
    case Glyph::Strip:
        p.setBrush(kBlue);
        for (int row = 0; row < 3; ++row)
            p.drawRect(QRectF(2.5, 3.5 + 6 * row, 4, 4));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8.5, 3.5, 11, 15));
        break;
    case Glyph::Corners:
        p.setPen(QPen(kInk, 2));
        for (const QPointF &c : { QPointF(3, 3), QPointF(19, 3), QPointF(3, 19), QPointF(19, 19) }) {
            const qreal dx = c.x() < 11 ? 5 : -5;
            const qreal dy = c.y() < 11 ? 5 : -5;
            p.drawLine(c, c + QPointF(dx, 0));
            p.drawLine(c, c + QPointF(0, dy));
        }
        break;
    case Glyph::FolderArrow:
        drawFolder(p);
        drawArrow(p, true);
        break;
    case Glyph::LensPlus:
        drawLens(p);
        p.drawLine(QPointF(5.5, 8.5), QPointF(11.5, 8.5));
        p.drawLine(QPointF(8.5, 5.5), QPointF(8.5, 11.5));
        break;
    case Glyph::LensMinus:
        drawLens(p);
        p.drawLine(QPointF(5.5, 8.5), QPointF(11.5, 8.5));
        break;
    case Glyph::OneToOne:
        p.drawRect(QRectF(2.5, 4.5, 17, 13));
        p.setFont(QFont(QStringLiteral("Sans"), 6, QFont::Bold));
        p.drawText(QRectF(2, 4, 18, 14), Qt::AlignCenter, QStringLiteral("1:1"));
        break;
    case Glyph::Bars:
        p.setBrush(kBlue);
        p.drawRect(QRectF(2.5, 4.5, 17, 4));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 11.5, 17, 7));
        break;
    case Glyph::Rotate:
        p.setPen(QPen(kBlue, 2.5));
        p.drawArc(QRectF(4, 4, 14, 14), 90 * 16, -270 * 16);
        drawArrow(p, true);
        break;
    case Glyph::Info:
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(2.5, 2.5, 17, 17));
        p.setPen(QPen(Qt::white, 2.5));
        p.drawLine(QPointF(11, 10), QPointF(11, 16));
        p.drawPoint(QPointF(11, 6.5));
        break;
    case Glyph::Left:
    case Glyph::Right:
        drawArrow(p, glyph == Glyph::Right);
        break;
    case Glyph::Camera:
        p.setBrush(kAccent);
        p.drawRect(QRectF(2.5, 6.5, 17, 12));
        p.drawRect(QRectF(7.5, 3.5, 7, 3));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(7, 8.5, 8, 8));
        break;
    case Glyph::Send:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 2.5, 11, 15));
        drawArrow(p, true);
        break;
    case Glyph::Gear:
        p.setPen(QPen(kInk, 3));
        for (int i = 0; i < 4; ++i) {
            p.save();
            p.translate(11, 11);
            p.rotate(45 * i);
            p.drawLine(QPointF(-9, 0), QPointF(9, 0));
            p.restore();
        }
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::lightGray);
        p.drawEllipse(QRectF(5, 5, 12, 12));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(8.5, 8.5, 5, 5));
        break;
    case Glyph::Question:
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(2.5, 2.5, 17, 17));
        p.setPen(Qt::white);
        p.setFont(QFont(QStringLiteral("Sans"), 10, QFont::Bold));
        p.drawText(QRectF(2, 2, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
        break;
    case Glyph::Scissors:
        p.drawLine(QPointF(6, 3), QPointF(15, 15));
        p.drawLine(QPointF(16, 3), QPointF(7, 15));
        p.setBrush(kAccent);
        p.drawEllipse(QRectF(3, 14, 6, 6));
        p.drawEllipse(QRectF(13, 14, 6, 6));
        break;
    case Glyph::Door:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 2.5, 10, 17));
        drawArrow(p, true);
        break;
    }
}

QIcon drawnIcon(Glyph glyph)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawGlyph(painter, glyph);
    painter.end();
    return QIcon(pixmap);
}

} // namespace

QIcon CommandIcon(std::uint32_t id)
{
    for (const CommandLook &look : kLooks) {
        if (look.id == id)
            return QIcon::fromTheme(QString::fromLatin1(look.themeName), drawnIcon(look.glyph));
    }
    return {};
}
