#pragma once

#include <cstdint>
#include <map>
#include <memory>

class QObject;
class QTimer;

// A window that takes the program's numbered messages (1112 WM_LIST_CHANGED, 1116
// WM_CAPTURE_CONFIRM, ...) and timers by the program's ids (25 ThumbnailTimer, 120 CaptureTimer).
// Windows derive from their Qt widget class and from this.
class MessageWindow
{
public:
    virtual ~MessageWindow() = default;
    // The message's result; 0 when the window does not handle it.
    virtual std::intptr_t onMessage(std::uint32_t message, std::uintptr_t first,
                                    std::intptr_t second) = 0;
    virtual void onTimer(std::uint32_t /*timerId*/) { }
};

// Delivers the message at once and returns the window's result (0 when window is null).
std::intptr_t SendMessageTo(MessageWindow *window, std::uint32_t message, std::uintptr_t first = 0,
                            std::intptr_t second = 0);

// Queues the message; it is delivered when the event loop runs, in posting order, and dropped when
// the window's object is destroyed first. object is the window's own QObject (its widget).
void PostMessageTo(QObject *object, MessageWindow *window, std::uint32_t message,
                   std::uintptr_t first = 0, std::intptr_t second = 0);

// The timers of one window by id. Setting an id that runs restarts it with the new interval; a
// one-shot timer stops itself before it is delivered, so a handler may set it again.
class WindowTimers
{
public:
    WindowTimers(QObject *object, MessageWindow *window);
    ~WindowTimers();
    WindowTimers(const WindowTimers &) = delete;
    WindowTimers &operator=(const WindowTimers &) = delete;

    void set(std::uint32_t id, int milliseconds, bool oneShot = false);
    void kill(std::uint32_t id);
    bool isActive(std::uint32_t id) const;

private:
    QObject *owner;
    MessageWindow *target;
    std::map<std::uint32_t, std::unique_ptr<QTimer>> timers;
};
