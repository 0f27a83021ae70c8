#include "sheets/save_routine.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/confirm.h"
#include "app/image_item.h"
#include "common/alb_exception.h"
#include "common/dir_record.h"
#include "common/error_report.h"
#include "common/host_path.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "sheets/save_choices.h"
#include "views/view_picture.h"

#include <new>

namespace {

constexpr std::uint32_t kPlaceCropAndSave = 105;
constexpr int kQuestionLines = 3;

// The item's picture for the length of a save, however it ends. A window that shows the item
// at full size lends its picture. A window that shows a smaller one has it set aside and given
// back afterwards: it is drawn as before, and the full-size picture, decoded for this save only,
// is not kept in memory. A picture no window shows is released.
class PictureScope
{
public:
    explicit PictureScope(ImageItem &held) : item(held)
    {
        if (item.pictureUsers == 0 || item.frames.empty() || item.framesPercent >= 100)
            return;
        shown = std::move(item.frames);
        shownPercent = item.framesPercent;
        item.frames.clear();
        item.framesPercent = 100;
        item.flags &= static_cast<std::uint16_t>(~ItemFlag::ViewCached);
    }

    ~PictureScope()
    {
        if (shown.empty()) {
            ReleaseUnshownFrames(item);
            return;
        }
        item.frames = std::move(shown);
        item.framesPercent = shownPercent;
        item.flags |= ItemFlag::ViewCached;
    }

    PictureScope(const PictureScope &) = delete;
    PictureScope &operator=(const PictureScope &) = delete;

private:
    ImageItem &item;
    FrameArray shown;
    std::int32_t shownPercent = 100;
};

// The file now at path is in the folder on show: the item of that name is read again (its
// decoded pictures show the old file), or a new item joins the list.
void updateAlbum(CAlbDoc &doc, const std::string &path, const std::string &name, bool overwriting)
{
    if (ImageItem *item = overwriting ? doc.ItemNamed(name) : nullptr) {
        const bool wasSelected = item->selected();
        item->releasePictures();
        if (doc.RecheckItem(item))
            doc.SelectItem(item, wasSelected);
        return;
    }
    DirectoryRecord entry;
    if (FindFileRecord(path, entry))
        doc.AddItem(entry);
}

void reportFailure(QWidget *owner, const std::string &name, const CAlbExceptionBase &failure)
{
    ShowErrorMessage(owner, Msg::FailedToCrop, 0, MessageBoxType::IconError, Module::CropAndSave,
                     kPlaceCropAndSave, 1, &failure, { ShownName(name) });
}

} // namespace

void savePicture(ImageItem &item, const std::string &path, const SaveOptions &options,
                 const Rect *crop, const ItemPictureLoader &load)
{
    PictureScope scope(item);
    const std::uint32_t failure = load ? load(item, 100) : Msg::NotEnoughMemory;
    if (failure != 0)
        ThrowAlb(failure);
    if (item.frames.empty() || !item.frames.front() || item.framesPercent != 100)
        ThrowAlb(Msg::NotEnoughMemory);
    SaveDecodedPicture(item.frames.front()->image, path, options, crop);
}

CropOutcome cropAndSave(CAlbDoc &doc, QWidget *owner, const CropJob &job, const PictureSaver &save)
{
    CropOutcome outcome;
    if (!job.item)
        return outcome;
    ImageItem &item = *job.item;
    outcome.name = DestinationName(item.fileName, job.appendage, job.options.format);
    const std::string path = AddBackslash(job.folder) + outcome.name;
    const bool overwriting = ProbeFile(path);
    if (overwriting
        && Confirm(owner, Msg::OverwriteImageQuestion, Msg::CropTitle, false, kQuestionLines,
                   { ShownName(outcome.name) })
                != ConfirmAnswer::Yes)
        return outcome;

    const AppSettings &settings = doc.appSettings();
    const bool inShownFolder = SameFolder(job.folder, settings.currentFolder);
    outcome.replacedItem = inShownFolder && outcome.name == item.fileName;
    try {
        WaitCursor wait(doc.mainFrame());
        const Rect crop{ job.crop.x, job.crop.y, job.crop.x + job.crop.width,
                         job.crop.y + job.crop.height };
        save(item, path, job.options, &crop);
        if (inShownFolder && ProbeFile(path))
            updateAlbum(doc, path, outcome.name, overwriting);
    } catch (const CAlbExceptionBase &failure) {
        reportFailure(owner, outcome.name, failure);
        outcome.result = CropOutcome::Failed;
        return outcome;
    } catch (const std::bad_alloc &) {
        reportFailure(owner, outcome.name, CAlbException(Msg::NotEnoughMemory));
        outcome.result = CropOutcome::Failed;
        return outcome;
    }
    outcome.result = CropOutcome::Saved;
    return outcome;
}
