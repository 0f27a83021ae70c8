#include "platform/sounds.h"

#include "common/ascii_case.h"

#include <QApplication>

#include <canberra.h>
#include <cstdio>
#include <memory>

namespace {

struct SoundEvent
{
    std::string_view systemName;
    std::string_view eventName;
};

constexpr SoundEvent kSoundEvents[] = {
    { "Critical", "dialog-error" },
    { "Exclamation", "dialog-warning" },
    { "Asterisk", "dialog-information" },
    { "Question", "dialog-question" },
    { "Default", "bell" },
};

SoundPlayer defaultPlayer;
SoundPlayer *currentPlayer = &defaultPlayer;

struct ContextDeleter
{
    void operator()(ca_context *context) const { ca_context_destroy(context); }
};

// The desktop's sound-event context, made at the first sound and kept for the program's life:
// it holds the connection to the sound server, so later sounds start at once. Null when none
// could be made.
ca_context *soundContext()
{
    static const std::unique_ptr<ca_context, ContextDeleter> context = [] {
        ca_context *made = nullptr;
        if (ca_context_create(&made) != CA_SUCCESS)
            return std::unique_ptr<ca_context, ContextDeleter>();
        ca_context_change_props(made, CA_PROP_APPLICATION_NAME, "Vistrel", nullptr);
        return std::unique_ptr<ca_context, ContextDeleter>(made);
    }();
    return context.get();
}

} // namespace

void SoundPlayer::beep()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QApplication::beep();
        return;
    }
    std::fputs("\a", stderr);
    std::fflush(stderr);
}

void SoundPlayer::playSound(const std::string &name)
{
    // The context plays on its own threads: the call returns once the sound has started, so a
    // long sound never holds up a capture.
    ca_context *context = soundContext();
    const std::string event = SoundEventName(name);
    if (!context
        || ca_context_play(context, 0, CA_PROP_EVENT_ID, event.c_str(), nullptr) != CA_SUCCESS)
        beep();
}

std::string SoundEventName(const std::string &name)
{
    for (const SoundEvent &event : kSoundEvents) {
        if (SameTextIgnoringCase(event.systemName, name))
            return std::string(event.eventName);
    }
    return "bell";
}

SoundPlayer *SetSoundPlayer(SoundPlayer *player)
{
    SoundPlayer *previous = currentPlayer == &defaultPlayer ? nullptr : currentPlayer;
    currentPlayer = player ? player : &defaultPlayer;
    return previous;
}

void DefaultBeep()
{
    currentPlayer->beep();
}

void PlaySystemSound(const std::string &name)
{
    currentPlayer->playSound(name);
}
