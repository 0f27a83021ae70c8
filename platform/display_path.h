#pragma once

#include <QString>

#include <string>
#include <string_view>

// How a path is shown to people. Inside the program, paths keep the device's form ("\Pictures");
// on the screen they read as this desktop writes them: "/" separators, and "~" standing for the
// device root when that root is the home folder ("~/Pictures/2024"), else the path under the
// root ("/Pictures/2024"). A trailing separator is dropped except on the root itself. Names are
// shown as ShownName shows them. Any other text (a host path, an empty path) is shown as it is.
std::string DisplayPath(std::string_view devicePath);

// DisplayPath as Qt text.
QString DisplayPathText(std::string_view devicePath);
