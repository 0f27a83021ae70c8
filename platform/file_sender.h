#pragma once

#include <string>

// Sends a picture to another device through an external sender program: $VISTREL_SENDER when
// set (a command line split as a desktop entry's Exec line, "%f" standing for the file), else
// "bluetooth-sendto", given the file's host path. The program is not waited for.

// Starts the sender for devicePath. When it cannot be started, throws CAlbException 46040 with
// the location 101:100:10 and the host's error number as the fourth number (text not built).
void SendFile(const std::string &devicePath);
