#include "views/picture_loader.h"

#include "common/dir_record.h"
#include "common/string_ids.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>

PictureLoader::PictureLoader(QObject *target, FramesDecoder decoder, Delivery delivery)
    : receiver(target), framesDecoder(std::move(decoder)), deliver(std::move(delivery))
{ }

PictureLoader::~PictureLoader()
{
    *alive = false;
    pool.dropWaiting();
}

void PictureLoader::forgetDropped()
{
    std::erase_if(inFlight, [](const Flight &flight) {
        return flight.ticket->state() == WorkPool::State::Dropped;
    });
}

bool PictureLoader::outstanding(const PictureRequest &wanted) const
{
    return std::any_of(inFlight.begin(), inFlight.end(),
                       [&](const Flight &flight) { return flight.request.sameAs(wanted); });
}

void PictureLoader::cancel()
{
    pool.dropWaiting();
    forgetDropped();
}

void PictureLoader::request(const PictureRequest &wanted)
{
    if (outstanding(wanted)) {
        // Still wanted: whatever waits behind it is not.
        const bool waitingBehind = std::any_of(inFlight.begin(), inFlight.end(), [&](auto &f) {
            return !f.request.sameAs(wanted) && f.ticket->state() == WorkPool::State::Waiting;
        });
        if (waitingBehind)
            cancel();
        if (outstanding(wanted))
            return;
    }
    cancel();
    std::weak_ptr<bool> living = alive;
    auto job = [this, wanted, decoder = framesDecoder, living] {
        auto result = std::make_shared<DecodedFrames>();
        if (ProbeFile(wanted.path)) {
            *result = DecodeViewFrames(wanted.path, wanted.fileName, wanted.full, wanted.percent,
                                       decoder);
        } else {
            result->message = Msg::UnableToAccessFile;
        }
        QMetaObject::invokeMethod(
                receiver,
                [this, wanted, result, living] {
                    const std::shared_ptr<bool> still = living.lock();
                    if (!still || !*still)
                        return;
                    // The one thread runs one job at a time: this is the one not waiting.
                    std::erase_if(inFlight, [&](const Flight &flight) {
                        return flight.request.sameAs(wanted)
                                && flight.ticket->state() != WorkPool::State::Waiting;
                    });
                    deliver(wanted, *result);
                },
                Qt::QueuedConnection);
    };
    inFlight.push_back({ wanted, pool.submit(std::move(job)) });
}
