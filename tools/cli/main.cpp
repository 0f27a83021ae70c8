#include "cli_arguments.h"
#include "cli_commands.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

const char kUsage[] = R"(usage: vistrel-cli COMMAND [ARGUMENTS]

Commands:
  info FILE...   One line per picture, tab-separated:
                 file, format (BMP, GIF, JPEG, PNG, WEBP, HEIF or AVIF), width, height
                 (of the picture standing upright), colours (a count, or "Grayscale"),
                 horizontal and vertical resolution in pixels per inch (-1 when the file
                 states none), frame count.
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

int printUsage(const std::vector<std::string> &)
{
    std::fputs(kUsage, stdout);
    return 0;
}

using Command = int (*)(const std::vector<std::string> &arguments);

const std::map<std::string, Command> kCommands = {
    { "info", RunInfo },       { "convert", RunConvert }, { "thumbs", RunThumbs },
    { "capture", RunCapture }, { "help", printUsage },
};

} // namespace

#ifndef VISTREL_CLI_CAPTURE
int RunCapture(const std::vector<std::string> &)
{
    std::fputs("vistrel-cli capture: not in this build (made with VISTREL_CORE_ONLY, "
               "without the host layer)\n",
               stderr);
    return 2;
}
#endif

int main(int argc, char **argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    CommandOptions tool("");
    if (const auto status =
                ReadArguments("", kUsage, [&] { arguments = tool.parseUpToCommand(arguments); }))
        return *status;
    if (arguments.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = arguments.front();
    arguments.erase(arguments.begin());
    const auto found = kCommands.find(command);
    if (found == kCommands.end()) {
        std::fprintf(stderr, "vistrel-cli: unknown command '%s' (see --help)\n", command.c_str());
        return 2;
    }
    return found->second(arguments);
}
