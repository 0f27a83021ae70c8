#include "views/thumbnail_loader.h"

#include "thumbnails/thumbnail_store.h"

#include <QMetaObject>
#include <QObject>

ThumbnailLoader::ThumbnailLoader(QObject *target, Delivery delivery)
    : receiver(target), deliver(std::move(delivery))
{ }

ThumbnailLoader::~ThumbnailLoader()
{
    *alive = false;
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
        std::weak_ptr<bool> living = alive;
        auto job = [this, one, store, living] {
            auto result = std::make_shared<ThumbnailResult>(
                    ThumbnailMaker(store).make(one.path, one.box));
            QMetaObject::invokeMethod(
                    receiver,
                    [this, one, result, living] {
                        const std::shared_ptr<bool> still = living.lock();
                        if (!still || !*still)
                            return;
                        tickets.erase(one.serial);
                        deliver(one, *result);
                    },
                    Qt::QueuedConnection);
        };
        tickets.emplace(one.serial, pool.submit(std::move(job)));
    }
}
