#pragma once

#include "platform/command_route.h"
#include "platform/delete_file_force.h"

#include <memory>

class CAlbDoc;
class SettingsStore;
struct CommandUnitContext;

// New Folder (30001), Delete Folder (30002) and Delete (30003): the commands that change the file
// store, on the command route right after the document. A command that arrives while it is
// disabled (a key or a menu of a view) does nothing.
class FileCommands final : public CommandTarget
{
public:
    FileCommands(CAlbDoc &doc, const SettingsStore &store);

    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

private:
    bool enabled(std::uint32_t id) const;

    CAlbDoc &doc;
    const SettingsStore &store;
};

// Where deleted files go: the desktop's trash, unless the settings file says otherwise with
// "Use Trash=str:0" under the "Preferences" key.
DeleteTarget DeleteTargetSetting(const SettingsStore &store);

// The unit's maker for RegisterCommandUnit.
std::unique_ptr<CommandTarget> MakeFileCommands(const CommandUnitContext &context);
