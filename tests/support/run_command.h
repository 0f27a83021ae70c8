#pragma once

#include <string>

// What a shell command printed on standard output and its exit status (-1 when it did not exit).
struct CommandResult
{
    int status;
    std::string out;
};

CommandResult RunCommand(const std::string &command);

// The command-line tool of this build.
std::string CliPath();
