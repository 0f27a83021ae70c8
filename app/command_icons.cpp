#include "app/command_icons.h"

#include "app/doc_commands.h"
#include "app/frame_commands.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>

// Resources compiled into a static library are registered by a call that also links them in.
static void registerOwnIcons()
{
    Q_INIT_RESOURCE(command_icons);
}

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

// The pictures are drawn on a grid of 22 pixels, the bars' icon size: made at that size, they
// keep their pixel-aligned lines sharp.
constexpr int kSize = 22;

QIcon ownIcon(const char *name)
{
    static const bool registered = (registerOwnIcons(), true);
    (void)registered;
    QSvgRenderer picture(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
    if (!picture.isValid())
        return {};
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    picture.render(&painter);
    painter.end();
    return QIcon(pixmap);
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
