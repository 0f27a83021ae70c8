#include "platform/application_buttons.h"

namespace {

// X11 values, spelled out so that this table needs no X11 headers.
constexpr std::uint16_t kShiftMask = 1;
constexpr std::uint16_t kMod4Mask = 64;
constexpr std::uint32_t kPrintKey = 0xff61;
constexpr std::uint32_t kF9Key = 0xffc6;
constexpr std::uint32_t kF10Key = 0xffc7;
constexpr std::uint32_t kF11Key = 0xffc8;

} // namespace

const std::vector<ApplicationButton> &ApplicationButtons()
{
    // Super+Shift with a high function key is bound by no common desktop; Print alone is the
    // key users expect a capture on.
    static const std::vector<ApplicationButton> buttons = {
        { "Print", 0, kPrintKey },
        { "Super+Shift+F9", kMod4Mask | kShiftMask, kF9Key },
        { "Super+Shift+F10", kMod4Mask | kShiftMask, kF10Key },
        { "Super+Shift+F11", kMod4Mask | kShiftMask, kF11Key },
    };
    return buttons;
}

std::vector<std::string> ApplicationButtonNames()
{
    std::vector<std::string> names;
    for (const ApplicationButton &button : ApplicationButtons())
        names.push_back(button.name);
    return names;
}
