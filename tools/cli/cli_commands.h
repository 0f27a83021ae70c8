#pragma once

#include <string>
#include <vector>

// Sub-commands of vistrel-cli. Each returns the process exit status.
int RunInfo(const std::vector<std::string> &files);
// The camera facts of one picture's EXIF block, one "name<TAB>value" line each; nothing for a
// picture without (or with a damaged) block.
int RunExifInfo(const std::string &file);
int RunConvert(const std::vector<std::string> &arguments);
int RunThumbs(const std::vector<std::string> &arguments);
// Only in the whole-program build: it grabs the screen through the host layer.
int RunCapture(const std::vector<std::string> &arguments);

// Prints a failure of file the way the program reports it: the file name, then the message and
// its location line.
void PrintFailure(const std::string &file);
// The text PrintFailure prints for the exception being handled (call inside a catch block).
std::string CurrentFailureText();
