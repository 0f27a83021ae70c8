#pragma once

#include "platform/command_route.h"

#include <cstdint>
#include <functional>
#include <vector>

// The way a command travels: the views of the panes on show, then the document, the frame and
// the application. Each target is asked in turn; the first that handles the command ends its way.
// A target that cannot be reached yet is a null entry.
class CommandChain
{
public:
    // The views change with the view mode, so they are asked for anew on every command.
    using ViewSource = std::function<std::vector<CommandTarget *>()>;

    void setTargets(std::vector<CommandTarget *> route) { targets = std::move(route); }

    void setViewSource(ViewSource source) { viewSource = std::move(source); }

    // The views of the moment followed by the fixed targets.
    std::vector<CommandTarget *> route() const;

    // Offers the command along the route. A failure that escapes a target is reported once here,
    // so that nothing is thrown into the event loop. False when nobody handled the command.
    bool dispatch(std::uint32_t id) const;

    // The state of the first target that decides it. A command nobody decides is disabled: no
    // target on the route would act on it.
    CommandState state(std::uint32_t id) const;

private:
    std::vector<CommandTarget *> targets;
    ViewSource viewSource;
};
