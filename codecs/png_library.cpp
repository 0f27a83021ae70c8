#include "codecs/png_library.h"

#include "image/image_buffer.h"

#include <cstddef>
#include <cstdlib>

namespace {

constexpr double kMetresPerInch = 0.0254;
// Room in front of each of the library's blocks for its size, keeping the block aligned for any
// type.
constexpr std::size_t kBlockHeader = alignof(std::max_align_t);

// The library prints its messages and jumps when the error function returns; ours only jumps.
[[noreturn]] void jumpToGuard(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) { }

} // namespace

PngLibrary::PngLibrary(Mode how) : mode(how)
{
    if (mode == Mode::Read)
        png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, this, jumpToGuard, ignoreWarning,
                                       this, allocate, release);
    else
        png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, this, jumpToGuard, ignoreWarning,
                                        this, allocate, release);
    if (png)
        info = png_create_info_struct(png);
}

PngLibrary::~PngLibrary()
{
    if (!png)
        return;
    if (mode == Mode::Read)
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    else
        png_destroy_write_struct(&png, info ? &info : nullptr);
}

bool PngLibrary::runGuarded(void (*step)(void *), void *context)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    step(context);
    return true;
}

// The library sizes its row buffers by the header: together they may hold no more than a picture
// store. Each block carries its size in front, so that a release gives it back to the count.
png_voidp PngLibrary::allocate(png_structp png, png_alloc_size_t size)
{
    auto *library = static_cast<PngLibrary *>(png_get_mem_ptr(png));
    void *block = nullptr;
    if (size <= ImageBuffer::kMaxStoreBytes - library->liveBytes)
        block = std::malloc(kBlockHeader + size);
    if (!block) {
        library->outOfMemory = true;
        return nullptr;
    }
    library->liveBytes += size;
    *static_cast<std::size_t *>(block) = size;
    return static_cast<std::uint8_t *>(block) + kBlockHeader;
}

void PngLibrary::release(png_structp png, png_voidp memory)
{
    if (!memory)
        return;
    void *block = static_cast<std::uint8_t *>(memory) - kBlockHeader;
    static_cast<PngLibrary *>(png_get_mem_ptr(png))->liveBytes -=
            *static_cast<std::size_t *>(block);
    std::free(block);
}

std::int32_t PngPixelsPerInch(png_uint_32 pixelsPerMetre)
{
    return static_cast<std::int32_t>(pixelsPerMetre * kMetresPerInch + 0.5);
}

png_uint_32 PngPixelsPerMetre(std::int32_t pixelsPerInch)
{
    return static_cast<png_uint_32>(pixelsPerInch / kMetresPerInch + 0.5);
}
