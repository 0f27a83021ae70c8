// vistrel-portal-grab: the desktop-portal part of vistrel-cli, which loads no Qt itself.
//   (no arguments)      copies the screen through the desktop portal and writes the grab, or why
//                       there is none, to standard output (platform/grab_stream.h);
//   --area AREA         the same for an area (platform/capture_area.h): the portal's
//                       interactive screenshot lets the desktop ask for a monitor, window or region;
//   --clipboard         reads a PNG picture from standard input, puts it on the clipboard, says
//                       so on standard output (platform/helper_clipboard.h) and stays until
//                       another program takes the clipboard.
// vistrel-cli starts it only when the portal is the way to the screen.
#include "platform/clipboard_offer.h"
#include "platform/grab_stream.h"
#include "platform/helper_clipboard.h"
#include "platform/portal_screen_grab.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace {

int Usage()
{
    std::fputs("vistrel-portal-grab: a helper of vistrel-cli capture; it writes the screen as "
               "raw pixels to standard output, which must not be a terminal\n"
               "usage: vistrel-portal-grab [--area screen|monitor|window|region|X,Y,W,H]\n"
               "       vistrel-portal-grab --clipboard < picture.png\n",
               stderr);
    return 2;
}

int Grab(int argc, char **argv, const AreaRequest &request)
{
    // A reader that goes away is an ordinary end: the write reports it.
    std::signal(SIGPIPE, SIG_IGN);
    // The portal's answers arrive through the event loop, which the grab runs while it waits.
    QCoreApplication application(argc, argv);
    const GrabResult result = PortalScreenGrabber().grabArea(request);
    return WriteGrabStream(STDOUT_FILENO, result) ? 0 : 1;
}

int ServeClipboard(int argc, char **argv)
{
    QFile input;
    if (!input.open(STDIN_FILENO, QIODevice::ReadOnly))
        return 1;
    const QByteArray png = input.readAll();
    QGuiApplication application(argc, argv);
    OfferPictureToClipboard(png);
    if (png.isEmpty() || !HoldsClipboard())
        return 1;
    const char held = kClipboardHeld;
    if (::write(STDOUT_FILENO, &held, 1) != 1)
        return 1;
    ::close(STDOUT_FILENO);
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, &application,
                     [](QClipboard::Mode mode) {
                         if (mode == QClipboard::Clipboard && !HoldsClipboard())
                             QCoreApplication::quit();
                     });
    return application.exec();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--clipboard") == 0)
        return ServeClipboard(argc, argv);
    std::optional<AreaRequest> request = AreaRequest{};
    if (argc == 3 && std::strcmp(argv[1], "--area") == 0)
        request = ParseAreaText(argv[2]);
    else if (argc != 1)
        request.reset();
    if (!request || ::isatty(STDOUT_FILENO))
        return Usage();
    return Grab(argc, argv, *request);
}
