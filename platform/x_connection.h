#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <xcb/xcb.h>

// Frees what xcb hands back with malloc (replies, errors).
struct XcbFree
{
    void operator()(void *p) const { std::free(p); }
};

template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

// One connection to an X server and its first screen. Plain xcb: the capture from a command line
// must not bring up Qt.
class XConnection
{
public:
    // displayName empty means $DISPLAY. Check usable() afterwards.
    explicit XConnection(const std::string &displayName = {});
    ~XConnection();
    XConnection(const XConnection &) = delete;
    XConnection &operator=(const XConnection &) = delete;

    // True while the connection stands and the server offered a screen. A connection that broke
    // (the server went away) stays unusable.
    bool usable() const;

    xcb_connection_t *get() const { return connection; }

    xcb_screen_t *screen() const { return firstScreen; }

    const xcb_setup_t *setup() const { return xcb_get_setup(connection); }

    // The root window's visual, or null when the server does not list it.
    const xcb_visualtype_t *rootVisual() const;
    // Bits per pixel that the server uses for images of that depth; 0 when it has no such format.
    int bitsPerPixel(int depth) const;
    // Row alignment in bits of images of that depth (8, 16 or 32); 0 when unknown.
    int scanlinePad(int depth) const;

private:
    xcb_connection_t *connection = nullptr;
    xcb_screen_t *firstScreen = nullptr;
};
