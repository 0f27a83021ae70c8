#pragma once

#include <cstdint>

// The enabled and checked state of one command, asked for before a menu opens and whenever the
// bars refresh. A handler that fills it sets handled.
struct CommandState
{
    bool enabled = true;
    bool checked = false;
    // The command is one of a radio group and shown checked as such.
    bool radio = false;
    bool handled = false;
};

// Anything on the command route (views, the document, the frame, the application).
class CommandTarget
{
public:
    virtual ~CommandTarget() = default;
    // True when the command was handled here and must go no further.
    virtual bool onCommand(std::uint32_t id) = 0;
    // Fills state and returns true when this target decides the command's state.
    virtual bool onCommandState(std::uint32_t id, CommandState &state) = 0;
};
