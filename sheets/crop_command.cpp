#include "sheets/crop_command.h"

#include "app/alb_doc.h"
#include "sheets/save_sheet.h"

CropCommand::CropCommand(CAlbDoc &document, const ImageLists *imageLists, QWidget *window)
    : doc(document), lists(imageLists), owner(window), runSheet(RunSaveSheet)
{ }

bool CropCommand::onCommand(std::uint32_t id)
{
    if (id != kCommandId)
        return false;
    // The menu and bar follow the selection, but a command can still arrive after it emptied.
    if (doc.SelectedCount() >= 1 && runSheet)
        runSheet(doc, lists, owner);
    return true;
}

bool CropCommand::onCommandState(std::uint32_t id, CommandState &state)
{
    if (id != kCommandId)
        return false;
    state.enabled = doc.SelectedCount() >= 1;
    state.handled = true;
    return true;
}
