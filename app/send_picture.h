#pragma once

#include "common/error_report.h"

#include <string>

// The "Send" command for the picture fileName of folder: does nothing when the joined path is
// empty, and reports a failed start of the sender (SendFile) as 20002 with the location
// 36001:400:10 and the exception.
void SendViaInfrared(WindowHandle owner, const std::string &folder, const std::string &fileName);
