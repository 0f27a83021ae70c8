#include "image/image_buffer.h"

#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "image/resample.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace {

// A decode writes every byte of a fresh store. The system hands such memory over one page
// at a time, and for a 12-megapixel photograph those faults cost a fifth of the decoding time;
// huge pages make them hundreds of times fewer. Only a hint: nothing depends on it being taken.
void adviseHugePages(std::uint8_t *start, std::size_t bytes)
{
    constexpr std::size_t kWorthIt = std::size_t{ 8 } << 20;
    if (bytes < kWorthIt)
        return;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (address + page - 1) / page * page;
    const std::uintptr_t end = (address + bytes) / page * page;
    ::madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
}

} // namespace

void ImageBuffer::FreeStore::operator()(std::uint8_t *p) const
{
    std::free(p);
}

ImageBuffer::~ImageBuffer()
{
    reset();
}

ImageBuffer::ImageBuffer(ImageBuffer &&other) noexcept
{
    *this = std::move(other);
}

ImageBuffer &ImageBuffer::operator=(ImageBuffer &&other) noexcept
{
    if (this == &other)
        return *this;
    reset();
    width = std::exchange(other.width, 0);
    height = std::exchange(other.height, 0);
    rowPad = std::exchange(other.rowPad, 0);
    bytesPerPixel = std::exchange(other.bytesPerPixel, 0);
    pixelStore = std::move(other.pixelStore);
    pixels = std::exchange(other.pixels, nullptr);
    alphaStore = std::move(other.alphaStore);
    alpha = std::exchange(other.alpha, nullptr);
    transparent = std::exchange(other.transparent, -1);
    ownsPalette = std::exchange(other.ownsPalette, true);
    palette = std::exchange(other.palette, nullptr);
    return *this;
}

void ImageBuffer::freePalette()
{
    if (ownsPalette)
        delete palette;
    palette = nullptr;
    ownsPalette = true;
}

void ImageBuffer::reset()
{
    width = height = rowPad = 0;
    bytesPerPixel = 0;
    pixelStore.reset();
    pixels = nullptr;
    alphaStore.reset();
    alpha = nullptr;
    transparent = -1;
    freePalette();
}

std::size_t ImageBuffer::stride() const
{
    return static_cast<std::size_t>(width + rowPad) * bytesPerPixel;
}

PixelSpan ImageBuffer::span() const
{
    return PixelSpan{ pixels, width, height, stride(), bytesPerPixel, palette };
}

ImageBuffer::Store ImageBuffer::allocateStore(std::int32_t rowPixels, std::int32_t rows,
                                              int bytesPerPixel)
{
    // Each factor is below 2^31, so the product fits in 64 bits before it is checked.
    std::uint64_t bytes = static_cast<std::uint64_t>(rowPixels) * static_cast<std::uint64_t>(rows)
            * static_cast<std::uint64_t>(bytesPerPixel);
    if (rowPixels <= 0 || rows <= 0 || bytes > kMaxStoreBytes)
        ThrowAlb(Msg::NotEnoughMemory);
    // calloc: large stores come as fresh zero pages from the system without a clearing pass.
    Store store(static_cast<std::uint8_t *>(std::calloc(static_cast<std::size_t>(bytes), 1)));
    if (!store)
        ThrowAlb(Msg::NotEnoughMemory);
    adviseHugePages(store.get(), static_cast<std::size_t>(bytes));
    return store;
}

void ImageBuffer::create(std::int32_t newWidth, std::int32_t newHeight,
                         std::uint8_t newBytesPerPixel, bool withAlpha)
{
    reset();
    bytesPerPixel = newBytesPerPixel;
    if (newWidth < 1 || newHeight < 1)
        return;
    try {
        width = newWidth;
        height = newHeight;
        rowPad = RowPadFor(width);
        // width + rowPad may exceed int32 for absurd widths; allocateStore refuses those.
        std::int32_t rowPixels = width > INT32_MAX - 3 ? -1 : width + rowPad;
        pixelStore = allocateStore(rowPixels, height, bytesPerPixel);
        pixels = pixelStore.get();
        if (withAlpha) {
            alphaStore = allocateStore(rowPixels, height, 1);
            alpha = alphaStore.get();
        }
        if (bytesPerPixel == 1) {
            ownsPalette = true;
            palette = new (std::nothrow) ImagePalette;
            if (!palette)
                ThrowAlb(Msg::NotEnoughMemory);
            palette->count = ImagePalette::kMaxEntries;
        }
    } catch (...) {
        reset();
        throw;
    }
}

void ImageBuffer::ensureTrueColour()
{
    if (bytesPerPixel == 3 || !pixelStore)
        return;
    isolateTransparentColour();
    if (!palette)
        ThrowAlb(Msg::NotEnoughMemory);
    std::int32_t rowPixels = width + rowPad;
    Store colourStore = allocateStore(rowPixels, height, 3);
    if (!convertToTrueColour(pixels, width, height, rowPad, 1, palette, colourStore.get(), rowPad))
        ThrowAlb(Msg::NotEnoughMemory);
    Store newAlpha;
    if (alphaStore) {
        newAlpha = allocateStore(rowPixels, height, 1);
        std::copy_n(alphaStore.get(), static_cast<std::size_t>(rowPixels) * height, newAlpha.get());
    }
    pixelStore = std::move(colourStore);
    pixels = pixelStore.get();
    if (transparent != -1) {
        const PaletteEntry &key = palette->entries[transparent & 0xFF];
        transparent = MakeRgb(key.red, key.green, key.blue);
    }
    if (alphaStore) {
        alphaStore = std::move(newAlpha);
        alpha = alphaStore.get();
    }
    freePalette();
    bytesPerPixel = 3;
}

void ImageBuffer::isolateTransparentColour()
{
    if (bytesPerPixel != 1 || !pixelStore || !palette || transparent == -1)
        return;
    if (static_cast<std::uint32_t>(transparent) >= palette->count) {
        transparent = -1;
        return;
    }
    PaletteEntry &key = palette->entries[transparent];
    bool shared = false;
    for (int i = 0; i < palette->count && !shared; ++i)
        shared = i != transparent && palette->entries[i].sameColour(key);
    if (!shared)
        return;
    // 127, 128, 129 is an unlikely colour; when some entry has it anyway, step red down until
    // the key is unique.
    PaletteEntry candidate{ 127, 128, 129, key.flags };
    for (int attempt = 0; attempt < 256; ++attempt) {
        bool used = false;
        for (int i = 0; i < palette->count && !used; ++i)
            used = i != transparent && palette->entries[i].sameColour(candidate);
        if (!used)
            break;
        candidate.red = static_cast<std::uint8_t>(candidate.red - 1);
    }
    key.red = candidate.red;
    key.green = candidate.green;
    key.blue = candidate.blue;
}
