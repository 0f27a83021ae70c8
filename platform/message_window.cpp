#include "platform/message_window.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QTimer>

std::intptr_t SendMessageTo(MessageWindow *window, std::uint32_t message, std::uintptr_t first,
                            std::intptr_t second)
{
    return window ? window->onMessage(message, first, second) : 0;
}

void PostMessageTo(QObject *object, MessageWindow *window, std::uint32_t message,
                   std::uintptr_t first, std::intptr_t second)
{
    if (!object || !window)
        return;
    // Queued on the window's own object: Qt drops the call when that object dies first.
    QMetaObject::invokeMethod(
            object, [window, message, first, second] { window->onMessage(message, first, second); },
            Qt::QueuedConnection);
}

WindowTimers::WindowTimers(QObject *object, MessageWindow *window) : owner(object), target(window)
{ }

WindowTimers::~WindowTimers() = default;

void WindowTimers::set(std::uint32_t id, int milliseconds, bool oneShot)
{
    std::unique_ptr<QTimer> &timer = timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>(owner);
        QObject::connect(timer.get(), &QTimer::timeout, owner, [this, id] {
            auto it = timers.find(id);
            if (it != timers.end() && it->second->isSingleShot())
                it->second->stop();
            target->onTimer(id);
        });
    }
    timer->setSingleShot(oneShot);
    timer->start(std::max(0, milliseconds));
}

void WindowTimers::kill(std::uint32_t id)
{
    auto it = timers.find(id);
    if (it != timers.end())
        it->second->stop();
}

bool WindowTimers::isActive(std::uint32_t id) const
{
    auto it = timers.find(id);
    return it != timers.end() && it->second->isActive();
}
