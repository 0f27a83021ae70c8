#include "platform/display_probe.h"

#include "platform/x_connection.h"

#include <charconv>
#include <cmath>
#include <fstream>

namespace {

constexpr std::int32_t kDefaultDpi = 96;
constexpr std::int32_t kSixteenBitColours = 131072;
constexpr std::int32_t kTwelveBitColours = 4096;
// Where the machine's firmware names the product; the closest thing a desktop has to the maker's
// information text of a handheld.
constexpr const char *kProductNamePath = "/sys/class/dmi/id/product_name";

std::int32_t ColourCountFor(std::int32_t colourBits, std::int32_t paletteSize)
{
    if (colourBits <= 8)
        return paletteSize;
    if (colourBits <= 31) {
        // 2 << bits is one more bit than the display has; the count has always been defined so,
        // and callers compare it with fixed values. Shifted unsigned: from 30 bits on it wraps.
        return static_cast<std::int32_t>(std::uint32_t{ 2 } << colourBits);
    }
    return 0;
}

// Devices whose 16-bit screens show only 12 bits of colour, so pictures look best reduced to
// 4096 colours.
bool ShowsOnlyTwelveBits(const std::string &oemInfo)
{
    return oemInfo.find("iPAQ H36") != std::string::npos
            || oemInfo.find("Jornada 54") != std::string::npos;
}

std::string ReadProductName()
{
    std::ifstream in(kProductNamePath);
    std::string line;
    if (!in || !std::getline(in, line))
        return {};
    return line;
}

// The root window's RESOURCE_MANAGER property: the resource database that desktops (xrdb) keep on
// the server. Empty when it is not set.
std::string ReadResourceDatabase(const XConnection &x)
{
    static constexpr char kName[] = "RESOURCE_MANAGER";
    xcb_connection_t *c = x.get();
    XcbReply<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kName - 1, kName), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return {};
    // Up to 4 MiB of text (the length is counted in 32-bit units); real databases are a few KiB.
    constexpr std::uint32_t kMaxUnits = 1u << 20;
    XcbReply<xcb_get_property_reply_t> property(xcb_get_property_reply(
            c, xcb_get_property(c, 0, x.screen()->root, atom->atom, XCB_ATOM_STRING, 0, kMaxUnits),
            nullptr));
    if (!property || property->format != 8)
        return {};
    const auto *text = static_cast<const char *>(xcb_get_property_value(property.get()));
    return std::string(text,
                       static_cast<std::size_t>(xcb_get_property_value_length(property.get())));
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

DisplayInfo ProbeDisplay(const DisplayFacts &facts)
{
    DisplayInfo info;
    info.colourBits = facts.colourResolution != 0 ? facts.colourResolution : facts.bitsPerPixel;
    info.colourCount = ColourCountFor(info.colourBits, facts.colourCount);
    info.screenWidth = facts.width;
    info.screenHeight = facts.height;
    info.dpiX = facts.dpiX;
    info.dpiY = facts.dpiY;
    if (info.colourCount == kSixteenBitColours && ShowsOnlyTwelveBits(facts.oemInfo))
        info.colourCount = kTwelveBitColours;
    return info;
}

std::int32_t DpiFromResources(std::string_view resources)
{
    static constexpr std::string_view kKey = "Xft.dpi:";
    std::size_t start = 0;
    while (start < resources.size()) {
        std::size_t end = resources.find('\n', start);
        if (end == std::string_view::npos)
            end = resources.size();
        std::string_view line = resources.substr(start, end - start);
        start = end + 1;
        if (!line.starts_with(kKey))
            continue;
        std::string_view value = TrimBlanks(line.substr(kKey.size()));
        double dpi = 0;
        auto [rest, error] = std::from_chars(value.data(), value.data() + value.size(), dpi);
        // Below one dot per inch, or absurdly high, is not a setting anyone meant.
        if (error == std::errc() && rest == value.data() + value.size() && dpi >= 1 && dpi <= 10000)
            return static_cast<std::int32_t>(std::lround(dpi));
    }
    return kDefaultDpi;
}

std::optional<DisplayFacts> ReadDisplayFacts(const std::string &displayName)
{
    XConnection x(displayName);
    if (!x.usable())
        return std::nullopt;
    const xcb_screen_t *screen = x.screen();
    DisplayFacts facts;
    facts.colourResolution = screen->root_depth;
    facts.bitsPerPixel = x.bitsPerPixel(screen->root_depth);
    if (screen->root_depth <= 8) {
        const xcb_visualtype_t *visual = x.rootVisual();
        facts.colourCount = visual ? visual->colormap_entries : 0;
    }
    facts.width = screen->width_in_pixels;
    facts.height = screen->height_in_pixels;
    facts.dpiX = facts.dpiY = DpiFromResources(ReadResourceDatabase(x));
    facts.oemInfo = ReadProductName();
    return facts;
}

void ProbeAndSetDisplayInfo(const DisplayFactsSource &source)
{
    std::optional<DisplayFacts> facts = source ? source() : ReadDisplayFacts();
    if (facts)
        SetDisplayInfo(ProbeDisplay(*facts));
}
