#pragma once

#include "platform/delete_file_force.h"

class CAlbDoc;

// Delete Folder (30002) on the folder on show: refused at once when it has a sub-folder; else
// one question about all its files (Yes deletes everything without more questions, No asks about
// every file, Cancel stops), the files deleted, the order file removed, and the folder itself
// removed when nothing was kept and it is empty. The tree then drops the folder and selects its
// parent. Nothing is ever deleted below the folder, and a folder that gained a file meanwhile is
// kept and the user told.
void DeleteFolder(CAlbDoc &doc, DeleteTarget target);
