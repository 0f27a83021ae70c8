#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Context help: one HTML help file with a named anchor per topic, shown by the desktop's URL
// opener. A context is the number of the dialog, page or view mode asking for help.

// The topic of a help context: "Main_Contents" for every context without its own topic.
std::string HelpTopic(std::uint32_t context);

// The help file's host path: $VISTREL_HELP_FILE when set, else found from the folder of the
// running program (HelpFileBeside), so that an installed or moved program finds its own.
std::string HelpFilePath();

// The help file for a program in programFolder: "../share/vistrel/" when installed, "../res/" in
// the build tree, whichever exists; the installed place when neither does.
std::string HelpFileBeside(const std::string &programFolder);

// "file:" + the help file's path + "#" + the context's topic.
std::string HelpUrl(std::uint32_t context);

// Opens a help URL. The default hands it to the desktop (QDesktopServices, which goes through
// the desktop portal when the program runs sandboxed); tests install a recorder.
using HelpOpener = std::function<void(const std::string &url)>;

// Installs opener for every later ShowHelp; an empty one restores the default. Returns the
// previous one, empty for the default.
HelpOpener SetHelpOpener(HelpOpener opener);

// Opens the context's topic and does not wait for the viewer. A viewer that cannot be started is
// not reported: help is a convenience.
void ShowHelp(std::uint32_t context);
