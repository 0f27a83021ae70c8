#pragma once

// The one header that brings in the PNG library.
#include <cstddef>
#include <cstdint>
#include <png.h>

// The PNG library reports a failure by calling the error function, which must not return: ours
// jumps back to RunPngGuarded. The library is C, so a C++ exception must never travel through its
// frames: every library call that can fail runs inside RunPngGuarded, and the caller throws the
// program's exception after the jump. Warnings are dropped.
class PngLibrary
{
public:
    enum class Mode {
        Read,
        Write
    };

    // Creates the library's read or write structure with its info structure. False when the
    // library could not get the memory for them.
    explicit PngLibrary(Mode mode);
    ~PngLibrary();
    PngLibrary(const PngLibrary &) = delete;
    PngLibrary &operator=(const PngLibrary &) = delete;

    bool created() const { return png != nullptr && info != nullptr; }

    // Runs step(context) with the jump target set. True when step ran to its end; false when the
    // library gave up. The jump skips the frames of step and of everything it calls, so none of
    // them may hold an object with a destructor.
    bool runGuarded(void (*step)(void *), void *context);

    // Whether an allocation of the library failed since the structures were created: the
    // failure it reported then was a shortage of memory. The library's blocks together may hold
    // no more than a picture store (ImageBuffer::kMaxStoreBytes).
    bool memoryShort() const { return outOfMemory; }

    png_structp png = nullptr;
    png_infop info = nullptr;

private:
    static png_voidp allocate(png_structp png, png_alloc_size_t size);
    static void release(png_structp png, png_voidp memory);

    Mode mode;
    bool outOfMemory = false;
    std::size_t liveBytes = 0;
};

// Pixels per inch of a resolution in pixels per metre, and back, rounded.
std::int32_t PngPixelsPerInch(png_uint_32 pixelsPerMetre);
png_uint_32 PngPixelsPerMetre(std::int32_t pixelsPerInch);
