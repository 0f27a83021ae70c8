#pragma once

#include "platform/screen_grab.h"

#include <string>
#include <vector>

// The program that copies the screen through the desktop portal for the command-line tool. The
// portal is reached over the session bus with Qt's event loop; keeping that in a program of its
// own spares the tool Qt's start-up whenever it copies from the X server.
inline constexpr char kPortalGrabProgram[] = "vistrel-portal-grab";

// Where a helper program of the one in programFolder is: beside it (the build tree), else in
// "../libexec/vistrel/" (installed); the installed place when neither exists.
std::string HelperProgramBeside(const std::string &programFolder, const std::string &name);

// The portal helper of the running program.
std::string PortalGrabProgramPath();

// Starts a program that writes one grab to its standard output (platform/grab_stream.h) and reads
// it. An area other than the whole screen is passed on as "--area" and its text
// (platform/capture_area.h); the program is the portal's, which chooses areas with the user. A
// program that cannot be started, or ends without a whole picture, is CopyFailed; startError()
// then tells the host's error number of the start (0 when it started).
class HelperScreenGrabber final : public ScreenSource
{
public:
    explicit HelperScreenGrabber(std::string program, std::vector<std::string> arguments = {});

    GrabResult grabArea(const AreaRequest &request) override;

    bool choosesArea() const override { return true; }

    int startError() const { return startFailure; }

    const std::string &program() const { return path; }

private:
    std::string path;
    std::vector<std::string> args;
    int startFailure = 0;
};
