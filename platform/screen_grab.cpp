#include "platform/screen_grab.h"

#include "platform/screen_areas.h"
#include "platform/screen_pixels.h"
#include "platform/shared_image_segment.h"
#include "platform/x_connection.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Bytes of one row of a server image of width pixels: rows are padded to the format's scanline
// unit.
std::size_t ServerStride(std::int32_t width, int bitsPerPixel, int scanlinePad)
{
    const std::size_t bits =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
    const std::size_t unit = static_cast<std::size_t>(scanlinePad);
    return (bits + unit - 1) / unit * unit / 8;
}

// Screens whose pixels index a colour map rather than hold the colour.
bool IsPaletteScreen(const XConnection &x)
{
    const xcb_visualtype_t *visual = x.rootVisual();
    return visual && x.bitsPerPixel(x.screen()->root_depth) == 8
            && visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR
            && visual->_class != XCB_VISUAL_CLASS_DIRECT_COLOR;
}

// The colours of the screen's colour map as they are now: programs may change them at any time.
std::optional<ScreenRowConverter> PaletteConverter(const XConnection &x)
{
    xcb_connection_t *c = x.get();
    const xcb_visualtype_t *visual = x.rootVisual();
    const std::uint32_t count = std::min<std::uint32_t>(visual->colormap_entries, 256);
    std::array<std::uint32_t, 256> pixels{};
    for (std::uint32_t i = 0; i < count; ++i)
        pixels[i] = i;
    XcbReply<xcb_query_colors_reply_t> reply(xcb_query_colors_reply(
            c, xcb_query_colors(c, x.screen()->default_colormap, count, pixels.data()), nullptr));
    if (!reply || xcb_query_colors_colors_length(reply.get()) != static_cast<int>(count))
        return std::nullopt;
    const xcb_rgb_t *colours = xcb_query_colors_colors(reply.get());
    BgrPalette palette{};
    for (std::uint32_t i = 0; i < count; ++i) {
        // The server keeps 16 bits per channel; the top 8 are the colour shown.
        palette[i] = { static_cast<std::uint8_t>(colours[i].blue >> 8),
                       static_cast<std::uint8_t>(colours[i].green >> 8),
                       static_cast<std::uint8_t>(colours[i].red >> 8) };
    }
    return ScreenRowConverter::ForPalette(palette);
}

std::optional<ScreenRowConverter> TrueColourConverter(const XConnection &x)
{
    const xcb_visualtype_t *visual = x.rootVisual();
    if (!visual || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR)
        return std::nullopt;
    ScreenPixelFormat format;
    format.bitsPerPixel = x.bitsPerPixel(x.screen()->root_depth);
    format.msbFirst = x.setup()->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    format.redMask = visual->red_mask;
    format.greenMask = visual->green_mask;
    format.blueMask = visual->blue_mask;
    return ScreenRowConverter::For(format);
}

} // namespace

// The connection and what is kept with it between grabs: the pixel layout of the root window and
// the shared segment. Members are destroyed in reverse order, the segment before the connection it
// is attached through.
class ScreenGrabber::Session
{
public:
    struct Origin
    {
        std::int16_t x = 0;
        std::int16_t y = 0;
    };

    explicit Session(const std::string &displayName) : x(displayName)
    {
        if (!x.usable())
            return;
        paletteScreen = IsPaletteScreen(x);
        if (!paletteScreen)
            converter = TrueColourConverter(x);
        bitsPerPixel = x.bitsPerPixel(x.screen()->root_depth);
        scanlinePad = x.scanlinePad(x.screen()->root_depth);
        sharedOffered = SharedImageSegment::Offered(x.get());
    }

    bool usable() const { return x.usable(); }

    // Where the request lies on the root window as it is now (the setup's figures go stale when
    // the screen is resized); nothing when it names no part of the screen.
    std::optional<Rect> locate(const AreaRequest &request) const
    {
        return ScreenAreas(x).locate(request);
    }

    // Copies the screen's pixels at origin into grab (store, size already set); false when the
    // server refused.
    bool copy(CaptureGrab &grab, Origin origin, bool useShared, bool &usedShared)
    {
        usedShared = false;
        if (paletteScreen)
            converter = PaletteConverter(x);
        if (!converter || scanlinePad <= 0)
            return false;
        const std::size_t stride = ServerStride(grab.w, bitsPerPixel, scanlinePad);
        if (useShared && sharedOffered) {
            if (copyShared(grab, origin, stride)) {
                usedShared = true;
                return true;
            }
            if (!usable())
                return false;
            // A server that refuses shared memory once (a remote one, or one whose memory limits
            // differ from ours) will refuse again: stop asking.
            sharedOffered = false;
            segment.reset();
        }
        return copyPlain(grab, origin, stride);
    }

private:
    bool copyShared(CaptureGrab &grab, Origin origin, std::size_t stride)
    {
        const std::size_t bytes = stride * static_cast<std::size_t>(grab.h);
        // A segment large enough for the whole screen serves every smaller area too.
        if (segment && segment->size() < bytes)
            segment.reset();
        if (!segment)
            segment = SharedImageSegment::Attach(x.get(), bytes);
        if (!segment)
            return false;
        xcb_connection_t *c = x.get();
        XcbReply<xcb_shm_get_image_reply_t> reply(xcb_shm_get_image_reply(
                c,
                xcb_shm_get_image(c, x.screen()->root, origin.x, origin.y,
                                  static_cast<std::uint16_t>(grab.w),
                                  static_cast<std::uint16_t>(grab.h), ~0u,
                                  XCB_IMAGE_FORMAT_Z_PIXMAP, segment->id(), 0),
                nullptr));
        if (!reply || reply->size < bytes)
            return false;
        convertRows(segment->data(), stride, grab);
        return true;
    }

    bool copyPlain(CaptureGrab &grab, Origin origin, std::size_t stride)
    {
        xcb_connection_t *c = x.get();
        XcbReply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
                c,
                xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, x.screen()->root, origin.x, origin.y,
                              static_cast<std::uint16_t>(grab.w),
                              static_cast<std::uint16_t>(grab.h), ~0u),
                nullptr));
        if (!reply)
            return false;
        const auto length = static_cast<std::size_t>(xcb_get_image_data_length(reply.get()));
        if (length < stride * static_cast<std::size_t>(grab.h))
            return false;
        convertRows(xcb_get_image_data(reply.get()), stride, grab);
        return true;
    }

    void convertRows(const std::uint8_t *source, std::size_t stride, CaptureGrab &grab) const
    {
        for (std::int32_t y = 0; y < grab.h; ++y)
            converter->convert(source + static_cast<std::size_t>(y) * stride, grab.row(y), grab.w);
    }

    XConnection x;
    std::optional<ScreenRowConverter> converter;
    bool paletteScreen = false;
    int bitsPerPixel = 0;
    int scanlinePad = 0;
    bool sharedOffered = false;
    std::unique_ptr<SharedImageSegment> segment;
};

ScreenGrabber::ScreenGrabber(std::string displayName) : display(std::move(displayName)) { }

ScreenGrabber::~ScreenGrabber() = default;

bool ScreenGrabber::init()
{
    if (!session || !session->usable())
        session = std::make_unique<Session>(display);
    return session->usable();
}

void ScreenGrabber::allowSharedMemory(bool allow)
{
    sharedMemoryAllowed = allow;
}

bool ScreenGrabber::lastGrabUsedSharedMemory() const
{
    return lastShared;
}

GrabResult ScreenGrabber::grabArea(const AreaRequest &request)
{
    if (!init()) {
        // A server that went away since the last grab is looked for again next time.
        session.reset();
        return GrabFailure::NoSurface;
    }
    const std::optional<Rect> area = session->locate(request);
    if (!area) {
        if (!session->usable()) {
            session.reset();
            return GrabFailure::NoSurface;
        }
        const bool wholeScreen =
                request.area == CaptureArea::Screen && !request.exact && !request.monitor;
        return wholeScreen ? GrabFailure::NoSurface : GrabFailure::NoArea;
    }
    std::optional<CaptureGrab> grab = CaptureGrab::Make(area->width(), area->height());
    if (!grab)
        return GrabFailure::NoStore;
    const Session::Origin origin{ static_cast<std::int16_t>(area->left),
                                  static_cast<std::int16_t>(area->top) };
    bool usedShared = false;
    if (!session->copy(*grab, origin, sharedMemoryAllowed, usedShared)) {
        if (!session->usable())
            session.reset();
        return GrabFailure::CopyFailed;
    }
    lastShared = usedShared;
    return std::move(*grab);
}
