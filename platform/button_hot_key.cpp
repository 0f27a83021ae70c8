#include "platform/button_hot_key.h"

#include "platform/application_buttons.h"
#include "platform/x_connection.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

namespace {

constexpr std::uint32_t kNumLockKeysym = 0xff7f;

} // namespace

std::intptr_t ButtonHotKeyParameter(int button, std::uint32_t extraModifiers)
{
    const auto keyCode = static_cast<std::intptr_t>(kButtonKeyCodeBase) + button;
    return (keyCode << 16) | static_cast<std::intptr_t>(kButtonHotKeyModifier | extraModifiers);
}

ButtonHotKey::ButtonHotKey(HotKeyDelivery delivery, const std::string &displayName)
    : x(std::make_unique<XConnection>(displayName)), deliver(std::move(delivery))
{
    if (!x->usable())
        return;
    notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(x->get()),
                                                 QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                     [this] { processEvents(); });
}

ButtonHotKey::~ButtonHotKey()
{
    unregisterButton();
}

bool ButtonHotKey::usable() const
{
    return x->usable();
}

std::uint8_t ButtonHotKey::keyCodeOf(std::uint32_t keysym) const
{
    const xcb_setup_t *setup = x->setup();
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - first + 1;
    XcbReply<xcb_get_keyboard_mapping_reply_t> map(xcb_get_keyboard_mapping_reply(
            x->get(), xcb_get_keyboard_mapping(x->get(), setup->min_keycode, count), nullptr));
    if (!map)
        return 0;
    const int perCode = map->keysyms_per_keycode;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(map.get());
    // The key's unshifted symbol first; a key that has it only on a shifted level serves too.
    for (int column = 0; column < perCode; ++column) {
        for (int code = 0; code < count; ++code) {
            const int at = code * perCode + column;
            if (at < length && syms[at] == keysym)
                return static_cast<std::uint8_t>(first + code);
        }
    }
    return 0;
}

std::uint16_t ButtonHotKey::numLockMask() const
{
    const std::uint8_t numLock = keyCodeOf(kNumLockKeysym);
    if (numLock == 0)
        return 0;
    XcbReply<xcb_get_modifier_mapping_reply_t> mods(
            xcb_get_modifier_mapping_reply(x->get(), xcb_get_modifier_mapping(x->get()), nullptr));
    if (!mods)
        return 0;
    const int perModifier = mods->keycodes_per_modifier;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(mods.get());
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (codes[modifier * perModifier + i] == numLock)
                return static_cast<std::uint16_t>(1u << modifier);
        }
    }
    return 0;
}

std::vector<std::uint16_t> ButtonHotKey::lockVariants() const
{
    const std::uint16_t numLock = numLockMask();
    std::vector<std::uint16_t> variants = { 0, XCB_MOD_MASK_LOCK };
    if (numLock != 0 && numLock != XCB_MOD_MASK_LOCK) {
        variants.push_back(numLock);
        variants.push_back(static_cast<std::uint16_t>(numLock | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

// Grabs the key with the modifiers and every lock variant, or none of them.
bool ButtonHotKey::grabVariants(const Grab &chord, std::uint16_t modifiers)
{
    xcb_connection_t *c = x->get();
    const xcb_window_t root = x->screen()->root;
    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint16_t lock : chord.locks) {
        cookies.push_back(
                xcb_grab_key_checked(c, 1, root, static_cast<std::uint16_t>(modifiers | lock),
                                     chord.keyCode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool refused = false;
    for (xcb_void_cookie_t cookie : cookies) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
        if (error)
            refused = true;
    }
    if (refused || xcb_connection_has_error(c)) {
        // Some variants may have been ours before another was refused; ungrabbing releases only
        // our own grabs, never the other client's. Those of the button held stay.
        std::vector<KeyCombo> taken;
        for (std::uint16_t lock : chord.locks)
            taken.push_back({ chord.keyCode, static_cast<std::uint16_t>(modifiers | lock) });
        release(taken, heldChord);
        return false;
    }
    return true;
}

// Every key and modifiers the chord holds grabbed: the chord and its extra chords, each with
// every lock variant.
std::vector<ButtonHotKey::KeyCombo> ButtonHotKey::combosOf(const Grab &chord)
{
    std::vector<KeyCombo> combos;
    std::vector<std::uint16_t> chords = { chord.modifiers };
    for (std::uint16_t extra : chord.extras)
        chords.push_back(static_cast<std::uint16_t>(chord.modifiers | extra));
    for (std::uint16_t modifiers : chords) {
        for (std::uint16_t lock : chord.locks)
            combos.push_back({ chord.keyCode, static_cast<std::uint16_t>(modifiers | lock) });
    }
    return combos;
}

// Ungrabs the combinations, except those the chord kept holds (a grab is one per key and
// modifiers, whichever chord asked for it).
void ButtonHotKey::release(const std::vector<KeyCombo> &combos, const Grab &kept)
{
    xcb_connection_t *c = x->get();
    const xcb_window_t root = x->screen()->root;
    const std::vector<KeyCombo> keep = combosOf(kept);
    for (const KeyCombo &combo : combos) {
        if (std::find(keep.begin(), keep.end(), combo) == keep.end())
            xcb_ungrab_key(c, combo.first, root, combo.second);
    }
    // A round trip, so that the grab is gone (or the connection known broken) on return.
    XcbReply<xcb_get_input_focus_reply_t> sync(
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// The button's own chord must be had; the chords with Shift and with Alt added are taken where
// the chord lacks that modifier and no other program holds them (a desktop may keep Shift+Print
// for a tool of its own), and are left out otherwise.
bool ButtonHotKey::grab(Grab &chord)
{
    if (!grabVariants(chord, chord.modifiers))
        return false;
    chord.extras.clear();
    for (std::uint16_t extra :
         { std::uint16_t(XCB_MOD_MASK_SHIFT), std::uint16_t(XCB_MOD_MASK_1) }) {
        const auto modifiers = static_cast<std::uint16_t>(chord.modifiers | extra);
        if ((chord.modifiers & extra) == 0 && grabVariants(chord, modifiers))
            chord.extras.push_back(extra);
    }
    return true;
}

bool ButtonHotKey::registerButton(int n)
{
    const auto &buttons = ApplicationButtons();
    if (!usable() || n < 1 || n > static_cast<int>(buttons.size()))
        return false;
    // Replies read while asking may bring events into the connection's queue, which the socket
    // notifier no longer sees.
    QTimer::singleShot(0, notifier.get(), [this] { processEvents(); });
    const ApplicationButton &button = buttons[static_cast<std::size_t>(n - 1)];
    Grab chord;
    chord.keyCode = keyCodeOf(button.keysym);
    chord.modifiers = button.modifiers;
    if (chord.keyCode == 0)
        return false;
    chord.locks = lockVariants();
    const bool same = held != 0 && chord.keyCode == heldChord.keyCode
            && chord.modifiers == heldChord.modifiers && chord.locks == heldChord.locks;
    if (same)
        return true;
    // The new grab is made before the old one goes: a key that stays where it was (a Num Lock
    // moved to another modifier) is never left ungrabbed, so no press is lost between the two.
    if (!grab(chord))
        return false;
    release(combosOf(heldChord), chord);
    held = n;
    heldChord = chord;
    return true;
}

bool ButtonHotKey::unregisterButton()
{
    if (held == 0)
        return true;
    if (!usable())
        return false;
    release(combosOf(heldChord), Grab{});
    held = 0;
    heldChord = {};
    if (notifier)
        QTimer::singleShot(0, notifier.get(), [this] { processEvents(); });
    return !xcb_connection_has_error(x->get());
}

// The extra modifiers of the chord pressed: those held beyond the button's own.
std::uint32_t ButtonHotKey::chordOf(std::uint16_t state) const
{
    std::uint32_t extra = 0;
    for (std::uint16_t chord : heldChord.extras) {
        if ((state & chord) != 0)
            extra |= chord == XCB_MOD_MASK_SHIFT ? kHotKeyShift : kHotKeyAlt;
    }
    return extra;
}

void ButtonHotKey::processEvents()
{
    if (usable()) {
        while (XcbReply<xcb_generic_event_t> event{ xcb_poll_for_event(x->get()) })
            handleEvent(event.get());
    }
    // A connection that broke (the server went away) would keep its socket readable for ever.
    if (!usable() && notifier)
        notifier->setEnabled(false);
}

void ButtonHotKey::handleEvent(const void *raw)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(raw);
    switch (event->response_type & 0x7f) {
    case XCB_KEY_PRESS: {
        const auto *press = static_cast<const xcb_key_press_event_t *>(raw);
        // The server repeats a key held down as releases and presses of the same time: one
        // press of the button is one message.
        const bool repeat = press->detail == lastRelease.keyCode && press->time == lastRelease.time;
        if (held == 0 || press->detail != heldChord.keyCode || repeat || !deliver)
            return;
        deliver(kHotKeyMessage, kCaptureHotKeyId,
                ButtonHotKeyParameter(held, chordOf(press->state)));
        return;
    }
    case XCB_KEY_RELEASE: {
        const auto *release = static_cast<const xcb_key_release_event_t *>(raw);
        lastRelease = { release->detail, release->time };
        return;
    }
    case XCB_MAPPING_NOTIFY:
        if (static_cast<const xcb_mapping_notify_event_t *>(raw)->request != XCB_MAPPING_POINTER
            && mappingChanged)
            mappingChanged();
        return;
    default:
        return;
    }
}
