#pragma once

#include <cstdint>

// The main frame's window messages and timers that belong to units outside the application's
// folder (the capture's hot key 786, its confirmation 1116 and its timer 120). The program sets
// one handler on the frame; the frame hands it every numbered message and timer it gets.
class FrameMessageHandler
{
public:
    virtual ~FrameMessageHandler() = default;
    // The message's result; 0 when the handler does not take it.
    virtual std::intptr_t onFrameMessage(std::uint32_t message, std::uintptr_t first,
                                         std::intptr_t second) = 0;
    // False when the handler does not take the timer.
    virtual bool onFrameTimer(std::uint32_t timerId) = 0;
};
