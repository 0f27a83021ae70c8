#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

// While a delayed capture is pending, the window's title counts down the seconds left ("Capture
// in 7 s"), once a second. The title is given back shortly before the capture, so that the
// picture shows the window as usual, and at the next tick when the delay timer was stopped
// early (running then says no).
class CaptureCountdown : public QObject
{
    Q_OBJECT

public:
    // running tells whether the delay timer still runs.
    CaptureCountdown(QWidget &window, std::function<bool()> running);
    ~CaptureCountdown() override;

    void start(int milliseconds);
    void stop();

    bool counting() const { return active; }

    // The title for the seconds left.
    static QString title(int seconds);

private:
    void tick();

    QPointer<QWidget> window;
    std::function<bool()> timerRunning;
    QTimer ticker;
    QDeadlineTimer deadline;
    QString normalTitle;
    bool active = false;
};
