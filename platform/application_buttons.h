#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The host keys that serve as the application buttons the capture can be started from. Button n
// (counting from 1) is entry n - 1. Button 1 is the Print key; the others are chords that desktops
// leave free, so that grabbing them on the root window does not steal a shortcut the user has.
struct ApplicationButton
{
    // The name the capture dialog lists ("Print").
    std::string name;
    // X11 modifier mask of the chord (Shift 1, Control 4, Mod1 8, Mod4 64).
    std::uint16_t modifiers = 0;
    // X11 key symbol of the chord's key.
    std::uint32_t keysym = 0;
};

const std::vector<ApplicationButton> &ApplicationButtons();

// The buttons' names in button order.
std::vector<std::string> ApplicationButtonNames();
