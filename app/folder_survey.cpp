#include "app/folder_survey.h"

#include "app/file_operation_support.h"
#include "app/order_file.h"
#include "common/ascii_case.h"
#include "platform/directory_listing.h"

FolderSurvey SurveyFolder(const CAlbDoc &doc, const std::string &folder)
{
    FolderSurvey survey;
    const std::string orderFile = OrderFileName();
    for (DirectoryRecord &entry : ListDirectory(folder, "*.*")) {
        if (entry.isDirectory()) {
            survey.subfolders = 1;
            break;
        }
        if (ItemNamed(doc, entry.name))
            survey.imageNames.push_back(std::move(entry.name));
        else if (!SameTextIgnoringCase(entry.name, orderFile))
            survey.otherNames.push_back(std::move(entry.name));
    }
    return survey;
}
