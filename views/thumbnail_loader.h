#pragma once

#include "common/work_pool.h"
#include "image/rect.h"
#include "thumbnails/thumbnail_maker.h"
#include "views/queued_delivery.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QObject;
class ThumbnailStore;

// One thumbnail wanted: the item's serial number, its picture file (a device path) and the box.
struct ThumbnailRequest
{
    std::uint64_t serial = 0;
    std::string path;
    Size box;
};

// Makes thumbnails on a small pool of worker threads, which use only the Qt-free core, and hands
// each result back on the window's thread as a queued call carrying its request: the item (by its
// serial number) may be gone by then, another item may sit where it was, or the cells may have
// changed size.
class ThumbnailLoader
{
public:
    using Delivery = std::function<void(const ThumbnailRequest &request, ThumbnailResult &result)>;

    // deliver runs on receiver's thread, never after receiver or the loader is gone.
    ThumbnailLoader(QObject *receiver, Delivery deliver);
    ~ThumbnailLoader();
    ThumbnailLoader(const ThumbnailLoader &) = delete;
    ThumbnailLoader &operator=(const ThumbnailLoader &) = delete;

    // Replaces the requests that have not started by these, made in this order; a request for
    // an item already being made is not repeated. store may be null (no cache).
    void request(const std::vector<ThumbnailRequest> &wanted, const ThumbnailStore *store);
    // Whether a thumbnail for the serial number is waiting or being made.
    bool outstanding(std::uint64_t serial) const;

    bool busy() const { return !tickets.empty(); }

private:
    void forgetDropped();

    Delivery deliver;
    QueuedDelivery delivery;
    std::map<std::uint64_t, std::shared_ptr<const WorkPool::Ticket>> tickets;
    WorkPool pool; // last: its threads stop before the rest goes
};
