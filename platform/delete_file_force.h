#pragma once

#include <string>
#include <string_view>

// Where a deleted file goes.
enum class DeleteTarget {
    // Away for good.
    Remove,
    // Into the desktop's trash (see desktop_trash.h) where the file's file system can have one,
    // else away for good. A trash that refuses the file leaves it where it is.
    Trash,
};

// Deletes the file at path (a device or host path) even when it is read-only: the read-only
// attribute is cleared first and set again when the deletion fails, so a file that stays behind
// is as it was. A file that goes to the trash keeps its read-only state there. A symbolic link
// is deleted as a link: neither its target nor the target's attributes are touched. A folder is
// never deleted. Returns whether the file is gone; when it is not, *reason (when given) gets the
// error number that says why.
bool DeleteFileForce(std::string_view path, DeleteTarget target = DeleteTarget::Remove,
                     int *reason = nullptr);
