#pragma once

#include <string>

// The folder of the running program's file (from /proc/self/exe), "." when it cannot be read. The
// programs find their help file and helper programs from it, so an installed or moved program
// finds its own.
std::string RunningProgramFolder();
