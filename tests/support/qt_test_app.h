#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>

// The one QApplication of a Qt test program, made on first use (on the offscreen platform unless
// the environment names another).
inline void EnsureTestApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vistrel-tests";
    static char *argv[] = { name, nullptr };
    new QApplication(argc, argv);
}

// Runs the event loop until done() holds or timeoutMs passed; returns done().
template <typename Done>
bool ProcessEventsUntil(Done done, int timeoutMs = 1000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}
