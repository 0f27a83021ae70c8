#pragma once

#include "common/dir_record.h"

#include <string>
#include <string_view>
#include <vector>

// Whether name a sorts before name b in listings: without regard to case, runs of digits compared
// by value ("ornsnap999" before "ornsnap1000"); names equal that way are ordered by their bytes.
bool ListingNameLess(std::string_view a, std::string_view b);

// Which entries of a folder a listing gives.
enum class ListingScope {
    // What the album offers: names starting with a dot (the host's hidden entries) are left out,
    // and so is an entry whose facts cannot be read. With the home folder as the device root, the
    // album would otherwise offer every program's settings folder.
    Shown,
    // Everything a folder must lose before it can be removed: hidden entries too, and an entry
    // whose facts cannot be read (a dangling symbolic link) as a file with its name alone.
    Every,
};

// The entries of folder (a device path or a host path) whose names match pattern ("*" and "*.*"
// match every name; otherwise '*' and '?' wildcards, without regard to case), in ListingNameLess
// order, "." and ".." left out. Every host name is listed, in its device form (DeviceName), so
// names that are not valid UTF-8 or hold a backslash are listed too. Symbolic links are followed
// for the record's facts. A folder that does not exist or cannot be read throws the file exception
// with the folder's path.
std::vector<DirectoryRecord> ListDirectory(std::string_view folder, std::string_view pattern = "*",
                                           ListingScope scope = ListingScope::Shown);

// Counts the folders inside path (a device or host path) that a Shown listing gives, following
// symbolic links. With all set, appends each folder's device name to *names (when names is
// given), in ListingNameLess order, and returns the count; without all, returns 1 as soon as one
// folder is found. 0 when there is none; -1 when path cannot be listed (missing, not a folder,
// unreadable).
int ListSubfolders(std::string_view path, std::vector<std::string> *names, bool all);

// Why folder (a device or host path) cannot be listed: 0 when it can, else the error number.
int ListingFailure(std::string_view folder);
