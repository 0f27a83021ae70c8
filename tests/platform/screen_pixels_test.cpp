#include "platform/screen_pixels.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Converts one row and returns the blue-green-red bytes; the byte after the row must stay as it
// was (a converter that writes whole words may not spill into the next row or past the store).
std::vector<std::uint8_t> Convert(const ScreenPixelFormat &format,
                                  const std::vector<std::uint8_t> &source, int width)
{
    auto converter = ScreenRowConverter::For(format);
    EXPECT_TRUE(converter);
    if (!converter)
        return {};
    std::vector<std::uint8_t> target(3 * width + 1, 0xEE);
    converter->convert(source.data(), target.data(), width);
    EXPECT_EQ(target.back(), 0xEE) << "wrote past the row";
    target.pop_back();
    return target;
}

TEST(ScreenRowConverterTest, ReadsTheCommonLayoutsInBothByteOrders)
{
    const struct
    {
        const char *name;
        ScreenPixelFormat format;
        std::vector<std::uint8_t>
                source; // two pixels: (r 0x11, g 0x22, b 0x33), (r 0xF0, g 0x0F, b 0x80)
    } cases[] = {
        { "32-bit blue first",
          { 32, false, 0xFF0000, 0xFF00, 0xFF },
          { 0x33, 0x22, 0x11, 0x99, 0x80, 0x0F, 0xF0, 0x99 } },
        { "32-bit most significant first",
          { 32, true, 0xFF0000, 0xFF00, 0xFF },
          { 0x99, 0x11, 0x22, 0x33, 0x99, 0xF0, 0x0F, 0x80 } },
        { "32-bit red in the low byte",
          { 32, false, 0xFF, 0xFF00, 0xFF0000 },
          { 0x11, 0x22, 0x33, 0x99, 0xF0, 0x0F, 0x80, 0x99 } },
        { "24-bit packed",
          { 24, false, 0xFF0000, 0xFF00, 0xFF },
          { 0x33, 0x22, 0x11, 0x80, 0x0F, 0xF0 } },
        { "24-bit packed most significant first",
          { 24, true, 0xFF0000, 0xFF00, 0xFF },
          { 0x11, 0x22, 0x33, 0xF0, 0x0F, 0x80 } },
        // 10 bits per channel: the top 8 bits of each are kept.
        { "30-bit",
          { 32, false, 0x3FF00000, 0xFFC00, 0x3FF },
          { 0xCC, 0x20, 0x42, 0x04, 0x00, 0xF2, 0x00, 0x3C } },
    };

    const std::vector<std::uint8_t> want = { 0x33, 0x22, 0x11, 0x80, 0x0F, 0xF0 };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Convert(c.format, c.source, 2), want);
    }
}

TEST(ScreenRowConverterTest, WidensNarrowChannelsToFullRange)
{
    // 5-6-5 pixels: red, green, blue, white, black, one step below half of each channel.
    const std::vector<std::uint16_t> pixels = { 0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x7BEF };
    const std::vector<std::uint8_t> want = { 0,   0,   255, 0, 255, 0, 255, 0,   0,
                                             255, 255, 255, 0, 0,   0, 123, 125, 123 };
    std::vector<std::uint8_t> lsb;
    std::vector<std::uint8_t> msb;
    for (std::uint16_t p : pixels) {
        lsb.insert(lsb.end(), { static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8) });
        msb.insert(msb.end(), { static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p) });
    }
    const int width = static_cast<int>(pixels.size());
    EXPECT_EQ(Convert({ 16, false, 0xF800, 0x07E0, 0x001F }, lsb, width), want);
    EXPECT_EQ(Convert({ 16, true, 0xF800, 0x07E0, 0x001F }, msb, width), want);

    // 3-3-2 in one byte.
    EXPECT_EQ(Convert({ 8, false, 0xE0, 0x1C, 0x03 }, { 0xE0, 0x03, 0x49 }, 3),
              (std::vector<std::uint8_t>{ 0, 0, 255, 255, 0, 0, 85, 73, 73 }));

    // 5-5-5: the top bit is unused and must not leak into red.
    const std::vector<std::uint8_t> source = { 0x1F, 0x80, 0x00, 0x7C };
    EXPECT_EQ(Convert({ 16, false, 0x7C00, 0x03E0, 0x001F }, source, 2),
              (std::vector<std::uint8_t>{ 255, 0, 0, 0, 0, 255 }));
}

TEST(ScreenRowConverterTest, OneWideRowAndEmptyRowStayInside)
{
    const ScreenPixelFormat format{ 32, false, 0xFF0000, 0xFF00, 0xFF };
    EXPECT_EQ(Convert(format, { 1, 2, 3, 4 }, 1), (std::vector<std::uint8_t>{ 1, 2, 3 }));
    EXPECT_TRUE(Convert(format, {}, 0).empty());
}

TEST(ScreenRowConverterTest, RefusesLayoutsItCannotRead)
{
    const struct
    {
        const char *name;
        ScreenPixelFormat format;
    } cases[] = {
        { "no masks", { 32, false, 0, 0, 0 } },
        { "4-bit pixels", { 4, false, 0x8, 0x4, 0x3 } },
        { "overlapping masks", { 32, false, 0xFFFF00, 0xFF00, 0xFF } },
        { "split mask", { 32, false, 0xF0F000, 0xF00, 0xFF } },
        { "mask beyond the pixel", { 16, false, 0xFF0000, 0xFF00, 0xFF } },
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(ScreenRowConverter::For(c.format));
    }
}

} // namespace
