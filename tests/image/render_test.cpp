#include "image/render.h"

#include "image/view_buffer.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A 3-byte picture whose pixel at (x, y) has blue = label[y][x] and green, red = 0, so a rendered
// buffer can be read back as labels.
ImageBuffer labelledPicture(const std::vector<std::string> &rows)
{
    ImageBuffer image;
    image.create(static_cast<std::int32_t>(rows[0].size()), static_cast<std::int32_t>(rows.size()),
                 3, false);
    for (std::int32_t y = 0; y < image.height; ++y)
        for (std::int32_t x = 0; x < image.width; ++x)
            image.row(y)[x * 3] = static_cast<std::uint8_t>(rows[y][x]);
    return image;
}

struct View
{
    std::int32_t width, height, rowPad;
    std::vector<std::uint8_t> bytes;

    View(std::int32_t w, std::int32_t h, std::int32_t pad = 0, std::uint8_t fill = 0)
        : width(w), height(h), rowPad(pad), bytes(static_cast<std::size_t>((w + pad) * h * 3), fill)
    { }

    std::uint8_t *pixel(std::int32_t x, std::int32_t y)
    {
        return &bytes[static_cast<std::size_t>((y * (width + rowPad) + x) * 3)];
    }

    std::vector<std::string> labels()
    {
        std::vector<std::string> rows;
        for (std::int32_t y = 0; y < height; ++y) {
            rows.emplace_back();
            for (std::int32_t x = 0; x < width; ++x)
                rows.back() += static_cast<char>(*pixel(x, y));
        }
        return rows;
    }

    // The view as a picture of its own, to render again.
    ImageBuffer picture() { return labelledPicture(labels()); }
};

RenderOptions options(void (*set)(RenderOptions &))
{
    RenderOptions o;
    set(o);
    return o;
}

View renderWhole(const ImageBuffer &image, Orientation orientation, std::int32_t w, std::int32_t h,
                 std::int32_t rowPad = 0)
{
    View view(w, h, rowPad);
    RenderOptions options;
    options.orientation = orientation;
    renderImage(image, { 0, 0, w, h }, view.bytes.data(), rowPad, options);
    return view;
}

TEST(RenderImage, EachOrientationTurnsAndMirrorsAsDescribed)
{
    const ImageBuffer image = labelledPicture({ "abc", "def" });
    const std::vector<std::string> expected[8] = {
        { "abc", "def" }, { "da", "eb", "fc" }, { "fed", "cba" }, { "cf", "be", "ad" },
        { "cba", "fed" }, { "ad", "be", "cf" }, { "def", "abc" }, { "fc", "eb", "da" },
    };
    for (int d = 0; d < 8; ++d) {
        std::int32_t w = d % 2 ? 2 : 3, h = d % 2 ? 3 : 2;
        EXPECT_EQ(renderWhole(image, d, w, h, 1).labels(), expected[d]) << "orientation " << d;
    }
}

TEST(RenderImage, TwoByOnePictureTurnedLeftAndRight)
{
    ImageBuffer image;
    image.create(2, 1, 3, false);
    std::uint8_t *p = image.row(0);
    p[2] = 255; // left pixel red
    p[3] = 255; // right pixel blue
    View right = renderWhole(image, 1, 1, 2);
    EXPECT_EQ(right.pixel(0, 0)[2], 255);
    EXPECT_EQ(right.pixel(0, 1)[0], 255);
    View left = renderWhole(image, 3, 1, 2);
    EXPECT_EQ(left.pixel(0, 0)[0], 255);
    EXPECT_EQ(left.pixel(0, 1)[2], 255);
}

TEST(RenderImage, InverseOrientationsAndFourQuarterTurnsGiveThePictureBack)
{
    const ImageBuffer image = labelledPicture({ "abcd", "efgh", "ijkl" });
    const std::vector<std::string> original = { "abcd", "efgh", "ijkl" };
    for (int d = 0; d < 8; ++d) {
        int inverse = d < 4 ? (4 - d) % 4 : d;
        std::int32_t w = d % 2 ? 3 : 4, h = d % 2 ? 4 : 3;
        ImageBuffer turned = renderWhole(image, d, w, h).picture();
        EXPECT_EQ(renderWhole(turned, inverse, 4, 3).labels(), original) << "orientation " << d;
    }
    ImageBuffer step = labelledPicture(original);
    for (int turn = 0; turn < 4; ++turn)
        step = renderWhole(step, 1, step.height, step.width).picture();
    EXPECT_EQ(renderWhole(step, 0, 4, 3).labels(), original);
}

TEST(RenderImage, ScalesByNearestNeighbourWithoutTouchingThePadding)
{
    struct Case
    {
        std::vector<std::string> picture;
        Orientation orientation;
        std::int32_t w, h;
        std::vector<std::string> expected;
    };

    const Case cases[] = {
        { { "a" }, 0, 4, 4, { "aaaa", "aaaa", "aaaa", "aaaa" } },
        { { "ab", "cd" }, 0, 4, 4, { "aabb", "aabb", "ccdd", "ccdd" } },
        { { "ab", "cd" }, 1, 4, 4, { "ccaa", "ccaa", "ddbb", "ddbb" } },
        { { "abcd", "efgh", "ijkl", "mnop" }, 0, 2, 2, { "ac", "ik" } },
        { { "abc" }, 0, 5, 1, { "aabbc" } },
        { { "abc" }, 4, 5, 1, { "ccbba" } },
    };
    for (const auto &c : cases) {
        View view(c.w, c.h, 3, 'z');
        RenderOptions options;
        options.orientation = c.orientation;
        renderImage(labelledPicture(c.picture), { 0, 0, c.w, c.h }, view.bytes.data(), 3, options);
        EXPECT_EQ(view.labels(), c.expected) << c.picture[0] << " at " << c.orientation;
        for (std::int32_t y = 0; y < c.h; ++y)
            for (std::int32_t x = c.w; x < c.w + 3; ++x)
                EXPECT_EQ(*view.pixel(x, y), 'z') << "padding written at " << x << "," << y;
    }
}

TEST(RenderImage, ClipsToHeldRectangleViewClipFrameAndSourceClip)
{
    const ImageBuffer picture = labelledPicture({ "abcd", "efgh", "ijkl", "mnop" });
    const ImageBuffer frame = labelledPicture({ "xy" });

    struct Case
    {
        const char *name;
        const ImageBuffer *image;
        Rect held;
        RenderOptions options;
        std::vector<std::string> expected;
    };

    const Case cases[] = {
        { "band of a larger view",
          &picture,
          { 1, 1, 3, 3 },
          options([](RenderOptions &o) {
              o.viewSize = Size{ 4, 4 };
          }),
          { "fg", "jk" } },
        { "view clip",
          &picture,
          { 0, 0, 4, 2 },
          options([](RenderOptions &o) {
              o.viewClip = Rect{ 1, 0, 3, 1 };
          }),
          { ".bc.", "...." } },
        { "held beyond the view",
          &picture,
          { 2, 2, 6, 3 },
          options([](RenderOptions &o) {
              o.viewSize = Size{ 4, 4 };
          }),
          { "kl.." } },
        { "frame on a canvas repeats its edges",
          &frame,
          { 0, 0, 4, 1 },
          options([](RenderOptions &o) {
              o.frameX = 1;
              o.canvasSize = Size{ 4, 1 };
          }),
          { "xxyy" } },
        { "source clip",
          &picture,
          { 0, 0, 4, 1 },
          options([](RenderOptions &o) {
              o.sourceClip = Rect{ 1, 0, 3, 4 };
          }),
          { "bbcc" } },
        { "empty source clip",
          &picture,
          { 0, 0, 2, 1 },
          options([](RenderOptions &o) {
              o.sourceClip = Rect{ 9, 9, 9, 9 };
          }),
          { ".." } },
        { "empty view clip",
          &picture,
          { 0, 0, 2, 1 },
          options([](RenderOptions &o) {
              o.viewClip = Rect{ 5, 0, 6, 1 };
          }),
          { ".." } },
    };
    for (const auto &c : cases) {
        View view(c.held.width(), c.held.height(), 1, '.');
        renderImage(*c.image, c.held, view.bytes.data(), 1, c.options);
        EXPECT_EQ(view.labels(), c.expected) << c.name;
    }
}

TEST(RenderImage, TransparencyKeepsOrBlendsTheBuffer)
{
    ImagePalette palette;
    palette.count = 2;
    palette.entries[1] = { 10, 20, 30, 0 };

    struct Case
    {
        const char *name;
        std::uint8_t bytesPerPixel;
        std::int32_t transparent;
        std::uint8_t source[3];
        int alphaValue; // -1: no alpha plane
        std::array<std::uint8_t, 3> expected;
    };

    const Case cases[] = {
        { "index 0 transparent", 1, 0, { 0 }, -1, { 100, 100, 100 } },
        { "other index drawn", 1, 0, { 1 }, -1, { 30, 20, 10 } },
        { "index without key", 1, -1, { 0 }, -1, { 0, 0, 0 } },
        { "key colour kept out", 3, MakeRgb(3, 2, 1), { 1, 2, 3 }, -1, { 100, 100, 100 } },
        { "other colour copied", 3, MakeRgb(3, 2, 1), { 1, 2, 4 }, -1, { 1, 2, 4 } },
        { "alpha 0", 3, MakeRgb(0, 0, 0), { 200, 200, 200 }, 0, { 100, 100, 100 } },
        { "alpha 255", 3, MakeRgb(0, 0, 0), { 200, 0, 255 }, 255, { 200, 0, 255 } },
        { "alpha 128", 3, MakeRgb(0, 0, 0), { 200, 0, 255 }, 128, { 150, 49, 177 } },
        { "alpha unused without key", 3, -1, { 200, 0, 255 }, 0, { 200, 0, 255 } },
    };
    for (const auto &c : cases) {
        ImageBuffer image;
        image.create(1, 1, c.bytesPerPixel, c.alphaValue >= 0);
        std::copy_n(c.source, c.bytesPerPixel, image.pixels);
        if (c.alphaValue >= 0)
            image.alpha[0] = static_cast<std::uint8_t>(c.alphaValue);
        image.transparent = c.transparent;
        if (c.bytesPerPixel == 1) {
            *image.palette = palette;
        }
        View view(2, 2, 0, 100);
        renderImage(image, { 0, 0, 2, 2 }, view.bytes.data(), 0);
        for (std::int32_t i = 0; i < 4; ++i) {
            std::uint8_t *p = view.pixel(i % 2, i / 2);
            EXPECT_EQ((std::array<std::uint8_t, 3>{ p[0], p[1], p[2] }), c.expected) << c.name;
        }
    }
}

TEST(MakeViewBuffer, PadsTheWidthAndHalvesTheHeightWhenShort)
{
    struct Case
    {
        std::int32_t width, height;
        bool halve;
        std::size_t limit;
        bool made;
        std::int32_t gotWidth, gotHeight;
    };

    const Case cases[] = {
        { 13, 5, false, 1 << 20, true, 16, 5 },
        { 16, 5, false, 1 << 20, true, 16, 5 },
        { 4, 100, true, 360, true, 4, 25 }, // 100, 50, then 25 rows fit
        { 4, 100, false, 360, false, 0, 0 },
        { 4, 100, true, 12 * 3, false, 0, 0 }, // 4 rows are too many and 2 too few to try
        { 0, 10, true, 1 << 20, false, 0, 0 },
        { 10, 0, true, 1 << 20, false, 0, 0 },
    };
    for (const auto &c : cases) {
        auto buffer = makeViewBuffer(c.width, c.height, c.halve, false, c.limit);
        ASSERT_EQ(buffer.has_value(), c.made) << c.width << "x" << c.height;
        if (!buffer)
            continue;
        EXPECT_EQ(buffer->width, c.gotWidth);
        EXPECT_EQ(buffer->height, c.gotHeight);
        ASSERT_NE(buffer->pixels, nullptr);
        buffer->pixels[buffer->stride() * buffer->height - 1] = 1; // the whole store is ours
    }
}

} // namespace
