#include "views/picture_loader.h"

#include <algorithm>

PictureLoader::PictureLoader(QObject *receiver, FramesDecoder decoder, Delivery handOver)
    : framesDecoder(std::move(decoder)), deliver(std::move(handOver)), delivery(receiver)
{ }

PictureLoader::~PictureLoader()
{
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
    const auto found = std::find_if(inFlight.begin(), inFlight.end(), [&](const Flight &flight) {
        return flight.request.sameAs(wanted);
    });
    if (found != inFlight.end() && found->ticket->state() == WorkPool::State::Waiting)
        return; // already next
    const bool started = found != inFlight.end();
    cancel(); // whatever waits is not wanted any more
    if (started)
        return;
    auto job = [this, wanted, decoder = framesDecoder] {
        auto result = std::make_shared<DecodedFrames>(DecodeViewFrames(
                wanted.path, wanted.fileName, wanted.full, wanted.percent, decoder));
        delivery.post([this, wanted, result] {
            // The one thread runs one job at a time: this is the one not waiting.
            std::erase_if(inFlight, [&](const Flight &flight) {
                return flight.request.sameAs(wanted)
                        && flight.ticket->state() != WorkPool::State::Waiting;
            });
            deliver(wanted, *result);
        });
    };
    inFlight.push_back({ wanted, pool.submit(std::move(job)) });
}
