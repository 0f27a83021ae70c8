#include "app/app_settings.h"
#include "cli_arguments.h"
#include "cli_commands.h"
#include "codecs/png_writer.h"
#include "common/alb_exception.h"
#include "common/error_report.h"
#include "common/host_path.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "operations/capture_file.h"
#include "platform/desktop_backend.h"
#include "platform/helper_clipboard.h"
#include "platform/helper_screen_grab.h"
#include "platform/known_folders.h"
#include "platform/screen_areas.h"
#include "platform/screen_grab.h"
#include "platform/settings_store.h"
#include "platform/x_connection.h"
#include "platform/x_selection_server.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <variant>

namespace {

const char kCaptureUsage[] = R"(usage: vistrel-cli capture [options]

Copies the whole screen (or an area of it) into a picture file named like the album's captures: PREFIX + the next free number of at least three digits + extension
(ornsnap001.bmp, ornsnap002.bmp, ...). Prints the path of the file written.
The screen is that of the X server in $DISPLAY, or in a Wayland session (or with
VISTREL_GRAB=portal) the desktop portal's screenshot; VISTREL_GRAB=x11 forces X.

Options (defaults: the album's capture settings, else the values shown):
  --folder DIR          Folder to write into (default: your pictures folder).
  --prefix P            Start of the file name (default: ornsnap).
  --format bmp|gif|jpg|png
                        File format (default: bmp). GIF keeps the screen's exact
                        colours when there are no more than 256, else reduces them;
                        PNG is lossless.
  --dpi N               Resolution stored in BMP, JPEG and PNG files, 1 to 65535
                        (default: 96).
  --delay SECONDS       Wait this many whole seconds (0 to 3600) before the grab.
  --area screen|monitor|window|X,Y,W,H
                        What to copy (default: screen): the whole screen, the
                        monitor under the pointer, the active window with its
                        frame, or an exact rectangle (cut to the screen). On
                        Wayland the desktop asks for the monitor or window.
  --monitor N           The monitor of that index (0 first, as `xrandr
                        --listmonitors` counts; X only).
  --clipboard           Also offer the picture as image/png on the clipboard; the
                        tool stays in the background serving it until another
                        program takes the clipboard.
  --no-file             With --clipboard: write no file.
  --help                Show this text.

Exit status: 0 written, 1 the screen could not be grabbed or the file not written (the
program's message and location on standard error), 2 bad arguments.
)";

// Locations of the capture's reports.
constexpr std::uint32_t kPlaceDirect = 3000;

struct CaptureArgs
{
    CaptureTarget target;
    std::string prefix;
    int delaySeconds = 0;
    AreaRequest area;
    bool clipboard = false;
    bool writeFile = true;
};

long wholeNumber(const std::string &option, const std::string &text, long low, long high)
{
    char *end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high)
        throw ArgumentError{ option + " needs a whole number from " + std::to_string(low) + " to "
                             + std::to_string(high) + ", not '" + text + "'" };
    return value;
}

// The album's capture settings: its settings file when there is one, else the defaults.
CaptureArgs storedSettings()
{
    InstallPersonalFolderString();
    AppSettings settings;
    SettingsStore store(SettingsStore::DefaultFilePath());
    LoadSettings(store, settings, 0, 0);
    CaptureArgs args;
    args.target.folder = settings.snapPath;
    args.prefix = settings.snapName;
    args.target.fileFormat = settings.captureFileFormat();
    args.target.resolutionDpi = settings.ui.resolutionDpi;
    return args;
}

void parseArea(CaptureArgs &args, const std::string &value)
{
    const std::optional<AreaRequest> area = ParseAreaText(value);
    if (!area)
        throw ArgumentError{
            "--area must be screen, monitor, window or X,Y,W,H (W and H at least 1), not '" + value
            + "'"
        };
    if (area->area == CaptureArea::Region)
        throw ArgumentError{
            "--area region needs the album's chooser; give the rectangle as X,Y,W,H"
        };
    args.area.area = area->area;
    args.area.exact = area->exact;
}

std::int32_t formatNamed(const std::string &value)
{
    if (value == "bmp")
        return CaptureFormat::Bmp;
    if (value == "jpg")
        return CaptureFormat::Jpeg;
    if (value == "gif")
        return CaptureFormat::Gif;
    if (value == "png")
        return CaptureFormat::Png;
    throw ArgumentError{ "--format must be bmp, gif, jpg or png, not '" + value + "'" };
}

void checkCombinations(const CaptureArgs &args)
{
    if (args.area.monitor && (args.area.exact || args.area.area != CaptureArea::Monitor))
        throw ArgumentError{ "--monitor goes only with --area monitor" };
    if (!args.writeFile && !args.clipboard)
        throw ArgumentError{
            "--no-file needs --clipboard, else the capture would be kept nowhere"
        };
}

CaptureArgs parseCapture(const std::vector<std::string> &list)
{
    CaptureArgs args = storedSettings();
    bool areaGiven = false;
    CommandOptions options("capture");
    options.value("--folder", [&](const std::string &value) {
        if (value.empty())
            throw ArgumentError{ "--folder needs a folder" };
        args.target.folder = value;
    });
    options.value("--prefix", [&](const std::string &value) { args.prefix = value; });
    options.value("--format",
                  [&](const std::string &value) { args.target.fileFormat = formatNamed(value); });
    options.value("--dpi", [&](const std::string &value) {
        args.target.resolutionDpi =
                static_cast<std::int32_t>(wholeNumber("--dpi", value, 1, 65535));
    });
    options.value("--delay", [&](const std::string &value) {
        args.delaySeconds = static_cast<int>(wholeNumber("--delay", value, 0, 3600));
    });
    options.value("--area", [&](const std::string &value) {
        parseArea(args, value);
        areaGiven = true;
    });
    options.value("--monitor", [&](const std::string &value) {
        args.area.monitor = static_cast<int>(wholeNumber("--monitor", value, 0, 255));
    });
    options.flag("--clipboard", args.clipboard);
    bool noFile = false;
    options.flag("--no-file", noFile);
    for (const std::string &operand : options.parse(list, UnknownOptions::Refused))
        throw ArgumentError{ "unexpected argument '" + operand + "'" };
    args.writeFile = !noFile;
    // The prefix becomes part of a file name: no folders, no characters a name cannot hold.
    if (!CheckFileName(args.prefix + "001"))
        throw ArgumentError{ "--prefix '" + args.prefix + "' cannot start a file name" };
    // --monitor alone means that monitor.
    if (args.area.monitor && !areaGiven)
        args.area.area = CaptureArea::Monitor;
    checkCombinations(args);
    return args;
}

int fail(std::uint32_t messageId, std::uint32_t step, const CAlbExceptionBase *failure = nullptr)
{
    const std::string text =
            ComposeErrorMessage(messageId, 0, Module::Capture, kPlaceDirect, step, failure);
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text.c_str());
    return 1;
}

int grabFailure(GrabFailure failure, DesktopBackend backend, bool portalAsked)
{
    switch (failure) {
    case GrabFailure::NoSurface:
        if (const char *display = std::getenv("DISPLAY");
            backend == DesktopBackend::X11 && (!display || !*display))
            std::fputs("vistrel-cli capture: DISPLAY is not set\n", stderr);
        return fail(Msg::NotEnoughMemory, 5);
    case GrabFailure::NoStore:
        return fail(Msg::UnableToCreateSnapImage, 10);
    case GrabFailure::CopyFailed:
        if (backend == DesktopBackend::Portal && portalAsked)
            std::fputs("vistrel-cli capture: the desktop portal gave no screenshot\n", stderr);
        break;
    case GrabFailure::NoArea:
        break;
    }
    return fail(Msg::UnableToCreateSnapImage2, 20);
}

// An area that names no part of the screen: which one, and why.
int areaRefused(const AreaRequest &area, DesktopBackend backend)
{
    if (area.monitor && backend != DesktopBackend::X11) {
        std::fputs("vistrel-cli capture: --monitor needs the X server; with the desktop portal "
                   "use --area monitor and choose there\n",
                   stderr);
        return 2;
    }
    XConnection x;
    const ScreenAreas areas(x);
    if (area.monitor) {
        const int count = x.usable() ? static_cast<int>(areas.monitors().size()) : 0;
        std::fprintf(stderr, "vistrel-cli capture: --monitor %d: %s\n", *area.monitor,
                     count == 0 ? "the X server lists no monitors"
                                : ("the screen has " + std::to_string(count) + " monitors, 0 to "
                                   + std::to_string(count - 1))
                                          .c_str());
        return 2;
    }
    if (area.exact) {
        const Rect screen = x.usable() ? areas.screen() : Rect{};
        std::fprintf(stderr, "vistrel-cli capture: --area %s lies outside the screen%s\n",
                     AreaText(area).c_str(),
                     screen.isEmpty() ? ""
                                      : (" (" + std::to_string(screen.width()) + "x"
                                         + std::to_string(screen.height()) + ")")
                                                .c_str());
        return 2;
    }
    std::fputs("vistrel-cli capture: the active window is not on the screen\n", stderr);
    return fail(Msg::UnableToCreateSnapImage2, 20);
}

int writeFile(const CaptureArgs &args, const PixelSpan &pixels)
{
    const CaptureName next =
            FindCaptureNameIn(args.target.folder, args.prefix, args.target.fileFormat);
    // Every number is taken: the last name exists and is not overwritten.
    if (!next.free)
        return fail(Msg::UnableToSaveSnapFile, 40);
    try {
        const std::string path = WriteCapture(next.name, pixels, args.target);
        std::printf("%s\n", HostPath(path).c_str());
    } catch (const CAlbExceptionBase &failure) {
        return fail(Msg::UnableToSaveSnapFile, 40, &failure);
    }
    return 0;
}

// On X the clipboard is served by a process of our own left in the background; on Wayland by
// the portal helper, through Qt.
int offerToClipboard(std::vector<std::uint8_t> png, DesktopBackend backend)
{
    std::string error;
    if (backend == DesktopBackend::X11)
        ServeClipboardInBackground({}, "image/png", std::move(png), error);
    else
        OfferClipboardThroughHelper(PortalGrabProgramPath(), png, error);
    if (error.empty())
        return 0;
    std::fflush(stdout);
    std::fprintf(stderr, "vistrel-cli capture: cannot offer the clipboard: %s\n", error.c_str());
    return 1;
}

// The X server is read here; the portal is asked by the helper program, which brings up Qt for the
// session bus so that this program never does. portalAsked is false when the helper could not be
// started (which is then said).
GrabResult grabScreen(DesktopBackend backend, const AreaRequest &area, bool &portalAsked)
{
    portalAsked = false;
    if (backend == DesktopBackend::X11)
        return ScreenGrabber().grabArea(area);
    HelperScreenGrabber helper(PortalGrabProgramPath());
    GrabResult result = helper.grabArea(area);
    portalAsked = helper.startError() == 0;
    if (!portalAsked)
        std::fprintf(stderr, "vistrel-cli capture: cannot start %s: %s\n", helper.program().c_str(),
                     std::strerror(helper.startError()));
    return result;
}

} // namespace

int RunCapture(const std::vector<std::string> &list)
{
    CaptureArgs args;
    try {
        if (const auto status =
                    ReadArguments("capture", kCaptureUsage, [&] { args = parseCapture(list); }))
            return *status;
    } catch (const CAlbExceptionBase &failure) {
        std::string text;
        failure.GetMessageText(text, CAlbException::kTextCapacity);
        std::fprintf(stderr, "vistrel-cli capture: settings: %s\n", text.c_str());
        return 1;
    }
    const DesktopBackend backend = ChooseDesktopBackend();
    if (args.delaySeconds > 0)
        std::this_thread::sleep_for(std::chrono::seconds(args.delaySeconds));
    bool portalAsked = false;
    GrabResult result = grabScreen(backend, args.area, portalAsked);
    if (const auto *failure = std::get_if<GrabFailure>(&result))
        return *failure == GrabFailure::NoArea ? areaRefused(args.area, backend)
                                               : grabFailure(*failure, backend, portalAsked);
    CaptureGrab &grab = std::get<CaptureGrab>(result);
    const PixelSpan pixels = grab.span();
    if (args.writeFile) {
        if (const int status = writeFile(args, pixels); status != 0)
            return status;
    }
    if (!args.clipboard)
        return 0;
    std::vector<std::uint8_t> png;
    try {
        png = PngWriter().encode(pixels);
    } catch (const CAlbExceptionBase &failure) {
        return fail(Msg::UnableToCreateSnapImage, 10, &failure);
    }
    // The process that keeps the clipboard needs the picture only as PNG.
    grab.release();
    return offerToClipboard(std::move(png), backend);
}
