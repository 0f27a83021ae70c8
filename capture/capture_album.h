#pragma once

#include <string>

class CAlbDoc;
struct AppSettings;

// Whether captures land in the folder the album shows: snapPath and currentFolder, each with a
// trailing backslash, are the same text (compared exactly).
bool CaptureFolderOnShow(const AppSettings &settings);

// A new file name of the folder on show: its item is added and checked when the file exists,
// then the views are updated. Passes on what the document passes on.
void AddCaptureToAlbum(CAlbDoc &doc, const std::string &path);

// A file of the folder on show that was replaced: its item (looked up without regard to case),
// when there is one, is checked again; then the views are updated.
void RecheckCaptureInAlbum(CAlbDoc &doc, const std::string &name);
