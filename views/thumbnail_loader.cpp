#include "views/thumbnail_loader.h"

#include "thumbnails/thumbnail_store.h"

ThumbnailLoader::ThumbnailLoader(QObject *receiver, Delivery handOver)
    : deliver(std::move(handOver)), delivery(receiver)
{ }

ThumbnailLoader::~ThumbnailLoader()
{
    pool.dropWaiting();
}

void ThumbnailLoader::forgetDropped()
{
    std::erase_if(tickets, [](const auto &entry) {
        return entry.second->state() == WorkPool::State::Dropped;
    });
}

bool ThumbnailLoader::outstanding(std::uint64_t serial) const
{
    return tickets.contains(serial);
}

void ThumbnailLoader::request(const std::vector<ThumbnailRequest> &wanted,
                              const ThumbnailStore *store)
{
    pool.dropWaiting();
    forgetDropped();
    for (const ThumbnailRequest &one : wanted) {
        if (tickets.contains(one.serial))
            continue;
        auto job = [this, one, store] {
            auto result = std::make_shared<ThumbnailResult>(
                    ThumbnailMaker(store).make(one.path, one.box));
            delivery.post([this, one, result] {
                tickets.erase(one.serial);
                deliver(one, *result);
            });
        };
        tickets.emplace(one.serial, pool.submit(std::move(job)));
    }
}
