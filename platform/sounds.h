#pragma once

#include <string>

// The default beep and the named system sounds ("Critical"). The program calls the free
// functions; tests install a recorder through SetSoundPlayer.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    // The host's default beep: the widget application's beep, else a bell on standard error.
    virtual void beep();
    // Plays a named sound from the desktop's sound theme without waiting for it to end; beeps
    // when the desktop cannot play it (no sound server or device, no such sound in the theme).
    virtual void playSound(const std::string &name);
};

// Installs player (nullptr restores the default); returns the previous one (nullptr for the
// default). The caller keeps ownership.
SoundPlayer *SetSoundPlayer(SoundPlayer *player);

void DefaultBeep();
void PlaySystemSound(const std::string &name);

// The sound theme's event name for a named system sound ("Critical" gives "dialog-error").
std::string SoundEventName(const std::string &name);
