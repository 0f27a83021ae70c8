#include "cli_commands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] = R"(usage: vistrel-cli COMMAND [ARGUMENTS]

Commands:
  info FILE...   One line per picture, tab-separated:
                 file, format (BMP, GIF, JPEG or PNG), width, height, colours (a count, or
                 "Grayscale"), horizontal and vertical resolution in pixels per inch
                 (-1 when the file states none), frame count.
                 A file that cannot be read prints its name and the program's error
                 message on standard error; the exit status is then 1.
  info --exif FILE
                 The photo's camera facts, one "name<TAB>value" line each.
  convert IN OUT [--format bmp|gif|jpg|png] [--colors N] [--quality Q]
                 [--crop X,Y,W,H] [--dpi X[,Y]]
                 Saves the first frame of IN as OUT in the chosen format and colours.
  thumbs DIR [--box WxH] [--out DIR] [--jobs N] [--overwrite]
                 Decodes every picture of a folder into a thumbnail box (default
                 48x64) on N threads, optionally writing each as a BMP (files
                 already there are kept unless --overwrite); prints the count.
  capture [--folder DIR] [--prefix P] [--format bmp|gif|jpg|png] [--dpi N] [--delay S]
          [--area screen|monitor|window|X,Y,W,H] [--monitor N] [--clipboard] [--no-file]
                 Grabs the screen of $DISPLAY (or an area of it) into the next free
                 capture name (ornsnap001.bmp, ...) and prints the file's path;
                 --clipboard also offers it as image/png. Not in builds made with
                 VISTREL_CORE_ONLY (it needs the host layer).

Run "vistrel-cli COMMAND --help" for a command's options.

Options:
  --help         Show this text.
)";

const char kInfoUsage[] = R"(usage: vistrel-cli info [--] FILE...
       vistrel-cli info --exif FILE

Prints one tab-separated line per picture: file, format, width, height, colours,
horizontal and vertical resolution, frame count. Unreadable files are reported on
standard error and make the exit status 1.

--exif prints what a photo's EXIF block says about it instead, one tab-separated
"name<TAB>value" line per fact present: Camera make, Camera model, Date taken,
Exposure time, Aperture, ISO speed, Focal length, Flash, Orientation, GPS position.
A picture without an EXIF block, or with a damaged one, prints nothing.
)";

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    std::string command = args[0];
    args.erase(args.begin());
    if (command == "info") {
        if (args.size() == 1 && args[0] == "--help") {
            std::fputs(kInfoUsage, stdout);
            return 0;
        }
        // "--" ends the options: every argument after it is a file, whatever it looks like.
        if (!args.empty() && args[0] == "--") {
            args.erase(args.begin());
            if (args.empty()) {
                std::fputs("vistrel-cli info: no file given\n", stderr);
                return 2;
            }
            return RunInfo(args);
        }
        if (!args.empty() && args[0] == "--exif") {
            if (args.size() != 2) {
                std::fputs("vistrel-cli info --exif: give exactly one file\n", stderr);
                return 2;
            }
            return RunExifInfo(args[1]);
        }
        if (args.empty()) {
            std::fputs("vistrel-cli info: no file given\n", stderr);
            return 2;
        }
        return RunInfo(args);
    }
    if (command == "convert")
        return RunConvert(args);
    if (command == "thumbs")
        return RunThumbs(args);
    if (command == "capture") {
#ifdef VISTREL_CLI_CAPTURE
        return RunCapture(args);
#else
        std::fputs("vistrel-cli capture: not in this build (made with VISTREL_CORE_ONLY, "
                   "without the host layer)\n",
                   stderr);
        return 2;
#endif
    }
    std::fprintf(stderr, "vistrel-cli: unknown command '%s' (see --help)\n", command.c_str());
    return 2;
}
