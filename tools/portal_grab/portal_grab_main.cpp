// vistrel-portal-grab: copies the screen through the desktop portal and writes the grab, or why
// there is none, to standard output for vistrel-cli (platform/grab_stream.h). It is started by
// vistrel-cli only when the portal is the way to the screen, so that the tool itself never loads
// Qt.
#include "platform/grab_stream.h"
#include "platform/portal_screen_grab.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc > 1 || ::isatty(STDOUT_FILENO)) {
        std::fputs("vistrel-portal-grab: a helper of vistrel-cli capture; it writes the screen as "
                   "raw pixels to standard output, which must not be a terminal\n",
                   stderr);
        return 2;
    }
    // A reader that goes away is an ordinary end: the write reports it.
    std::signal(SIGPIPE, SIG_IGN);
    // The portal's answers arrive through the event loop, which the grab runs while it waits.
    QCoreApplication application(argc, argv);
    const GrabResult result = PortalScreenGrabber().grab();
    return WriteGrabStream(STDOUT_FILENO, result) ? 0 : 1;
}
