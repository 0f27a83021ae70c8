#pragma once

#include <string>
#include <string_view>

// Where a deleted file goes.
enum class DeleteTarget {
    // Away for good.
    Remove,
    // Into the desktop's trash (the freedesktop.org trash) where the file's file system has one,
    // else away for good.
    Trash,
};

// Deletes the file at path (a device or host path) even when it is read-only: the read-only
// attribute is cleared first and set again when the deletion fails, so a file that stays behind
// is as it was. A file that goes to the trash keeps its read-only state there. A symbolic link
// is deleted as a link: neither its target nor the target's attributes are touched. A folder is
// never deleted. Returns whether the file is gone.
bool DeleteFileForce(std::string_view path, DeleteTarget target = DeleteTarget::Remove);
