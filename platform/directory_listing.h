#pragma once

#include "common/dir_record.h"

#include <string>
#include <string_view>
#include <vector>

// Whether name a sorts before name b in listings: without regard to case, runs of digits compared
// by value ("ornsnap999" before "ornsnap1000"); names equal that way are ordered by their bytes.
bool ListingNameLess(std::string_view a, std::string_view b);

// The entries of folder (a device path or a host path) whose names match pattern ("*" and "*.*"
// match every name; otherwise '*' and '?' wildcards, without regard to case), in ListingNameLess
// order, "." and ".." left out. Names that a device path cannot express (invalid UTF-8, a
// backslash inside) are skipped. Symbolic links are followed for the record's facts; an entry
// whose facts cannot be read is skipped. A folder that does not exist or cannot be read throws
// the file exception with the folder's path.
std::vector<DirectoryRecord> ListDirectory(std::string_view folder, std::string_view pattern = "*");

// Counts the folders inside path (a device or host path), following symbolic links. With all
// set, appends each folder's name to *names (when names is given), in ListingNameLess order,
// and returns the count (a host name may hold any character but "/", so names stay a list); without all, returns 1 as soon as one folder is
// found. 0 when there is none; -1 when path cannot be listed (missing, not a folder, unreadable).
int ListSubfolders(std::string_view path, std::vector<std::string> *names, bool all);

// Why folder (a device or host path) cannot be listed: 0 when it can, else the error number.
int ListingFailure(std::string_view folder);
