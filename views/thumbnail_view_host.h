#pragma once

#include <cstdint>

class CAlbView;

// What the thumbnail view asks of the window around it. The main frame implements it; tests
// record.
class ThumbnailViewHost
{
public:
    virtual ~ThumbnailViewHost() = default;
    // Sends a command through the frame's route at once (the zoom keys, a double click).
    virtual void sendCommand(std::uint32_t id) = 0;
    // Queues a command for the frame's route (Enter, the choices of the pop-up menu).
    virtual void postCommand(std::uint32_t id) = 0;
    // A stylus went down in the view: it becomes the frame's active view.
    virtual void activateView(CAlbView &view) = 0;
    // The cell size changed: the splitter's row heights follow it.
    virtual void cellSizeChanged() = 0;
};
