#include "app/folder_survey.h"

#include "app/alb_doc.h"
#include "app/order_file.h"
#include "platform/directory_listing.h"

FolderSurvey SurveyFolder(const CAlbDoc &doc, const std::string &folder)
{
    FolderSurvey survey;
    const std::string orderFile = OrderFileName();
    // Every entry, hidden ones too: a folder keeps whatever the survey misses, so its removal
    // would fail after its pictures went.
    for (DirectoryRecord &entry : ListDirectory(folder, "*.*", ListingScope::Every)) {
        if (entry.isDirectory()) {
            survey.subfolders = 1;
            break;
        }
        if (doc.ItemNamed(entry.name))
            survey.imageNames.push_back(std::move(entry.name));
        else if (entry.name != orderFile)
            survey.otherNames.push_back(std::move(entry.name));
    }
    return survey;
}
