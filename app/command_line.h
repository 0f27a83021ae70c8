#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a command line asks for: a folder to show, a picture to select and the view to show it in.
namespace LaunchMode {
inline constexpr int Default = 0; // Thumbnail View of the current folder
inline constexpr int Folder = 1; // option "t": Thumbnail View of a folder
inline constexpr int Select = 2; // option "i": a picture in Select View
inline constexpr int FullScreen = 3; // option "fs": a picture in Full Screen View
} // namespace LaunchMode

struct CAlbCommandLineInfo
{
    int launchMode = LaunchMode::Default;
    std::string folder;
    std::string fileName;
};

// Parses the parameters that follow the program name. A parameter that begins with "-" or "/" is
// an option, any other one a value for the option before it. Options are "t" (a folder), "i" and
// "fs" (a full picture path), compared without regard to case; values of other options are
// ignored. An existing absolute host path ("/home/u/a.jpg") is a value, not an option, and is
// turned into its device path; one outside the device root is ignored.
CAlbCommandLineInfo ParseCommandLine(const std::vector<std::string> &parameters);

// Parses one command-line text, as handed over by a second instance of the program.
CAlbCommandLineInfo ParseCommandLineText(std::string_view text);

// Splits a command-line text at blanks (spaces and tabs). A double quote opens or closes a quoted
// run in which blanks belong to the parameter; inside such a run two double quotes stand for one.
std::vector<std::string> SplitCommandLine(std::string_view text);

// The text that SplitCommandLine turns back into exactly these parameters.
std::string JoinCommandLine(const std::vector<std::string> &parameters);
