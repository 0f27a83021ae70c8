#include "platform/x_connection.h"

namespace {

const xcb_format_t *FindFormat(const xcb_setup_t *setup, int depth)
{
    xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(setup);
    for (; it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth)
            return it.data;
    }
    return nullptr;
}

} // namespace

XConnection::XConnection(const std::string &displayName)
{
    // xcb_connect never returns null: a failed connection is an object in the error state that
    // must still be disconnected.
    connection = xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), nullptr);
    if (xcb_connection_has_error(connection))
        return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    if (it.rem)
        firstScreen = it.data;
}

XConnection::~XConnection()
{
    xcb_disconnect(connection);
}

bool XConnection::usable() const
{
    return firstScreen && !xcb_connection_has_error(connection);
}

const xcb_visualtype_t *XConnection::rootVisual() const
{
    if (!firstScreen)
        return nullptr;
    xcb_depth_iterator_t depths = xcb_screen_allowed_depths_iterator(firstScreen);
    for (; depths.rem; xcb_depth_next(&depths)) {
        xcb_visualtype_iterator_t visuals = xcb_depth_visuals_iterator(depths.data);
        for (; visuals.rem; xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == firstScreen->root_visual)
                return visuals.data;
        }
    }
    return nullptr;
}

int XConnection::bitsPerPixel(int depth) const
{
    const xcb_format_t *format = FindFormat(setup(), depth);
    return format ? format->bits_per_pixel : 0;
}

int XConnection::scanlinePad(int depth) const
{
    const xcb_format_t *format = FindFormat(setup(), depth);
    return format ? format->scanline_pad : 0;
}
