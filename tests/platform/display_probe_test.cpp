#include "platform/display_probe.h"

#include "platform/x_connection.h"
#include "tests/support/xvfb_server.h"

#include <gtest/gtest.h>

namespace {

struct ProbeCase
{
    const char *name;
    std::int32_t resolution;
    std::int32_t bitsPerPixel;
    std::int32_t paletteSize;
    const char *oem;
    std::int32_t colourBits;
    std::int32_t colourCount;
};

TEST(DisplayProbeTest, ColourBitsAndCountFollowTheRules)
{
    const ProbeCase cases[] = {
        { "twelve bits count one bit more", 12, 16, 0, "", 12, 8192 },
        { "no resolution falls back to pixel bits", 0, 16, 0, "", 16, 131072 },
        { "resolution wins over pixel bits", 24, 32, 0, "", 24, 33554432 },
        { "32 bits count nothing", 32, 32, 0, "", 32, 0 },
        { "palette screen counts its palette", 8, 8, 256, "", 8, 256 },
        { "four-bit palette", 4, 4, 16, "", 4, 16 },
        { "known 12-bit device", 16, 16, 0, "Handheld Jornada 545 v2", 16, 4096 },
        { "other known 12-bit device", 16, 16, 0, "Handheld iPAQ H3630", 16, 4096 },
        { "device rule after the fallback", 0, 16, 0, "Jornada 54", 16, 4096 },
        { "device text is case-sensitive", 16, 16, 0, "jornada 54", 16, 131072 },
        { "device text at 8 bits changes nothing", 8, 8, 256, "Jornada 54", 8, 256 },
        { "device text at 12 bits changes nothing", 12, 12, 0, "iPAQ H36", 12, 8192 },
        { "device text at 24 bits changes nothing", 24, 32, 0, "iPAQ H36", 24, 33554432 },
        { "nothing reported", 0, 0, 0, "", 0, 0 },
    };
    for (const ProbeCase &c : cases) {
        SCOPED_TRACE(c.name);
        DisplayFacts facts;
        facts.colourResolution = c.resolution;
        facts.bitsPerPixel = c.bitsPerPixel;
        facts.colourCount = c.paletteSize;
        facts.oemInfo = c.oem;
        const DisplayInfo info = ProbeDisplay(facts);
        EXPECT_EQ(info.colourBits, c.colourBits);
        EXPECT_EQ(info.colourCount, c.colourCount);
    }
}

TEST(DisplayProbeTest, SizeAndDpiAreTakenAsReported)
{
    DisplayFacts facts;
    facts.colourResolution = 16;
    facts.width = 240;
    facts.height = 320;
    facts.dpiX = 131;
    facts.dpiY = 132;
    const DisplayInfo info = ProbeDisplay(facts);
    EXPECT_EQ(info.screenWidth, 240);
    EXPECT_EQ(info.screenHeight, 320);
    EXPECT_EQ(info.dpiX, 131);
    EXPECT_EQ(info.dpiY, 132);
}

// Puts the program's display record back after a test that sets it.
class DisplayInfoGuard
{
public:
    DisplayInfoGuard() : saved(CurrentDisplayInfo()) { }

    ~DisplayInfoGuard() { SetDisplayInfo(saved); }

private:
    DisplayInfo saved;
};

TEST(DisplayProbeTest, StartupProbeSetsTheRecordOnlyWhenThereIsADisplay)
{
    DisplayInfoGuard guard;
    SetDisplayInfo(DisplayInfo{});
    ProbeAndSetDisplayInfo([] { return std::optional<DisplayFacts>(); });
    EXPECT_EQ(CurrentDisplayInfo(), DisplayInfo{})
            << "no display must keep the true-colour defaults";
    EXPECT_EQ(CurrentDisplayInfo().colourBits, 24);

    DisplayFacts facts;
    facts.colourResolution = 16;
    facts.oemInfo = "Jornada 54";
    facts.width = 240;
    ProbeAndSetDisplayInfo([&] { return std::optional<DisplayFacts>(facts); });
    EXPECT_EQ(CurrentDisplayInfo().colourBits, 16);
    EXPECT_EQ(CurrentDisplayInfo().colourCount, 4096);
    EXPECT_EQ(CurrentDisplayInfo().screenWidth, 240);
}

TEST(DisplayProbeTest, DpiComesFromTheXftResource)
{
    const struct
    {
        const char *resources;
        std::int32_t dpi;
    } cases[] = {
        { "Xft.dpi:\t120\n", 120 },
        { "Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n", 144 },
        { "Xft.dpi: 120.6", 121 },
        { "Xft.dpi:\t96\r\n", 96 },
        { "", 96 },
        { "Xft.dpi:\tlarge\n", 96 },
        { "Xft.dpi:\t0\n", 96 },
        { "Xft.dpi:\t-120\n", 96 },
        { "Xft.dpiScale:\t2\n*dpi:\t200\n", 96 },
        { "  Xft.dpi:\t200\n", 96 },
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.resources);
        EXPECT_EQ(DpiFromResources(c.resources), c.dpi);
    }
}

void SetResources(const std::string &display, const std::string &text)
{
    XConnection x(display);
    ASSERT_TRUE(x.usable());
    xcb_connection_t *c = x.get();
    static constexpr char kName[] = "RESOURCE_MANAGER";
    XcbReply<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof kName - 1, kName), nullptr));
    ASSERT_TRUE(atom);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, x.screen()->root, atom->atom, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(text.size()), text.data());
    XcbReply<xcb_get_input_focus_reply_t> sync(
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

TEST(DisplayProbeTest, ReadsTheXServersScreen)
{
    XvfbServer server(241, 67, 16);
    ASSERT_TRUE(server.ok()) << server.error();
    std::optional<DisplayFacts> facts = ReadDisplayFacts(server.display());
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->colourResolution, 16);
    EXPECT_EQ(facts->bitsPerPixel, 16);
    EXPECT_EQ(facts->width, 241);
    EXPECT_EQ(facts->height, 67);
    EXPECT_EQ(facts->dpiX, 96);
    EXPECT_EQ(facts->dpiY, 96);
    EXPECT_EQ(ProbeDisplay(*facts).colourCount, 131072);

    SetResources(server.display(), "Xft.antialias:\t1\nXft.dpi:\t144\n");
    facts = ReadDisplayFacts(server.display());
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->dpiX, 144);
    EXPECT_EQ(facts->dpiY, 144);
}

TEST(DisplayProbeTest, ReadsDepthAndPaletteSize)
{
    XvfbServer trueColour(64, 48, 24);
    ASSERT_TRUE(trueColour.ok()) << trueColour.error();
    std::optional<DisplayFacts> facts = ReadDisplayFacts(trueColour.display());
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->colourResolution, 24);
    EXPECT_EQ(facts->bitsPerPixel, 32);

    XvfbServer palette(64, 48, 8);
    ASSERT_TRUE(palette.ok()) << palette.error();
    facts = ReadDisplayFacts(palette.display());
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->colourResolution, 8);
    EXPECT_EQ(facts->colourCount, 256);
}

TEST(DisplayProbeTest, NoServerGivesNothing)
{
    std::string gone;
    {
        XvfbServer server(32, 32, 24);
        ASSERT_TRUE(server.ok()) << server.error();
        gone = server.display();
    }
    EXPECT_FALSE(ReadDisplayFacts(gone));
}

} // namespace
