#include "platform/screen_areas.h"

#include "platform/x_connection.h"

#include <cstring>
#include <xcb/randr.h>

namespace {

xcb_atom_t Atom(xcb_connection_t *c, const char *name)
{
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
    return reply ? reply->atom : xcb_atom_t{ XCB_ATOM_NONE };
}

// Up to count 32-bit values of a window's property of that type; fewer (or none) when the
// property is missing or shorter.
std::vector<std::uint32_t> Cardinals(xcb_connection_t *c, xcb_window_t window, const char *name,
                                     xcb_atom_t type, std::uint32_t count)
{
    const xcb_atom_t property = Atom(c, name);
    if (property == XCB_ATOM_NONE)
        return {};
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, property, type, 0, count), nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto *values = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    const int length = xcb_get_property_value_length(reply.get()) / 4;
    return std::vector<std::uint32_t>(values, values + length);
}

std::string AtomName(xcb_connection_t *c, xcb_atom_t atom)
{
    XcbReply<xcb_get_atom_name_reply_t> reply(
            xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
    if (!reply)
        return {};
    return std::string(xcb_get_atom_name_name(reply.get()),
                       static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get())));
}

bool Contains(const Rect &r, std::int32_t x, std::int32_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

ScreenAreas::ScreenAreas(const XConnection &connection) : x(connection) { }

Rect ScreenAreas::screen() const
{
    xcb_connection_t *c = x.get();
    XcbReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, x.screen()->root), nullptr));
    if (!geometry)
        return {};
    return Rect{ 0, 0, geometry->width, geometry->height };
}

std::vector<ScreenMonitor> ScreenAreas::monitors() const
{
    xcb_connection_t *c = x.get();
    const xcb_query_extension_reply_t *randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (!randr || !randr->present)
        return {};
    XcbReply<xcb_randr_query_version_reply_t> version(
            xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    if (!version || version->major_version < 1
        || (version->major_version == 1 && version->minor_version < 5))
        return {};
    XcbReply<xcb_randr_get_monitors_reply_t> reply(xcb_randr_get_monitors_reply(
            c, xcb_randr_get_monitors(c, x.screen()->root, 1), nullptr));
    if (!reply)
        return {};
    const Rect whole = screen();
    std::vector<ScreenMonitor> list;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
         xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t &m = *it.data;
        const Rect rect{ m.x, m.y, m.x + m.width, m.y + m.height };
        list.push_back({ AtomName(c, m.name), rect.intersected(whole), m.primary != 0 });
    }
    return list;
}

Rect ScreenAreas::monitorUnderPointer() const
{
    xcb_connection_t *c = x.get();
    XcbReply<xcb_query_pointer_reply_t> pointer(
            xcb_query_pointer_reply(c, xcb_query_pointer(c, x.screen()->root), nullptr));
    if (pointer && pointer->same_screen) {
        for (const ScreenMonitor &monitor : monitors()) {
            if (!monitor.rect.isEmpty() && Contains(monitor.rect, pointer->root_x, pointer->root_y))
                return monitor.rect;
        }
    }
    return screen();
}

// The window's outside in root coordinates, its border included.
std::optional<Rect> ScreenAreas::outerRect(std::uint32_t window) const
{
    xcb_connection_t *c = x.get();
    XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return std::nullopt;
    XcbReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    XcbReply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, window, x.screen()->root, 0, 0), nullptr));
    if (!geometry || !origin)
        return std::nullopt;
    const std::int32_t border = geometry->border_width;
    return Rect{ origin->dst_x - border, origin->dst_y - border,
                 origin->dst_x + geometry->width + border,
                 origin->dst_y + geometry->height + border };
}

std::optional<Rect> ScreenAreas::activeWindowFrame() const
{
    xcb_connection_t *c = x.get();
    const std::vector<std::uint32_t> active =
            Cardinals(c, x.screen()->root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, 1);
    if (active.empty() || active[0] == XCB_WINDOW_NONE)
        return std::nullopt;
    std::optional<Rect> rect = outerRect(active[0]);
    if (!rect)
        return std::nullopt;
    // Left, right, top, bottom: what the manager's frame adds around the window.
    const std::vector<std::uint32_t> frame =
            Cardinals(c, active[0], "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL, 4);
    if (frame.size() == 4) {
        rect->left -= static_cast<std::int32_t>(frame[0]);
        rect->right += static_cast<std::int32_t>(frame[1]);
        rect->top -= static_cast<std::int32_t>(frame[2]);
        rect->bottom += static_cast<std::int32_t>(frame[3]);
    }
    return rect;
}

std::optional<Rect> ScreenAreas::windowUnderPointer() const
{
    xcb_connection_t *c = x.get();
    XcbReply<xcb_query_pointer_reply_t> pointer(
            xcb_query_pointer_reply(c, xcb_query_pointer(c, x.screen()->root), nullptr));
    // The child of the root under the pointer is the top-level window there.
    if (!pointer || !pointer->same_screen || pointer->child == XCB_WINDOW_NONE)
        return std::nullopt;
    return outerRect(pointer->child);
}

Rect ScreenAreas::activeWindow() const
{
    const Rect whole = screen();
    std::optional<Rect> window = activeWindowFrame();
    if (!window)
        window = windowUnderPointer();
    return window ? window->intersected(whole) : whole;
}

std::optional<Rect> ScreenAreas::locate(const AreaRequest &request) const
{
    Rect rect;
    if (request.exact) {
        rect = request.exact->intersected(screen());
    } else if (request.monitor) {
        const std::vector<ScreenMonitor> list = monitors();
        const int index = *request.monitor;
        if (index >= 0 && index < static_cast<int>(list.size()))
            rect = list[static_cast<std::size_t>(index)].rect;
    } else if (request.area == CaptureArea::Monitor) {
        rect = monitorUnderPointer();
    } else if (request.area == CaptureArea::Window) {
        rect = activeWindow();
    } else {
        rect = screen();
    }
    if (rect.isEmpty())
        return std::nullopt;
    return rect;
}
