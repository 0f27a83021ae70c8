#pragma once

#include <QObject>

#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

// Host signals turned into a Qt signal: the signal handler only writes a byte into a pipe (all it
// may safely do), and the pipe's read end wakes the event loop, which emits noticed() on the
// user-interface thread.
//
// One object listens to a given host signal at a time; a newer one takes the signal over, and the
// signal's earlier handling comes back when the listening object goes.
class SignalNotice : public QObject
{
    Q_OBJECT

public:
    SignalNotice(std::initializer_list<int> hostSignals, QObject *parent);
    ~SignalNotice() override;
    SignalNotice(const SignalNotice &) = delete;
    SignalNotice &operator=(const SignalNotice &) = delete;

    // False when the pipe or the handlers could not be set up: no notice will come.
    bool listening() const { return readEnd >= 0; }

signals:
    void noticed();

private:
    void drain();
    void release();

    int readEnd = -1;
    int writeEnd = -1;
    QSocketNotifier *notifier = nullptr;
    std::vector<std::pair<int, struct sigaction>> previous;
};

// The host's low-memory notice. The desktop has no such notice of its own, so SIGUSR1 stands for
// it.
class LowMemoryNotice : public SignalNotice
{
    Q_OBJECT

public:
    explicit LowMemoryNotice(QObject *parent = nullptr) : SignalNotice({ SIGUSR1 }, parent) { }
};

// A request to end the program from outside its window: "kill" (SIGTERM), the terminal or the
// session going away (SIGHUP) and Ctrl+C in the terminal that started it (SIGINT).
class EndRequestNotice : public SignalNotice
{
    Q_OBJECT

public:
    explicit EndRequestNotice(QObject *parent = nullptr)
        : SignalNotice({ SIGTERM, SIGHUP, SIGINT }, parent)
    { }
};
