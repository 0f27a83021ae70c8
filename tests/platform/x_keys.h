#pragma once

#include "platform/x_connection.h"

#include <cstdint>

// Keyboard helpers for tests that play another X client beside the program.

inline constexpr std::uint32_t kPrintKeysym = 0xff61;

// The key code whose unshifted symbol is keysym; 0 when none.
inline std::uint8_t KeyCodeOf(XConnection &x, std::uint32_t keysym)
{
    const xcb_setup_t *setup = x.setup();
    const int count = setup->max_keycode - setup->min_keycode + 1;
    XcbReply<xcb_get_keyboard_mapping_reply_t> map(xcb_get_keyboard_mapping_reply(
            x.get(), xcb_get_keyboard_mapping(x.get(), setup->min_keycode, count), nullptr));
    if (!map)
        return 0;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map.get());
    for (int code = 0; code < count; ++code) {
        if (syms[code * map->keysyms_per_keycode] == keysym)
            return static_cast<std::uint8_t>(setup->min_keycode + code);
    }
    return 0;
}

// Grabs the key of keysym with the modifiers (none by default) for this client; true when the
// server granted it.
inline bool GrabKey(XConnection &x, std::uint32_t keysym, std::uint16_t modifiers = 0)
{
    xcb_void_cookie_t cookie =
            xcb_grab_key_checked(x.get(), 1, x.screen()->root, modifiers, KeyCodeOf(x, keysym),
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    XcbReply<xcb_generic_error_t> error(xcb_request_check(x.get(), cookie));
    return !error;
}

// Moves keysym from its key to the highest key code without a symbol, which every client is told
// of by a mapping notice. Returns the new key code, 0 when no key was free.
inline std::uint8_t MoveKeysymToSpareKey(XConnection &x, xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = x.setup();
    std::uint8_t spare = 0;
    for (int code = setup->max_keycode; code > setup->min_keycode && spare == 0; --code) {
        XcbReply<xcb_get_keyboard_mapping_reply_t> map(xcb_get_keyboard_mapping_reply(
                x.get(), xcb_get_keyboard_mapping(x.get(), static_cast<std::uint8_t>(code), 1),
                nullptr));
        if (map && xcb_get_keyboard_mapping_keysyms(map.get())[0] == 0)
            spare = static_cast<std::uint8_t>(code);
    }
    const std::uint8_t old = KeyCodeOf(x, keysym);
    if (spare == 0 || old == 0)
        return 0;
    const xcb_keysym_t none = 0;
    xcb_change_keyboard_mapping(x.get(), 1, old, 1, &none);
    xcb_change_keyboard_mapping(x.get(), 1, spare, 1, &keysym);
    xcb_flush(x.get());
    return spare;
}
