#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/cell_sizes.h"
#include "app/doc_commands.h"
#include "app/document_frame.h"
#include "app/goto_menu.h"
#include "app/send_picture.h"
#include "common/error_report.h"
#include "common/string_ids.h"
#include "platform/help.h"

#include <new>

namespace {

constexpr std::uint32_t kMainContentsHelp = 0;

bool isGoTo(std::uint32_t id)
{
    return id >= DocCmd::GoToUpOneLevel && id <= DocCmd::GoToLast;
}

// The step of a Thumbnail Size entry; -1 for any other command.
int cellStepOf(std::uint32_t id)
{
    if (id < DocCmd::ThumbnailSizeFirst || id > DocCmd::ThumbnailSizeLast)
        return -1;
    return static_cast<int>(id - DocCmd::ThumbnailSizeFirst);
}

void reportFailure(const CAlbExceptionBase &failure)
{
    ShowErrorMessage(nullptr, 0, 0, MessageBoxType::IconError, 0, 0, 0, &failure);
}

} // namespace

// Every handler's failure is reported here once; nothing is thrown back into the event loop.
bool CAlbDoc::onCommand(std::uint32_t id)
{
    try {
        runCommand(id);
    } catch (const CAlbExceptionBase &failure) {
        reportFailure(failure);
    } catch (const std::bad_alloc &) {
        reportFailure(CAlbException(Msg::NotEnoughMemory));
    }
    switch (id) {
    case DocCmd::SelectAll:
    case DocCmd::ThumbnailView:
    case DocCmd::SelectView:
    case DocCmd::FullScreenView:
    case DocCmd::GoToButton:
    case DocCmd::ReloadFromTree:
    case DocCmd::LeaveFullScreen:
    case DocCmd::AutoRotate:
    case DocCmd::ImageInfo:
    case DocCmd::ImageInfoButton:
    case DocCmd::SendInfrared:
    case DocCmd::Options:
    case DocCmd::Help:
        return true;
    default:
        return isGoTo(id) || cellStepOf(id) >= 0;
    }
}

void CAlbDoc::runCommand(std::uint32_t id)
{
    switch (id) {
    case DocCmd::SelectAll:
        SelectAll();
        return;
    case DocCmd::ThumbnailView:
    case DocCmd::SelectView:
    case DocCmd::FullScreenView:
        SwitchView(static_cast<std::int32_t>(id));
        return;
    case DocCmd::GoToButton:
        if (frame)
            frame->showGoToPopup(GoToPopup(settings));
        return;
    case DocCmd::ReloadFromTree:
        ReloadFromTree();
        return;
    case DocCmd::LeaveFullScreen:
        LeaveFullScreen();
        return;
    case DocCmd::AutoRotate:
        // Reached only when no image view took it: the setting changes for the next picture.
        settings.prefs.prefFlags ^= PrefFlag::AutoRotate;
        return;
    case DocCmd::ImageInfo:
    case DocCmd::ImageInfoButton:
        showInfoSheet();
        return;
    case DocCmd::SendInfrared:
        if (ImageItem *item = FirstSelected())
            SendViaInfrared(nullptr, settings.currentFolder, item->fileName);
        return;
    case DocCmd::Options:
        showOptions();
        return;
    case DocCmd::Help:
        ShowHelp(kMainContentsHelp);
        return;
    default:
        // Capture Settings and Crop have their state decided here; their actions belong to the
        // capture and crop units.
        if (isGoTo(id))
            GoTo(id);
        else if (cellStepOf(id) >= 0)
            ChooseCellStep(cellStepOf(id));
        return;
    }
}

bool CAlbDoc::onCommandState(std::uint32_t id, CommandState &state)
{
    const std::int32_t mode = settings.viewMode;
    const int selected = SelectedCount();
    state.checked = false;
    state.radio = false;
    switch (id) {
    case DocCmd::NewFolder:
        // The File menu is being prepared: its Go To submenu follows the recent folders. The
        // file commands unit decides the state.
        rebuildGoToSubmenu();
        return false;
    case DocCmd::SelectAll:
        state.enabled = mode == ViewMode::Thumbnail && Count() >= 1;
        break;
    case DocCmd::ThumbnailView:
    case DocCmd::SelectView:
    case DocCmd::FullScreenView:
        state.enabled = id == DocCmd::ThumbnailView || Count() >= 1;
        state.checked = mode == static_cast<std::int32_t>(id);
        state.radio = true;
        break;
    case DocCmd::AutoRotate:
        state.enabled = true;
        state.checked = settings.autoRotate();
        break;
    case DocCmd::SendInfrared:
        state.enabled = selected == 1;
        break;
    case DocCmd::Crop:
        state.enabled = selected >= 1;
        break;
    case DocCmd::GoToButton:
    case DocCmd::ImageInfo:
    case DocCmd::ImageInfoButton:
    case DocCmd::CaptureSettings:
    case DocCmd::Options:
    case DocCmd::Help:
        state.enabled = true;
        break;
    default:
        if (const int step = cellStepOf(id); step >= 0) {
            state.checked = IsCellStep(settings, step);
            state.radio = true;
        } else if (!isGoTo(id)) {
            return false;
        }
        state.enabled = true;
        break;
    }
    state.handled = true;
    return true;
}

void CAlbDoc::rebuildGoToSubmenu()
{
    if (!frame)
        return;
    std::vector<MenuEntry> entries = GoToSubmenu(settings, goToSubmenuSize);
    goToSubmenuSize = entries.size();
    frame->setGoToSubmenu(entries);
}

void CAlbDoc::showInfoSheet()
{
    if (infoSheetRunner && infoSheetRunner(*this))
        WriteUiInfo(store, settings.ui);
}

void CAlbDoc::showOptions()
{
    if (!optionsRunner)
        return;
    AfterOptions(optionsRunner(*this));
}
