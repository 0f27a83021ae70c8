#pragma once

#include "common/error_report.h"

#include <string>

// Sends a picture to another device through an external sender program: $VISTREL_SENDER when
// set (a command line split as a desktop entry's Exec line, "%f" standing for the file), else
// "bluetooth-sendto", given the file's host path. The program is not waited for.

// Starts the sender for devicePath. When it cannot be started, throws CAlbException 46040 with
// the location 101:100:10 and the host's error number as the fourth number (text not built).
void SendFile(const std::string &devicePath);

// The "Send" command for the picture fileName of folder: does nothing when the joined path is
// empty, and reports a failed start as 20002 with the location 36001:400:10 and the exception.
void SendViaInfrared(WindowHandle owner, const std::string &folder, const std::string &fileName);
