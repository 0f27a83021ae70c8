#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Hands a PNG picture to the portal helper program (platform/helper_screen_grab.h) started with
// "--clipboard": it reads the picture from its standard input, puts it on the desktop's clipboard
// through Qt (the compositor's data device on Wayland) and stays, in a session of its own and
// without the caller's output, until another program takes the clipboard. Returns once the helper
// says the clipboard is its own: true, or false with the reason in error.
bool OfferClipboardThroughHelper(const std::string &program, const std::vector<std::uint8_t> &png,
                                 std::string &error);

// The helper's side: the byte it writes to standard output once it holds the clipboard (any other
// ending of its output means it could not).
inline constexpr char kClipboardHeld = '1';
