#pragma once

#include "codecs/exif_facts.h"
#include "platform/system_facts.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAlbDoc;
class CPropSheet;
class QWidget;

// Where the sheet's pages get the facts that come from outside the album.
struct InfoSheetSources
{
    std::function<SystemFacts()> systemFacts;
    // The EXIF facts of a picture file by its host path.
    std::function<std::vector<ExifFact>(const std::string &hostPath)> photoFacts;
};

// The host's own sources.
InfoSheetSources HostInfoSheetSources();

// The information sheet for what the document shows: Image, Size and (for a photo with EXIF
// facts) Details about the first selected picture, or the first picture when none is selected,
// only when there is a picture; then Folder and System.
std::unique_ptr<CPropSheet> MakeInfoSheet(CAlbDoc &doc, QWidget *owner,
                                          const InfoSheetSources &sources);

// Shows the sheet modally over owner; true when it ended with OK (the Size page's unit is then in
// the settings, and the document writes them).
bool RunInfoSheet(CAlbDoc &doc, QWidget *owner);
