#pragma once

#include "common/work_pool.h"
#include "image/rect.h"
#include "views/queued_delivery.h"
#include "views/view_picture.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QObject;

// One picture the image view wants: the item's serial number, its file (a device path, and the
// name the trace gives it), its full size and the scale to decode it at.
struct PictureRequest
{
    std::uint64_t serial = 0;
    std::string path;
    std::string fileName;
    Size full;
    std::int32_t percent = 100;

    bool sameAs(const PictureRequest &other) const
    {
        return serial == other.serial && percent == other.percent;
    }
};

// Decodes the image view's pictures one at a time on a worker thread, which uses only the Qt-free
// core, and hands each result back on the window's thread as a queued call carrying the request
// (the item's serial number, never its address: the item may be gone by then). A new request
// replaces the one that has not started, so stepping quickly through a folder decodes only the
// picture being decoded when a key was pressed and the one it stops on.
class PictureLoader
{
public:
    using Delivery = std::function<void(const PictureRequest &request, DecodedFrames &result)>;

    // deliver runs on receiver's thread, never after receiver or the loader is gone.
    PictureLoader(QObject *receiver, FramesDecoder decoder, Delivery deliver);
    ~PictureLoader();
    PictureLoader(const PictureLoader &) = delete;
    PictureLoader &operator=(const PictureLoader &) = delete;

    // Replaces the waiting request by this one; nothing is queued when the same picture at the
    // same scale is already waiting or being decoded.
    void request(const PictureRequest &wanted);
    // Drops the waiting request.
    void cancel();
    // Whether the picture is waiting or being decoded at that scale.
    bool outstanding(const PictureRequest &wanted) const;

    bool busy() const { return !inFlight.empty(); }

    // The reader of later requests (tests stage failures and count decodings).
    void setDecoder(FramesDecoder decoder) { framesDecoder = std::move(decoder); }

private:
    struct Flight
    {
        PictureRequest request;
        std::shared_ptr<const WorkPool::Ticket> ticket;
    };

    void forgetDropped();

    FramesDecoder framesDecoder;
    Delivery deliver;
    QueuedDelivery delivery;
    std::vector<Flight> inFlight;
    WorkPool pool{ 1 }; // last: its thread stops before the rest goes
};
