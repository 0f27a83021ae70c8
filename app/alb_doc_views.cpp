#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/cell_sizes.h"
#include "app/doc_commands.h"
#include "app/document_frame.h"
#include "app/window_messages.h"

namespace {

bool showsOnePicture(std::int32_t mode)
{
    return mode == ViewMode::Select || mode == ViewMode::FullScreen;
}

// Sets a flag of the settings for the life of the object, so that an exception cannot leave it
// set.
class FlagScope
{
public:
    FlagScope(std::uint32_t &flagsIn, std::uint32_t bitIn) : flags(flagsIn), bit(bitIn)
    {
        flags |= bit;
    }

    ~FlagScope() { flags &= ~bit; }

    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    std::uint32_t &flags;
    std::uint32_t bit;
};

} // namespace

void CAlbDoc::UpdateViews()
{
    if (Count() == 0 && inSelectOrFullScreen()) {
        if (frame)
            frame->sendCommand(ViewMode::Thumbnail);
        return;
    }
    if (inSelectOrFullScreen()) {
        if (!FirstSelected())
            SelectItem(ItemAt(0), true);
        else if (SelectedCount() > 1)
            keepOnlySelected(FirstSelected());
    }
    if (frame)
        frame->refreshViews(IndexOf(FirstSelected()));
}

void CAlbDoc::SwitchView(std::int32_t mode)
{
    if (!frame)
        return;
    if (Count() == 0 && showsOnePicture(mode))
        mode = ViewMode::Thumbnail;
    if (showsOnePicture(mode) && SelectedCount() != 1) {
        ImageItem *keep = FirstSelected() ? FirstSelected() : ItemAt(0);
        if (keep)
            keepOnlySelected(keep);
        else
            mode = ViewMode::Thumbnail;
    }
    if (mode == settings.viewMode)
        return;
    {
        FlagScope switching(settings.appFlags, AppFlag::SwitchingView);
        settings.previousViewMode = settings.viewMode;
        settings.viewMode = mode;
        frame->arrangePanes(mode, settings.previousViewMode);
        frame->setFullScreen(mode == ViewMode::FullScreen,
                             mode == ViewMode::Select ? DocToolbar::Select : DocToolbar::Main);
        frame->relayoutAndPaint();
    }
    frame->messageToTree(WM_LIST_CHANGED, 0, 0, false);
    frame->messageToThumbnails(WM_LIST_CHANGED, 0, 0, false);
    frame->messageToImageView(WM_LIST_CHANGED, 0, 0, false);
}

void CAlbDoc::LeaveFullScreen()
{
    if (settings.viewMode != ViewMode::FullScreen)
        return;
    std::int32_t back = settings.previousViewMode;
    if (back != ViewMode::Thumbnail && back != ViewMode::Select) {
        back = ViewMode::Thumbnail;
        settings.previousViewMode = ViewMode::Thumbnail;
    }
    SwitchView(back);
}

void CAlbDoc::SelectAll()
{
    if (settings.viewMode != ViewMode::Thumbnail || Count() == 0 || !frame
        || !frame->hasThumbnailView())
        return;
    frame->focusThumbnailView();
    for (int i = 0; i < Count(); ++i)
        ItemAt(i)->setSelected(true);
    frame->repaintThumbnails();
}

void CAlbDoc::AfterOptions(const OptionsOutcome &outcome)
{
    if (outcome.thumbnailsChanged) {
        for (int i = 0; i < Count(); ++i)
            ItemAt(i)->releaseThumbnail();
    }
    if (!frame)
        return;
    if (settings.viewMode == ViewMode::Select)
        frame->messageToImageView(WM_LIST_CHANGED, 0, 1, false);
    if (outcome.thumbnailsChanged)
        frame->messageToThumbnails(WM_LIST_CHANGED, 0, 1, false);
}

bool CAlbDoc::ChooseCellStep(int index)
{
    if (!SetCellStep(settings, index))
        return false;
    OptionsOutcome changed;
    changed.accepted = true;
    changed.thumbnailsChanged = true;
    AfterOptions(changed);
    return true;
}

bool CAlbDoc::setThumbnailPixelRatio(double ratio)
{
    if (ratio <= 0 || ratio == pixelRatio)
        return false;
    pixelRatio = ratio;
    for (int i = 0; i < Count(); ++i)
        ItemAt(i)->releaseThumbnail();
    return true;
}
