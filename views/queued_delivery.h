#pragma once

#include <QMetaObject>
#include <QObject>

#include <memory>
#include <utility>

// Hands work finished on a worker thread back to a receiver's thread as a queued call, which
// runs only while the owner still lives: a worker may finish after the owner has gone.
class QueuedDelivery
{
public:
    explicit QueuedDelivery(QObject *target) : receiver(target) { }

    // The owner is going: calls already queued do nothing.
    ~QueuedDelivery() { *alive = false; }

    QueuedDelivery(const QueuedDelivery &) = delete;
    QueuedDelivery &operator=(const QueuedDelivery &) = delete;

    // Any thread: call() runs later on the receiver's thread, if the owner is still there.
    template <class Call>
    void post(Call call) const
    {
        QMetaObject::invokeMethod(
                receiver,
                [living = std::weak_ptr<bool>(alive), call = std::move(call)]() mutable {
                    const std::shared_ptr<bool> still = living.lock();
                    if (still && *still)
                        call();
                },
                Qt::QueuedConnection);
    }

private:
    QObject *receiver;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};
