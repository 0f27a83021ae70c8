#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Sub-commands of vistrel-cli, given the arguments after the command's name. Each returns the
// process exit status.
int RunInfo(const std::vector<std::string> &arguments);
int RunConvert(const std::vector<std::string> &arguments);
int RunThumbs(const std::vector<std::string> &arguments);
// Only in the whole-program build: it grabs the screen through the host layer.
int RunCapture(const std::vector<std::string> &arguments);

// Where a command met a failure, for the location line of a system error ("No such file or
// directory" has none of its own): module:place:step, then the error number.
struct FailurePlace
{
    std::uint32_t module = 0;
    std::uint32_t place = 0;
    std::uint32_t step = 0;
};

// Prints a failure of file the way the program reports it: the file name, then the message and
// its location line (for a system error, place's with the error number).
void PrintFailure(const std::string &file, const FailurePlace &place);
// The text PrintFailure prints after the file name for the exception being handled (call inside
// a catch block). A system error names its path only when that is not file.
std::string CurrentFailureText(const std::string &file, const FailurePlace &place);
