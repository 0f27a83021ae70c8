#include "app/command_icons.h"

#include "app/doc_commands.h"
#include "app/frame_commands.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>

namespace {

using namespace DocCmd;
using namespace FrameCmd;

struct CommandLook
{
    std::uint32_t id;
    const char *themeName;
    // The picture of our own (res/icons) for a desktop whose theme has none.
    const char *ownName;
};

constexpr std::array<CommandLook, 24> kLooks{ {
        { NewFolder, "folder-new", "folder-plus" },
        { DeleteFolder, "edit-delete", "folder-cross" },
        { DeletePictures, "edit-delete", "cross" },
        { SelectAll, "edit-select-all", "select-all" },
        { ThumbnailView, "view-list-icons", "grid" },
        { SelectView, "view-preview", "strip" },
        { FullScreenView, "view-fullscreen", "corners" },
        { GoToButton, "go-jump", "folder-arrow" },
        { ZoomIn, "zoom-in", "lens-plus" },
        { ZoomOut, "zoom-out", "lens-minus" },
        { ActualSize, "zoom-original", "one-to-one" },
        { ToggleToolbar, "configure-toolbars", "bars" },
        { AutoRotate, "object-rotate-right", "rotate" },
        { ImageInfo, "document-properties", "info" },
        { ImageInfoButton, "document-properties", "info" },
        { PreviousImage, "go-previous", "left" },
        { NextImage, "go-next", "right" },
        { CaptureSettings, "camera-photo", "camera" },
        { SendInfrared, "document-send", "send" },
        { Options, "preferences-system", "gear" },
        { About, "help-about", "info" },
        { Help, "help-contents", "question" },
        { Crop, "edit-cut", "scissors" },
        { Exit, "application-exit", "door" },
} };

// The pictures are drawn on a grid of 22 pixels, the bars' icon size; they are also made at twice
// that for screens of high density.
constexpr int kGrid = 22;

QIcon ownIcon(const char *name)
{
    QSvgRenderer picture(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
    QIcon icon;
    if (!picture.isValid())
        return icon;
    for (int size : { kGrid, 2 * kGrid }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        picture.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon CommandIcon(std::uint32_t id)
{
    for (const CommandLook &look : kLooks) {
        if (look.id == id)
            return QIcon::fromTheme(QString::fromLatin1(look.themeName), ownIcon(look.ownName));
    }
    return {};
}
