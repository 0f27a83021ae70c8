#pragma once

#include "common/host_path.h"

#include <string>

// The host folders every part of the program finds the same way, without Qt (the command-line
// tool uses them too). They lie in the home folder of common/host_path.h.

// The user's configuration folder: $XDG_CONFIG_HOME when it is absolute (a relative one is
// invalid and ignored), else ~/.config.
std::string ConfigFolder();

// The user's data folder: $XDG_DATA_HOME when it is absolute, else ~/.local/share.
std::string DataFolder();

// The user's personal documents folder (the "My Documents" of command 31001) as a device path
// without a trailing backslash: the host's pictures folder ($XDG_PICTURES_DIR from
// user-dirs.dirs, else ~/Pictures) when it lies under the device root, else "\My Documents".
std::string PersonalFolder();

// Makes string 2402, the default folder, name PersonalFolder() with a trailing backslash. Called
// once at start-up before the settings are loaded.
void InstallPersonalFolderString();
