#pragma once

#include <string>
#include <vector>

class CAlbDoc;

// What a folder holds, as Delete Folder asks about it. Names keep the listing order.
struct FolderSurvey
{
    // 0 or 1: the survey stops at the first sub-folder, hidden or not, which refuses the deletion
    // at once.
    int subfolders = 0;
    // Files whose name is exactly the fileName of one of the document's items.
    std::vector<std::string> imageNames;
    // Every other file except the folder's order file, hidden ones (and a temporary file that a
    // killed write left behind) included.
    std::vector<std::string> otherNames;
};

// Lists folder (a device path). A folder that cannot be listed throws the file exception.
FolderSurvey SurveyFolder(const CAlbDoc &doc, const std::string &folder);
