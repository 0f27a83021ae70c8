#include "image/resample.h"

#include "image/image_buffer.h"
#include "image/rect.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <vector>

bool convertToTrueColour(const std::uint8_t *source, std::int32_t width, std::int32_t height,
                         std::int32_t sourceRowPad, int sourceBytesPerPixel,
                         const ImagePalette *palette, std::uint8_t *destination,
                         std::int32_t destinationRowPad)
{
    if (sourceBytesPerPixel == 1 && !palette)
        return false;
    std::size_t sourceStride = static_cast<std::size_t>(width + sourceRowPad) * sourceBytesPerPixel;
    std::size_t destinationStride = static_cast<std::size_t>(width + destinationRowPad) * 3;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t *in = source + y * sourceStride;
        std::uint8_t *out = destination + y * destinationStride;
        if (sourceBytesPerPixel == 3) {
            std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
            continue;
        }
        for (std::int32_t x = 0; x < width; ++x, out += 3) {
            const PaletteEntry &e = palette->entries[in[x]];
            out[0] = e.blue;
            out[1] = e.green;
            out[2] = e.red;
        }
    }
    return true;
}

namespace {

// A pixel array read as 1 (plane), 3 (blue, green, red) or, through lut, 3 channels per pixel.
struct PixelSource
{
    const std::uint8_t *base = nullptr;
    std::size_t stride = 0;
    int bytesPerPixel = 1;
    const std::uint8_t (*lut)[3] = nullptr;

    const std::uint8_t *at(std::int32_t x, std::int32_t y) const
    {
        const std::uint8_t *p = base + static_cast<std::size_t>(y) * stride
                + static_cast<std::size_t>(x) * bytesPerPixel;
        return lut ? lut[*p] : p;
    }
};

struct PixelTarget
{
    std::uint8_t *base = nullptr;
    std::size_t stride = 0;
    int channels = 3;

    std::uint8_t *at(std::int32_t x, std::int32_t y) const
    {
        return base + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * channels;
    }
};

std::uint8_t clampByte(std::int64_t v)
{
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
}

// One axis: each target pixel is the weighted sum of source pixels along its row (alongRows) or
// its column, the table indexed by the target's position on that axis.
void axisPass(const PixelSource &in, const ResampleTable &t, std::int32_t width, std::int32_t rows,
              const PixelTarget &out, bool alongRows)
{
    for (std::int32_t y = 0; y < rows; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const std::int32_t i = alongRows ? x : y;
            std::int32_t sum[3] = {};
            const std::uint16_t *w = &t.weights[static_cast<std::size_t>(i) * t.taps];
            for (std::int32_t j = t.first[i]; j <= t.last[i]; ++j, ++w) {
                const std::uint8_t *p = alongRows ? in.at(j, y) : in.at(x, j);
                for (int c = 0; c < out.channels; ++c)
                    sum[c] += *w * p[c];
            }
            std::uint8_t *o = out.at(x, y);
            for (int c = 0; c < out.channels; ++c)
                o[c] = clampByte((sum[c] + 50) / 100);
        }
    }
}

// The sums of axisPass along rows for pixels stored as they are read (no palette), with the
// channel count known to the compiler: the common case, about four times faster.
template <int Channels>
void horizontalDirect(const PixelSource &in, const ResampleTable &t, std::int32_t width,
                      std::int32_t rows, const PixelTarget &out)
{
    for (std::int32_t y = 0; y < rows; ++y) {
        const std::uint8_t *row = in.base + static_cast<std::size_t>(y) * in.stride;
        std::uint8_t *o = out.base + static_cast<std::size_t>(y) * out.stride;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint16_t *w = &t.weights[static_cast<std::size_t>(x) * t.taps];
            const std::uint8_t *p = row + static_cast<std::size_t>(t.first[x]) * Channels;
            std::int32_t sum[Channels] = {};
            for (std::int32_t j = t.first[x]; j <= t.last[x]; ++j, ++w, p += Channels)
                for (int c = 0; c < Channels; ++c)
                    sum[c] += *w * p[c];
            for (int c = 0; c < Channels; ++c)
                *o++ = clampByte((sum[c] + 50) / 100);
        }
    }
}

// The sums of axisPass down columns, a whole target row at a time so that the inner loop runs
// along memory. False when the row of sums cannot be had.
bool verticalDirect(const PixelSource &in, const ResampleTable &t, std::int32_t width,
                    std::int32_t rows, const PixelTarget &out)
{
    const std::size_t count = static_cast<std::size_t>(width) * out.channels;
    std::vector<std::int32_t> sums;
    try {
        sums.resize(count);
    } catch (const std::bad_alloc &) {
        return false;
    }
    for (std::int32_t y = 0; y < rows; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const std::uint16_t *w = &t.weights[static_cast<std::size_t>(y) * t.taps];
        for (std::int32_t j = t.first[y]; j <= t.last[y]; ++j, ++w) {
            const std::uint8_t *p = in.base + static_cast<std::size_t>(j) * in.stride;
            const std::int32_t weight = *w;
            for (std::size_t k = 0; k < count; ++k)
                sums[k] += weight * p[k];
        }
        std::uint8_t *o = out.base + static_cast<std::size_t>(y) * out.stride;
        for (std::size_t k = 0; k < count; ++k)
            o[k] = clampByte((sums[k] + 50) / 100);
    }
    return true;
}

bool isDirect(const PixelSource &in, const PixelTarget &out)
{
    return !in.lut && in.bytesPerPixel == out.channels;
}

void horizontalPass(const PixelSource &in, const ResampleTable &t, std::int32_t width,
                    std::int32_t rows, const PixelTarget &out)
{
    if (isDirect(in, out) && out.channels == 3)
        horizontalDirect<3>(in, t, width, rows, out);
    else if (isDirect(in, out) && out.channels == 1)
        horizontalDirect<1>(in, t, width, rows, out);
    else
        axisPass(in, t, width, rows, out, true);
}

void verticalPass(const PixelSource &in, const ResampleTable &t, std::int32_t width,
                  std::int32_t rows, const PixelTarget &out)
{
    if (!isDirect(in, out) || !verticalDirect(in, t, width, rows, out))
        axisPass(in, t, width, rows, out, false);
}

// Both axes at once with the products of the two weights: slower, but needs no intermediate.
void combinedPass(const PixelSource &in, const ResampleTable &tx, const ResampleTable &ty,
                  std::int32_t width, std::int32_t rows, const PixelTarget &out)
{
    for (std::int32_t y = 0; y < rows; ++y) {
        const std::uint16_t *wy = &ty.weights[static_cast<std::size_t>(y) * ty.taps];
        for (std::int32_t x = 0; x < width; ++x) {
            std::int64_t sum[3] = {};
            for (std::int32_t j = ty.first[y]; j <= ty.last[y]; ++j) {
                const std::uint16_t *wx = &tx.weights[static_cast<std::size_t>(x) * tx.taps];
                std::int64_t rowWeight = wy[j - ty.first[y]];
                for (std::int32_t i = tx.first[x]; i <= tx.last[x]; ++i, ++wx) {
                    const std::uint8_t *p = in.at(i, j);
                    for (int c = 0; c < out.channels; ++c)
                        sum[c] += rowWeight * *wx * p[c];
                }
            }
            std::uint8_t *o = out.at(x, y);
            for (int c = 0; c < out.channels; ++c)
                o[c] = clampByte((sum[c] + 5000) / 10000);
        }
    }
}

void copyPixels(const PixelSource &in, std::int32_t width, std::int32_t rows,
                const PixelTarget &out)
{
    for (std::int32_t y = 0; y < rows; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            std::memcpy(out.at(x, y), in.at(x, y), static_cast<std::size_t>(out.channels));
}

// The two-pass form's intermediate, or an empty vector when it cannot be had; like the image
// stores it is not attempted beyond 1 GiB because the host over-commits memory.
std::vector<std::uint8_t> allocateIntermediate(std::int32_t width, std::int32_t rows, int channels)
{
    std::uint64_t bytes = static_cast<std::uint64_t>(width) * rows * channels;
    if (bytes > ImageBuffer::kMaxStoreBytes)
        return {};
    try {
        return std::vector<std::uint8_t>(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc &) {
        return {};
    }
}

bool resampleAny(const PixelSource &in, Size from, const PixelTarget &out, Size to,
                 bool allowTwoPass)
{
    if (from.width < 1 || from.height < 1 || to.width < 1 || to.height < 1)
        return false;
    if (from == to) {
        copyPixels(in, to.width, to.height, out);
        return true;
    }
    ResampleTable tx, ty;
    if (from.width == to.width) {
        if (!buildResampleTable(from.height, to.height, ty))
            return false;
        verticalPass(in, ty, to.width, to.height, out);
        return true;
    }
    if (!buildResampleTable(from.width, to.width, tx))
        return false;
    if (from.height == to.height) {
        horizontalPass(in, tx, to.width, to.height, out);
        return true;
    }
    if (!buildResampleTable(from.height, to.height, ty))
        return false;
    std::vector<std::uint8_t> between;
    if (allowTwoPass)
        between = allocateIntermediate(to.width, from.height, out.channels);
    if (between.empty()) {
        combinedPass(in, tx, ty, to.width, to.height, out);
        return true;
    }
    std::size_t stride = static_cast<std::size_t>(to.width) * out.channels;
    horizontalPass(in, tx, to.width, from.height, { between.data(), stride, out.channels });
    verticalPass({ between.data(), stride, out.channels, nullptr }, ty, to.width, to.height, out);
    return true;
}

bool resampleColour(const std::uint8_t *source, Size from, std::int32_t sourceRowPad,
                    int sourceBytesPerPixel, const ImagePalette *palette, std::uint8_t *destination,
                    Size to, std::int32_t destinationRowPad, bool allowTwoPass)
{
    if ((sourceBytesPerPixel != 1 && sourceBytesPerPixel != 3)
        || (sourceBytesPerPixel == 1 && !palette))
        return false;
    std::uint8_t lut[256][3];
    PixelSource in{ source,
                    static_cast<std::size_t>(from.width + sourceRowPad) * sourceBytesPerPixel,
                    sourceBytesPerPixel, nullptr };
    if (sourceBytesPerPixel == 1) {
        for (int i = 0; i < ImagePalette::kMaxEntries; ++i) {
            lut[i][0] = palette->entries[i].blue;
            lut[i][1] = palette->entries[i].green;
            lut[i][2] = palette->entries[i].red;
        }
        in.lut = lut;
    }
    PixelTarget out{ destination, static_cast<std::size_t>(to.width + destinationRowPad) * 3, 3 };
    return resampleAny(in, from, out, to, allowTwoPass);
}

// The smallest value of one channel that no palette entry but the skipped one has.
std::uint8_t smallestUnused(const ImagePalette &palette, int skipped,
                            std::uint8_t PaletteEntry::*channel)
{
    bool used[256] = {};
    for (int i = 0; i < palette.count && i < ImagePalette::kMaxEntries; ++i)
        if (i != skipped)
            used[palette.entries[i].*channel] = true;
    for (int v = 0; v < 256; ++v)
        if (!used[v])
            return static_cast<std::uint8_t>(v);
    return palette.entries[skipped].*channel;
}

} // namespace

bool buildResampleTable(std::int32_t sourceCount, std::int32_t outputCount, ResampleTable &table)
{
    if (sourceCount < 1 || outputCount < 1)
        return false;
    // Hundredths of a source sample throughout; 64 bits because positions of a long axis
    // times 10,000 exceed 32 bits.
    const std::int64_t n = sourceCount;
    const std::int64_t s = std::max<std::int64_t>(1, std::int64_t{ outputCount } * 100 / n);
    const std::int64_t unit = s >= 100 ? 100 : s;
    const std::int64_t reach = s >= 100 ? 100 : 10000 / s;
    const std::int32_t taps =
            static_cast<std::int32_t>(std::min<std::int64_t>(101, 2 * ((reach + 99) / 100) + 1));
    try {
        table.taps = taps;
        table.first.assign(static_cast<std::size_t>(outputCount), 0);
        table.last.assign(static_cast<std::size_t>(outputCount), 0);
        table.weights.assign(static_cast<std::size_t>(outputCount) * taps, 0);
    } catch (const std::exception &) {
        table = {};
        return false;
    }
    std::int64_t raw[101];
    for (std::int32_t i = 0; i < outputCount; ++i) {
        std::int64_t p = std::min(std::int64_t{ i } * 10000 / s, (n - 1) * 100);
        std::int64_t first = std::max<std::int64_t>(0, (p - reach) / 100);
        std::int64_t last = std::min(n - 1, (p + reach + 99) / 100);
        while (last - first + 1 > taps) {
            if ((last - first + 1) % 2 != 0)
                ++first;
            else
                --last;
        }
        std::int64_t sum = 0;
        std::int64_t lastNonZero = last;
        for (std::int64_t j = first; j <= last; ++j) {
            raw[j - first] =
                    unit * std::max<std::int64_t>(0, 100 - std::abs(unit * (p - 100 * j) / 100));
            sum += raw[j - first];
            if (raw[j - first] != 0)
                lastNonZero = j;
        }
        std::uint16_t *w = &table.weights[static_cast<std::size_t>(i) * taps];
        std::int64_t count = last - first + 1;
        std::int64_t total = 0;
        for (std::int64_t j = 0; j < count; ++j) {
            w[j] = static_cast<std::uint16_t>(sum > 0 ? raw[j] * 100 / sum : 100 / count);
            total += w[j];
        }
        if (sum > 0)
            w[lastNonZero - first] =
                    static_cast<std::uint16_t>(w[lastNonZero - first] + 100 - total);
        table.first[i] = static_cast<std::int32_t>(first);
        table.last[i] = static_cast<std::int32_t>(last);
    }
    return true;
}

bool resampleToTrueColour(const std::uint8_t *source, std::int32_t sourceWidth,
                          std::int32_t sourceHeight, std::int32_t sourceRowPad,
                          int sourceBytesPerPixel, const ImagePalette *palette,
                          std::uint8_t *destination, std::int32_t destinationWidth,
                          std::int32_t destinationHeight, std::int32_t destinationRowPad)
{
    return resampleColour(source, { sourceWidth, sourceHeight }, sourceRowPad, sourceBytesPerPixel,
                          palette, destination, { destinationWidth, destinationHeight },
                          destinationRowPad, true);
}

bool resampleToTrueColourSinglePass(const std::uint8_t *source, std::int32_t sourceWidth,
                                    std::int32_t sourceHeight, std::int32_t sourceRowPad,
                                    int sourceBytesPerPixel, const ImagePalette *palette,
                                    std::uint8_t *destination, std::int32_t destinationWidth,
                                    std::int32_t destinationHeight, std::int32_t destinationRowPad)
{
    return resampleColour(source, { sourceWidth, sourceHeight }, sourceRowPad, sourceBytesPerPixel,
                          palette, destination, { destinationWidth, destinationHeight },
                          destinationRowPad, false);
}

bool resamplePlane(const std::uint8_t *source, std::int32_t sourceWidth, std::int32_t sourceHeight,
                   std::int32_t sourceRowPad, std::uint8_t *destination,
                   std::int32_t destinationWidth, std::int32_t destinationHeight,
                   std::int32_t destinationRowPad)
{
    PixelSource in{ source, static_cast<std::size_t>(sourceWidth + sourceRowPad), 1, nullptr };
    PixelTarget out{ destination, static_cast<std::size_t>(destinationWidth + destinationRowPad),
                     1 };
    return resampleAny(in, { sourceWidth, sourceHeight }, out,
                       { destinationWidth, destinationHeight }, true);
}

void expandIndexed(std::int32_t width, std::int32_t height, const std::uint8_t *source,
                   std::int32_t sourceRowPad, ImagePalette &palette, std::int32_t transparentIndex,
                   std::uint8_t *destination, std::int32_t destinationRowPad, bool blueFirst,
                   RgbValue &transparentColour)
{
    transparentColour = kNoColour;
    if (transparentIndex >= 0 && transparentIndex < palette.count
        && transparentIndex < ImagePalette::kMaxEntries) {
        PaletteEntry &key = palette.entries[transparentIndex];
        bool shared = false;
        for (int i = 0; i < palette.count && i < ImagePalette::kMaxEntries && !shared; ++i)
            shared = i != transparentIndex && palette.entries[i].sameColour(key);
        if (shared) {
            std::uint8_t red = smallestUnused(palette, transparentIndex, &PaletteEntry::red);
            std::uint8_t green = smallestUnused(palette, transparentIndex, &PaletteEntry::green);
            std::uint8_t blue = smallestUnused(palette, transparentIndex, &PaletteEntry::blue);
            key.red = red;
            key.green = green;
            key.blue = blue;
        }
        transparentColour = MakeRgb(key.red, key.green, key.blue);
    }
    std::size_t sourceStride = static_cast<std::size_t>(width + sourceRowPad);
    std::size_t destinationStride = static_cast<std::size_t>(width + destinationRowPad) * 3;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t *in = source + y * sourceStride;
        std::uint8_t *out = destination + y * destinationStride;
        for (std::int32_t x = 0; x < width; ++x, out += 3) {
            const PaletteEntry &e = palette.entries[in[x]];
            out[0] = blueFirst ? e.blue : e.red;
            out[1] = e.green;
            out[2] = blueFirst ? e.red : e.blue;
        }
    }
}
