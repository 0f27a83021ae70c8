#pragma once

#include <cstdint>
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
std::string HelpCommandLine(std::uint32_t context);

// Opens the context's topic with "xdg-open" and does not wait for it. A viewer that cannot be
// started is not reported: help is a convenience.
void ShowHelp(std::uint32_t context);
