#include "platform/sounds.h"

#include "common/ascii_case.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <cstdio>

namespace {

// The desktop's sound-event player: plays a theme sound by its event name and exits.
constexpr char kEventPlayer[] = "canberra-gtk-play";

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
    QString player = QStandardPaths::findExecutable(QString::fromLatin1(kEventPlayer));
    // Started on its own so that a slow sound server never holds up a capture.
    QStringList arguments{ QStringLiteral("-i"), QString::fromStdString(SoundEventName(name)) };
    if (player.isEmpty() || !QProcess::startDetached(player, arguments))
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
