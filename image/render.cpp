#include "image/render.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

// How a source pixel reaches the buffer: palette look-up (optionally skipping the transparent
// index), a plain copy, a copy skipping the key colour, or blending by the alpha plane.
enum class Blend {
    Palette,
    PaletteKey,
    Copy,
    Key,
    Alpha
};

// The walk over the destination: lines (rows for even orientations, columns for odd ones) and
// pixels within a line, each with its step in buffer bytes and its source index.
// Neighbouring pixels of a line that show the same source column.
struct ColumnRun
{
    std::int32_t column = 0;
    std::int32_t length = 0;
};

struct Walk
{
    std::uint8_t *origin = nullptr;
    std::size_t outerStep = 0;
    std::size_t innerStep = 0;
    std::vector<std::int32_t> sourceRows; // per line: image row
    std::size_t lineLength = 0; // pixels per line
    std::vector<ColumnRun> columnRuns; // a line's pixels as runs of one source column
};

// Nearest source sample of view position v of a view side of length len over a canvas side of
// length span, mirrored when flip; clamped to [lo, hi) so that outside pixels repeat the edge.
std::int32_t sourceIndex(std::int64_t v, std::int64_t len, std::int64_t span, bool flip,
                         std::int32_t lo, std::int32_t hi)
{
    std::int64_t q = len > 0 ? v * span / len : 0;
    if (flip)
        q = span - 1 - q;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(q, lo, std::int64_t{ hi } - 1));
}

struct Key
{
    std::uint8_t index = 0;
    std::uint8_t blue = 0, green = 0, red = 0;
};

template <Blend B>
void writePixel(const ImageBuffer &image, const Key &key, const std::uint8_t *row,
                const std::uint8_t *alphaRow, std::int32_t c, std::uint8_t *out)
{
    if constexpr (B == Blend::Palette || B == Blend::PaletteKey) {
        std::uint8_t index = row[c];
        if (B == Blend::PaletteKey && index == key.index)
            return;
        const PaletteEntry &e = image.palette->entries[index];
        out[0] = e.blue;
        out[1] = e.green;
        out[2] = e.red;
    } else {
        const std::uint8_t *in = row + static_cast<std::size_t>(c) * 3;
        if constexpr (B == Blend::Key) {
            if (in[0] == key.blue && in[1] == key.green && in[2] == key.red)
                return;
        }
        if constexpr (B == Blend::Alpha) {
            unsigned a = alphaRow[c];
            if (a == 0)
                return;
            for (int k = 0; k < 3; ++k)
                out[k] = static_cast<std::uint8_t>((in[k] * a + (255 - a) * out[k]) / 255);
            return;
        }
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
    }
}

// Draws line after line. A line whose source row equals the previous line's is a copy of that
// destination line, and a pixel whose source column equals its predecessor's copies it, so an
// enlarged picture fetches each source pixel once.
template <Blend B>
void drawLines(const ImageBuffer &image, const Key &key, const Walk &walk)
{
    const std::size_t count = walk.lineLength;
    const bool contiguous = walk.innerStep == 3;
    for (std::size_t o = 0; o < walk.sourceRows.size(); ++o) {
        std::uint8_t *line = walk.origin + o * walk.outerStep;
        std::int32_t r = walk.sourceRows[o];
        if (o > 0 && r == walk.sourceRows[o - 1]) {
            const std::uint8_t *previous = line - walk.outerStep;
            if (contiguous) {
                std::memcpy(line, previous, count * 3);
            } else {
                for (std::size_t i = 0; i < count; ++i)
                    std::memcpy(line + i * walk.innerStep, previous + i * walk.innerStep, 3);
            }
            continue;
        }
        const std::uint8_t *row = image.row(r);
        const std::uint8_t *alphaRow = image.alpha
                ? image.alpha + static_cast<std::size_t>(r) * (image.width + image.rowPad)
                : nullptr;
        std::uint8_t *out = line;
        for (const ColumnRun &run : walk.columnRuns) {
            writePixel<B>(image, key, row, alphaRow, run.column, out);
            // The rest of the run repeats the pixel just written, whatever it became.
            const std::uint8_t b0 = out[0], b1 = out[1], b2 = out[2];
            out += walk.innerStep;
            for (std::int32_t k = 1; k < run.length; ++k, out += walk.innerStep) {
                out[0] = b0;
                out[1] = b1;
                out[2] = b2;
            }
        }
    }
}

Blend blendFor(const ImageBuffer &image)
{
    if (image.bytesPerPixel == 1)
        return image.transparent == -1 ? Blend::Palette : Blend::PaletteKey;
    if (image.transparent == -1)
        return Blend::Copy;
    return image.alpha ? Blend::Alpha : Blend::Key;
}

// Source rows per line and source columns per pixel for destination region d of a view of
// size view, mapped onto the canvas region s (frame at f) of a canvas of size canvas.
void mapSources(Walk &walk, const Rect &d, Size view, const Rect &s, const Rect &f, Size canvas,
                Orientation orientation)
{
    const bool odd = orientation % 2 != 0;
    // Which axes run backwards: rows for turned right, upside down, top-bottom flipped and
    // turned left mirrored; columns for upside down, turned left, mirrored and the last again.
    const bool flipRows =
            orientation == 1 || orientation == 2 || orientation == 6 || orientation == 7;
    const bool flipColumns =
            orientation == 2 || orientation == 3 || orientation == 4 || orientation == 7;
    const std::int32_t outerBegin = odd ? d.left : d.top;
    const std::int32_t outerEnd = odd ? d.right : d.bottom;
    const std::int32_t innerBegin = odd ? d.top : d.left;
    const std::int32_t innerEnd = odd ? d.bottom : d.right;
    const std::int64_t outerLen = odd ? view.width : view.height;
    const std::int64_t innerLen = odd ? view.height : view.width;
    walk.sourceRows.resize(static_cast<std::size_t>(outerEnd - outerBegin));
    for (std::int32_t o = outerBegin; o < outerEnd; ++o)
        walk.sourceRows[o - outerBegin] =
                sourceIndex(o, outerLen, canvas.height, flipRows, s.top, s.bottom) - f.top;
    walk.lineLength = static_cast<std::size_t>(innerEnd - innerBegin);
    walk.columnRuns.clear();
    for (std::int32_t i = innerBegin; i < innerEnd; ++i) {
        std::int32_t c =
                sourceIndex(i, innerLen, canvas.width, flipColumns, s.left, s.right) - f.left;
        if (walk.columnRuns.empty() || walk.columnRuns.back().column != c)
            walk.columnRuns.push_back({ c, 0 });
        ++walk.columnRuns.back().length;
    }
}

} // namespace

void renderImage(const ImageBuffer &image, const Rect &held, std::uint8_t *pixels,
                 std::int32_t rowPad, const RenderOptions &options)
{
    if (image.width <= 0 || image.height <= 0 || !image.pixels || !pixels)
        return;
    if ((image.bytesPerPixel != 1 && image.bytesPerPixel != 3)
        || (image.bytesPerPixel == 1 && !image.palette))
        return;
    Size view = options.viewSize.value_or(Size{ held.width(), held.height() });
    Rect d = options.viewSize ? Rect{ 0, 0, view.width, view.height }.intersected(held) : held;
    if (options.viewClip)
        d = d.intersected(*options.viewClip);
    if (d.isEmpty())
        return;
    Rect f{ options.frameX, options.frameY, options.frameX + image.width,
            options.frameY + image.height };
    Size canvas = options.canvasSize.value_or(Size{ f.width(), f.height() });
    Rect s = options.canvasSize ? Rect{ 0, 0, canvas.width, canvas.height }.intersected(f) : f;
    if (options.sourceClip)
        s = s.intersected(*options.sourceClip);
    if (s.isEmpty())
        return;

    const int orientation = ((options.orientation % 8) + 8) % 8;
    const std::size_t stride = static_cast<std::size_t>(held.width() + rowPad) * 3;
    Walk walk;
    walk.origin = pixels + static_cast<std::size_t>(d.top - held.top) * stride
            + static_cast<std::size_t>(d.left - held.left) * 3;
    walk.outerStep = orientation % 2 != 0 ? 3 : stride;
    walk.innerStep = orientation % 2 != 0 ? stride : 3;
    mapSources(walk, d, view, s, f, canvas, orientation);

    Key key;
    key.index = static_cast<std::uint8_t>(image.transparent);
    key.blue = BlueOf(image.transparent);
    key.green = GreenOf(image.transparent);
    key.red = RedOf(image.transparent);
    switch (blendFor(image)) {
    case Blend::Palette:
        drawLines<Blend::Palette>(image, key, walk);
        break;
    case Blend::PaletteKey:
        drawLines<Blend::PaletteKey>(image, key, walk);
        break;
    case Blend::Copy:
        drawLines<Blend::Copy>(image, key, walk);
        break;
    case Blend::Key:
        drawLines<Blend::Key>(image, key, walk);
        break;
    case Blend::Alpha:
        drawLines<Blend::Alpha>(image, key, walk);
        break;
    }
}
