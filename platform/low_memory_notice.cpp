#include "platform/low_memory_notice.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Per host signal, the write end of the listening object's pipe, -1 when nobody listens. The
// handler reads it once; a lock-free atomic is safe to read in a signal handler.
std::atomic<int> gWriteEnds[NSIG];

struct WriteEndsCleared
{
    WriteEndsCleared()
    {
        for (auto &end : gWriteEnds)
            end.store(-1);
    }
};

void OnSignal(int signalNumber)
{
    const int saved = errno;
    const int fd = gWriteEnds[signalNumber].load();
    if (fd >= 0) {
        const char byte = 1;
        // A full pipe already holds a notice that is still to be read: nothing is lost.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

} // namespace

SignalNotice::SignalNotice(std::initializer_list<int> hostSignals, QObject *parent)
    : QObject(parent)
{
    static_assert(std::atomic<int>::is_always_lock_free);
    static WriteEndsCleared cleared;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd = ends[0];
    writeEnd = ends[1];
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : hostSignals) {
        // The write end is published before the handler can run.
        const int before = gWriteEnds[number].exchange(writeEnd);
        struct sigaction old = {};
        if (::sigaction(number, &action, &old) != 0) {
            gWriteEnds[number].store(before);
            release();
            return;
        }
        previous.emplace_back(number, old);
    }
    notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalNotice::drain);
}

SignalNotice::~SignalNotice()
{
    release();
}

void SignalNotice::release()
{
    if (readEnd < 0)
        return;
    for (auto &[number, old] : previous) {
        int mine = writeEnd;
        // Only the object that listens now hands the signal back; an older one was taken over.
        if (gWriteEnds[number].compare_exchange_strong(mine, -1))
            ::sigaction(number, &old, nullptr);
    }
    previous.clear();
    delete notifier;
    notifier = nullptr;
    ::close(readEnd);
    ::close(writeEnd);
    readEnd = writeEnd = -1;
}

void SignalNotice::drain()
{
    // Several signals before the loop woke up are one notice.
    char bytes[64];
    bool any = false;
    while (::read(readEnd, bytes, sizeof bytes) > 0)
        any = true;
    if (any)
        emit noticed();
}
