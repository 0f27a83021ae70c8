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

// Whether every child of this process but the X server has ended (reaping those that have). Bus
// daemons' own children, and programs that went on in the background, come to the test program
// when their parents end, as long as it is their subreaper (PR_SET_CHILD_SUBREAPER).
bool OnlyTheXServerIsLeft();
