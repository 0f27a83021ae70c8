#include "app/delete_folder.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/confirm.h"
#include "app/document_frame.h"
#include "app/file_operation_support.h"
#include "app/folder_survey.h"
#include "app/order_file.h"
#include "common/error_report.h"
#include "common/host_path.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "platform/directory_listing.h"
#include "platform/display_path.h"
#include "platform/file_operations.h"

#include <cerrno>

namespace {

constexpr std::uint32_t kPlace = 104;
constexpr std::uint32_t kRefusedStep = 1;
constexpr std::uint32_t kImageStep = 2;
constexpr std::uint32_t kOtherStep = 3;
constexpr std::uint32_t kFolderStep = 4;
constexpr int kContentsLines = 5;
constexpr int kFileLines = 3;
constexpr int kFolderLines = 4;

enum class Choice {
    Delete,
    Skip,
    Stop,
};

// One command's run over one folder: the all and kept flags live as long as it.
class FolderDeletion
{
public:
    FolderDeletion(CAlbDoc &document, DeleteTarget how)
        : doc(document), target(how), folder(document.appSettings().currentFolder)
    { }

    void run();

private:
    bool askAboutContents(const FolderSurvey &survey);
    Choice askAboutFile(const std::string &name);
    bool deleteFiles(const std::vector<std::string> &names, std::uint32_t failureStep);
    void removeOrderFile() const;
    void removeFolder();
    void reportKept(int errorNumber) const;

    CAlbDoc &doc;
    DeleteTarget target;
    const std::string folder;
    bool all = false;
    bool kept = false;
};

void FolderDeletion::run()
{
    const FolderSurvey survey = SurveyFolder(doc, folder);
    if (survey.subfolders > 0) {
        ShowErrorMessage(nullptr, Msg::CleanupSubfoldersFirst, 0, MessageBoxType::IconWarning,
                         Module::FileOperations, kPlace, kRefusedStep, nullptr);
        return;
    }
    if (!askAboutContents(survey) || !deleteFiles(survey.imageNames, kImageStep))
        return;
    removeOrderFile();
    if (!deleteFiles(survey.otherNames, kOtherStep) || kept)
        return;
    if (!all
        && Confirm(nullptr, Msg::DeleteFolderQuestion, Msg::DeleteFolderConfirmTitle, false,
                   kFolderLines, { DisplayPath(folder) })
                != ConfirmAnswer::Yes)
        return;
    removeFolder();
}

// False when the user cancelled.
bool FolderDeletion::askAboutContents(const FolderSurvey &survey)
{
    const auto images = static_cast<long long>(survey.imageNames.size());
    const auto others = static_cast<long long>(survey.otherNames.size());
    if (images + others == 0)
        return true;
    const int answer = Confirm(nullptr, Msg::FolderContentsQuestion, Msg::DeleteFolderTitle, false,
                               kContentsLines, { images, others });
    all = answer == ConfirmAnswer::Yes;
    return all || answer == ConfirmAnswer::No;
}

Choice FolderDeletion::askAboutFile(const std::string &name)
{
    if (all)
        return Choice::Delete;
    const int answer = Confirm(nullptr, Msg::DeleteFileQuestion, Msg::DeleteFileTitle, true,
                               kFileLines, { ShownName(name) });
    if (answer == ConfirmAnswer::No) {
        kept = true;
        return Choice::Skip;
    }
    if (answer != ConfirmAnswer::Yes && answer != ConfirmAnswer::YesToAll)
        return Choice::Stop;
    all = answer == ConfirmAnswer::YesToAll;
    return Choice::Delete;
}

// False when the user cancelled. A file that cannot be deleted keeps the folder.
bool FolderDeletion::deleteFiles(const std::vector<std::string> &names, std::uint32_t failureStep)
{
    for (const std::string &name : names) {
        const Choice choice = askAboutFile(name);
        if (choice == Choice::Stop)
            return false;
        if (choice == Choice::Skip)
            continue;
        const std::string path = JoinPath(folder, name);
        int reason = 0;
        if (!DeleteFileForce(path, target, &reason)) {
            const CAlbFileException why(reason, path);
            ReportUnableToAccess(kPlace, failureStep, &why);
            kept = true;
        } else if (ImageItem *item = doc.ItemNamed(name)) {
            doc.RecheckItem(item);
        }
    }
    return true;
}

// The order file is the album's own: it goes for good, and a failure shows when the folder
// cannot be removed.
void FolderDeletion::removeOrderFile() const
{
    const std::string path = JoinPath(folder, OrderFileName());
    if (ProbeFile(path))
        DeleteFileForce(path, DeleteTarget::Remove);
}

// Only an empty folder is removed: one that gained a file since the survey is kept and the user
// told why. The device root is never removed.
void FolderDeletion::removeFolder()
{
    if (RemoveBackslash(folder) == "\\") {
        reportKept(EPERM);
        return;
    }
    if (!ListDirectory(folder, "*", ListingScope::Every).empty()) {
        reportKept(ENOTEMPTY);
        return;
    }
    try {
        RemoveFolderAt(folder);
    } catch (const CAlbFileException &failure) {
        reportKept(failure.errorNumber());
        return;
    }
    if (DocumentFrame *frame = doc.mainFrame())
        frame->refreshTree();
}

void FolderDeletion::reportKept(int errorNumber) const
{
    const CAlbFileException reason(errorNumber, folder);
    ShowErrorMessage(nullptr, Msg::UnableToAccessFile, 0, MessageBoxType::IconWarning,
                     Module::FileOperations, kPlace, kFolderStep, &reason);
}

} // namespace

void DeleteFolder(CAlbDoc &doc, DeleteTarget target)
{
    RunFileOperation(kPlace, [&] { FolderDeletion(doc, target).run(); });
    doc.UpdateViews();
}
