#include "platform/capture_grab.h"

#include "image/view_buffer.h"

std::optional<CaptureGrab> CaptureGrab::Make(std::int32_t w, std::int32_t h)
{
    if (w <= 0 || h <= 0)
        return std::nullopt;
    std::optional<ViewBuffer> store = makeViewBuffer(w, h, false, false);
    if (!store)
        return std::nullopt;
    CaptureGrab grab;
    grab.store = std::move(store->store);
    grab.top = store->pixels;
    grab.w = w;
    grab.h = h;
    grab.pad = store->width - w;
    return grab;
}
