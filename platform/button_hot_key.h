#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QSocketNotifier;
class XConnection;

// The hot-key message a window gets when its hot key is pressed: the first parameter is the hot
// key's id, the second the modifier in its low 16 bits and the key code in its high 16 bits.
inline constexpr std::uint32_t kHotKeyMessage = 786;
// The one hot key of the capture button, its modifier, and the key code of button 1 less one.
inline constexpr std::uint32_t kCaptureHotKeyId = 256;
inline constexpr std::uint32_t kButtonHotKeyModifier = 8;
inline constexpr std::uint32_t kButtonKeyCodeBase = 192;

// Modifier bits the hot-key message adds to the button's own when the button was pressed with
// Shift or Alt held (the button's extra chords).
inline constexpr std::uint32_t kHotKeyAlt = 1;
inline constexpr std::uint32_t kHotKeyShift = 4;

// The hot-key message's second parameter for button n (key code 192 + n), pressed with the extra
// modifiers given (kHotKeyShift, kHotKeyAlt).
std::intptr_t ButtonHotKeyParameter(int button, std::uint32_t extraModifiers = 0);

// Receives the hot-key message: (message, first, second), as a window's message handler does.
using HotKeyDelivery =
        std::function<void(std::uint32_t message, std::uintptr_t first, std::intptr_t second)>;

// A registration of the capture key for the whole desktop: one application button at a time,
// whose presses come as the hot-key message (786).
class HotKeyRegistration
{
public:
    virtual ~HotKeyRegistration() = default;
    // Claims button n; the button held before is let go only when that succeeded.
    virtual bool registerButton(int n) = 0;
    // Lets the button held go. True when nothing of ours remains claimed.
    virtual bool unregisterButton() = 0;
    // The button held, 0 when none.
    virtual int registeredButton() const = 0;
    // What to do when the keys may have moved (the owner registers again).
    virtual void setMappingChanged(std::function<void()> changed) = 0;
};

// Claims one application button (platform/application_buttons.h) as a system-wide hot key: a
// passive grab of its chord on the X11 root window, through a connection of its own so that it
// works whatever Qt draws on. The chord is grabbed with every combination of Caps Lock and Num
// Lock, so that neither defeats it, and with Shift and with Alt added as extra chords of the same
// button (where the chord lacks them and no other client holds them), held and released with it.
// Pressing it delivers the hot-key message (786) through the delivery function, once per press
// however long the key is held down, with kHotKeyShift or kHotKeyAlt added for an extra chord.
// Only one button is held at a time.
//
// Another client that holds the chord (or any of its lock variants) makes registration fail: X
// gives grabs to the first client that asks and no client can take another's, so there is no
// way to release a foreign registration first. A failed registration leaves nothing grabbed.
//
// The server's keyboard-mapping change (the key codes of the chords may have moved) is handed to
// the mapping-change function; its owner is expected to unregister and register again.
//
// The grab ends with the connection: a program that dies loses it; a normal exit should
// unregister explicitly (the destructor does).
class ButtonHotKey final : public HotKeyRegistration
{
public:
    // displayName empty means $DISPLAY. Without an X server the object is unusable and every
    // registration fails.
    explicit ButtonHotKey(HotKeyDelivery delivery, const std::string &displayName = {});
    ~ButtonHotKey() override;
    ButtonHotKey(const ButtonHotKey &) = delete;
    ButtonHotKey &operator=(const ButtonHotKey &) = delete;

    bool usable() const;

    // Grabs button n (1 up to the number of application buttons). Registering while another
    // button is held releases that one only when the new grab succeeded; registering the button
    // already held keeps its grab unless the key mapping moved it, when it is grabbed afresh.
    // False when n names no button, its key has no key code, or the server refused (another
    // client holds it).
    bool registerButton(int n) override;
    // Releases the button held. True when nothing of ours remains grabbed (also when nothing
    // was held); false only when the server can no longer be told.
    bool unregisterButton() override;

    // The button held, 0 when none.
    int registeredButton() const override { return held; }

    void setMappingChanged(std::function<void()> changed) override
    {
        mappingChanged = std::move(changed);
    }

    // Handles the events the connection has received (the socket notifier calls this; tests may
    // call it after requests of their own).
    void processEvents();

private:
    struct Grab
    {
        std::uint8_t keyCode = 0;
        std::uint16_t modifiers = 0;
        // The lock-key combinations grabbed with it (the Num Lock modifier may move).
        std::vector<std::uint16_t> locks;
        // The extra chords held: Shift, Alt (X modifier masks) added to modifiers.
        std::vector<std::uint16_t> extras;
    };

    // A key code and the modifiers grabbed with it.
    using KeyCombo = std::pair<std::uint8_t, std::uint16_t>;

    bool grab(Grab &chord);
    bool grabVariants(const Grab &chord, std::uint16_t modifiers);
    static std::vector<KeyCombo> combosOf(const Grab &chord);
    void release(const std::vector<KeyCombo> &combos, const Grab &kept);
    std::uint32_t chordOf(std::uint16_t state) const;
    std::vector<std::uint16_t> lockVariants() const;
    std::uint8_t keyCodeOf(std::uint32_t keysym) const;
    std::uint16_t numLockMask() const;
    void handleEvent(const void *event);

    std::unique_ptr<XConnection> x;
    std::unique_ptr<QSocketNotifier> notifier;
    HotKeyDelivery deliver;
    std::function<void()> mappingChanged;
    int held = 0;
    Grab heldChord;

    struct
    {
        std::uint8_t keyCode = 0;
        std::uint32_t time = 0;
    } lastRelease;
};
