#include "app/command_chain.h"

#include "common/error_report.h"
#include "common/string_ids.h"

#include <new>

namespace {

void Report(const CAlbExceptionBase &failure)
{
    ShowErrorMessage(nullptr, 0, 0, MessageBoxType::IconError, 0, 0, 0, &failure);
}

} // namespace

std::vector<CommandTarget *> CommandChain::route() const
{
    std::vector<CommandTarget *> all = viewSource ? viewSource() : std::vector<CommandTarget *>{};
    all.insert(all.end(), targets.begin(), targets.end());
    return all;
}

bool CommandChain::dispatch(std::uint32_t id) const
{
    try {
        for (CommandTarget *target : route()) {
            if (target && target->onCommand(id))
                return true;
        }
    } catch (const CAlbExceptionBase &failure) {
        Report(failure);
        return true;
    } catch (const std::bad_alloc &) {
        Report(CAlbException(Msg::NotEnoughMemory));
        return true;
    }
    return false;
}

CommandState CommandChain::state(std::uint32_t id) const
{
    for (CommandTarget *target : route()) {
        CommandState state;
        try {
            if (target && target->onCommandState(id, state))
                return state;
        } catch (...) {
            // A state that cannot be worked out leaves the command unavailable.
            return CommandState{ .enabled = false, .handled = true };
        }
    }
    return CommandState{ .enabled = false };
}
