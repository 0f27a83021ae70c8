#include "app/delete_pictures.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/confirm.h"
#include "app/file_operation_support.h"
#include "common/host_path.h"
#include "common/path_names.h"
#include "common/string_ids.h"

#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kPlace = 103;
constexpr std::uint32_t kDeleteStep = 2;
constexpr int kQuestionLines = 3;

std::vector<std::string> selectedNames(const CAlbDoc &doc)
{
    std::vector<std::string> names;
    for (int i = 0; i < doc.Count(); ++i) {
        if (const ImageItem *item = doc.ItemAt(i); item->selected())
            names.push_back(item->fileName);
    }
    return names;
}

void deleteOne(CAlbDoc &doc, const std::string &name, DeleteTarget target)
{
    const std::string path = JoinPath(doc.appSettings().currentFolder, name);
    int reason = 0;
    if (!DeleteFileForce(path, target, &reason)) {
        const CAlbFileException why(reason, path);
        ReportUnableToAccess(kPlace, kDeleteStep, &why);
        return;
    }
    if (ImageItem *item = doc.ItemNamed(name))
        doc.RecheckItem(item);
}

void askAndDelete(CAlbDoc &doc, const std::vector<std::string> &names, DeleteTarget target)
{
    const bool offerAll = names.size() != 1;
    bool all = false;
    for (const std::string &name : names) {
        if (!all) {
            const int answer = Confirm(nullptr, Msg::DeleteFileQuestion, Msg::DeleteFileTitle,
                                       offerAll, kQuestionLines, { ShownName(name) });
            if (answer == ConfirmAnswer::No)
                continue;
            // Only Yes and Yes to All delete; Cancel, and anything else, stops.
            if (answer != ConfirmAnswer::Yes && answer != ConfirmAnswer::YesToAll)
                break;
            all = answer == ConfirmAnswer::YesToAll;
        }
        deleteOne(doc, name, target);
    }
}

} // namespace

void DeletePictures(CAlbDoc &doc, DeleteTarget target)
{
    const int first = doc.IndexOf(doc.FirstSelected());
    RunFileOperation(kPlace, [&] { askAndDelete(doc, selectedNames(doc), target); });
    if (first >= 0) {
        ImageItem *next = first < doc.Count() ? doc.ItemAt(first) : doc.ItemAt(doc.Count() - 1);
        doc.SelectItem(next, true);
    }
    doc.UpdateViews();
}
