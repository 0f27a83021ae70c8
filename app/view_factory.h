#pragma once

#include "platform/command_route.h"

#include <cstdint>
#include <functional>

class CAlbDoc;
class QWidget;
struct AppSettings;
struct ImageLists;

// What a view may ask of the frame around it.
class ViewHost
{
public:
    virtual ~ViewHost() = default;
    // Sends a command through the frame's route at once.
    virtual void sendCommand(std::uint32_t id) = 0;
    // Queues a command for the frame's route; it runs once the current event is done.
    virtual void postCommand(std::uint32_t id) = 0;
    // A stylus went down in the view: it becomes the frame's active view.
    virtual void activateView(QWidget &view) = 0;
    // The thumbnail cell size changed: the splitter's steps follow it.
    virtual void cellSizeChanged() = 0;

    // The image view's zoom became (or left) actual size: the toolbar shows the matching one of
    // the two Image Info buttons.
    virtual void showZoomIndicator(bool actualSize) { (void)actualSize; }

    // Something a command's state depends on changed outside a command (a picture finished
    // decoding): the bars and menus ask again.
    virtual void commandStatesChanged() { }

    // The state of a command as the menus and bars show it; a host that decides nothing leaves
    // every command enabled.
    virtual CommandState commandState(std::uint32_t id) const
    {
        (void)id;
        return {};
    }
};

// Everything a view is made with. The view's parent is the splitter, which places it.
struct ViewContext
{
    CAlbDoc &doc;
    AppSettings &settings;
    const ImageLists *lists;
    ViewHost &host;
    QWidget *parent;
};

// How the frame makes the thumbnail view and the image view. The frame's own folder knows
// neither of them, so the program registers their makers at start; a maker that is not set
// leaves a plain pane of the view's background colour in its place. A view that takes commands
// derives from CommandTarget as well, and one that takes numbered messages from MessageWindow.
struct ViewFactory
{
    using Maker = std::function<QWidget *(const ViewContext &)>;

    Maker thumbnailView;
    Maker imageView;
    // The document's list changed: the thumbnail view lays itself out again and brings the item
    // at firstSelected (-1: none) into view.
    std::function<void(QWidget &thumbnails, int firstSelected)> updateThumbnails;
    // The selection changed: the thumbnail view redraws its visible cells.
    std::function<void(QWidget &thumbnails)> redrawThumbnails;
};

// Replaces the makers the next frame uses; the frames made earlier keep their views.
void SetViewFactory(ViewFactory factory);
const ViewFactory &CurrentViewFactory();
