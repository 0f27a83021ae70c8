#pragma once

#include <string>

// The desktop's trash as freedesktop.org file managers keep it. A file goes to the home trash
// ($XDG_DATA_HOME/Trash) when it lies on that trash's file system, else to the trash at the top of
// its own mount: $topdir/.Trash/$uid when an administrator made $topdir/.Trash a sticky folder,
// else $topdir/.Trash-$uid. It lands in files/NAME beside a record info/NAME.trashinfo that holds
// its percent-encoded original path (absolute in the home trash, relative to $topdir on other
// mounts) and the local time of deletion, so a file manager can put it back under its exact name.
// NAME is the file's own name made unique with a number and shortened where the record's name
// would not fit the file system. Files are never moved across file systems, and nothing is
// written through a symbolic link inside a trash.
struct TrashOutcome
{
    enum class Status {
        // The file is in the trash, at trashedPath.
        Moved,
        // No trash can be had on the file's file system; the file is untouched.
        NoTrash,
        // A trash is there, but the file could not be moved into it (error says why); the file is
        // untouched.
        Failed,
    };

    Status status = Status::Failed;
    std::string trashedPath;
    int error = 0;
};

// Moves the entry at hostPath (any entry but a folder, a symbolic link as a link; the path's bytes
// as the file system has them) into the trash. Gives up after a bounded number of names.
TrashOutcome MoveToTrash(const std::string &hostPath);
