#include "platform/low_memory_notice.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The write end of the listening object's pipe, -1 when nobody listens. The handler reads it
// once; a lock-free atomic is safe to read in a signal handler.
std::atomic<int> gWriteEnd{ -1 };

void OnLowMemorySignal(int)
{
    const int saved = errno;
    const int fd = gWriteEnd.load();
    if (fd >= 0) {
        const char byte = 1;
        // A full pipe already holds a notice that is still to be read: nothing is lost.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

} // namespace

LowMemoryNotice::LowMemoryNotice(QObject *parent) : QObject(parent)
{
    static_assert(std::atomic<int>::is_always_lock_free);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = OnLowMemorySignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // The write end is published before the handler can run.
    gWriteEnd.store(ends[1]);
    if (::sigaction(SIGUSR1, &action, &previous) != 0) {
        gWriteEnd.store(-1);
        ::close(ends[0]);
        ::close(ends[1]);
        return;
    }
    readEnd = ends[0];
    writeEnd = ends[1];
    notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &LowMemoryNotice::drain);
}

LowMemoryNotice::~LowMemoryNotice()
{
    if (readEnd < 0)
        return;
    int mine = writeEnd;
    // Only the object that listens now hands the signal back; an older one was taken over.
    if (gWriteEnd.compare_exchange_strong(mine, -1))
        ::sigaction(SIGUSR1, &previous, nullptr);
    delete notifier;
    ::close(readEnd);
    ::close(writeEnd);
}

void LowMemoryNotice::drain()
{
    // Several signals before the loop woke up are one notice.
    char bytes[64];
    bool any = false;
    while (::read(readEnd, bytes, sizeof bytes) > 0)
        any = true;
    if (any)
        emit noticed();
}
