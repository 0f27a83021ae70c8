#include "app/file_commands.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/command_units.h"
#include "app/delete_folder.h"
#include "app/delete_pictures.h"
#include "app/doc_commands.h"
#include "app/new_folder_dialog.h"
#include "platform/settings_store.h"

namespace {

constexpr const char *kTrashSection = "Preferences";
constexpr const char *kTrashValue = "Use Trash";

} // namespace

FileCommands::FileCommands(CAlbDoc &document, const SettingsStore &settingsStore)
    : doc(document), store(settingsStore)
{ }

bool FileCommands::enabled(std::uint32_t id) const
{
    const std::int32_t mode = doc.appSettings().viewMode;
    switch (id) {
    case DocCmd::NewFolder:
    case DocCmd::DeleteFolder:
        return mode != ViewMode::Select;
    case DocCmd::DeletePictures:
        return doc.SelectedCount() >= 1
                && (mode == ViewMode::Thumbnail || mode == ViewMode::Select);
    default:
        return false;
    }
}

bool FileCommands::onCommandState(std::uint32_t id, CommandState &state)
{
    if (id != DocCmd::NewFolder && id != DocCmd::DeleteFolder && id != DocCmd::DeletePictures)
        return false;
    state.enabled = enabled(id);
    state.checked = false;
    state.radio = false;
    state.handled = true;
    return true;
}

// Each operation reports its own failures; nothing is thrown from here.
bool FileCommands::onCommand(std::uint32_t id)
{
    if (id != DocCmd::NewFolder && id != DocCmd::DeleteFolder && id != DocCmd::DeletePictures)
        return false;
    if (!enabled(id))
        return true;
    if (id == DocCmd::NewFolder)
        NewFolder(doc);
    else if (id == DocCmd::DeleteFolder)
        DeleteFolder(doc, DeleteTargetSetting(store));
    else
        DeletePictures(doc, DeleteTargetSetting(store));
    return true;
}

DeleteTarget DeleteTargetSetting(const SettingsStore &store)
{
    const auto value = store.readString(SettingsSectionKey(kTrashSection), kTrashValue);
    return value && *value == "0" ? DeleteTarget::Remove : DeleteTarget::Trash;
}

std::unique_ptr<CommandTarget> MakeFileCommands(const CommandUnitContext &context)
{
    return std::make_unique<FileCommands>(context.doc, context.store);
}
