#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// The host's low-memory notice. The desktop has no such notice of its own, so SIGUSR1 stands for
// it: the signal handler only writes a byte into a pipe (all it may safely do), and the pipe's
// read end wakes the event loop, which emits noticed() on the user-interface thread.
//
// One object listens at a time; a newer one takes the signal over, and the signal's earlier
// handling comes back when the listening object goes.
class LowMemoryNotice : public QObject
{
    Q_OBJECT

public:
    explicit LowMemoryNotice(QObject *parent = nullptr);
    ~LowMemoryNotice() override;
    LowMemoryNotice(const LowMemoryNotice &) = delete;
    LowMemoryNotice &operator=(const LowMemoryNotice &) = delete;

    // False when the pipe or the handler could not be set up: no notice will come.
    bool listening() const { return readEnd >= 0; }

signals:
    void noticed();

private:
    void drain();

    int readEnd = -1;
    int writeEnd = -1;
    QSocketNotifier *notifier = nullptr;
    struct sigaction previous = {};
};
