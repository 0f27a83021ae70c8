#pragma once

#include <string>
#include <vector>

// Starts external programs (the help viewer, the file sender) without waiting for them.
class ProgramStarter
{
public:
    virtual ~ProgramStarter() = default;
    // Starts program (looked up on PATH when it holds no "/") with args after its name. Returns 0
    // once the program runs, else the host's error number (ENOENT when there is no such program).
    virtual int start(const std::string &program, const std::vector<std::string> &args) = 0;
};

// Installs starter for every later StartProgram (tests install a recorder); nullptr restores the
// real one. Returns the previous starter, nullptr for the real one.
ProgramStarter *SetProgramStarter(ProgramStarter *starter);

// Starts program through the installed starter.
int StartProgram(const std::string &program, const std::vector<std::string> &args);
