// The quantizer when memory runs out: false without a leak when the histogram cannot be had, and
// nearest mapping instead of diffusion when only the diffusion tables cannot. Allocations are
// made to fail by replacing the global allocation functions of this test program; they behave
// normally unless a test arms them.
#include "image/quantize.h"

#include <cstddef>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>
#include <vector>

namespace {

// Allocations that may still succeed before the next one fails; -1 means no failures.
long allocationsLeft = -1;

void *allocate(std::size_t size, std::size_t alignment = 0)
{
    if (allocationsLeft == 0)
        return nullptr;
    if (allocationsLeft > 0)
        --allocationsLeft;
    size = size ? size : 1;
    if (alignment > alignof(std::max_align_t))
        return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    return std::malloc(size);
}

void *allocateOrThrow(std::size_t size, std::size_t alignment = 0)
{
    if (void *p = allocate(size, alignment))
        return p;
    throw std::bad_alloc();
}

} // namespace

// Every form of the global allocation functions is replaced, so that each block is freed by the
// allocator that made it.
void *operator new(std::size_t n)
{
    return allocateOrThrow(n);
}

void *operator new[](std::size_t n)
{
    return allocateOrThrow(n);
}

void *operator new(std::size_t n, const std::nothrow_t &) noexcept
{
    return allocate(n);
}

void *operator new[](std::size_t n, const std::nothrow_t &) noexcept
{
    return allocate(n);
}

void *operator new(std::size_t n, std::align_val_t a)
{
    return allocateOrThrow(n, static_cast<std::size_t>(a));
}

void *operator new[](std::size_t n, std::align_val_t a)
{
    return allocateOrThrow(n, static_cast<std::size_t>(a));
}

void *operator new(std::size_t n, std::align_val_t a, const std::nothrow_t &) noexcept
{
    return allocate(n, static_cast<std::size_t>(a));
}

void *operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t &) noexcept
{
    return allocate(n, static_cast<std::size_t>(a));
}

// GCC takes free() in a replaced operator delete for a mismatch with the operator new it
// replaces; here both are the same allocator.
#if defined(__GNUC__) && !defined(__clang__)
#  pragma GCC diagnostic push
#  pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void *p) noexcept
{
    std::free(p);
}
#if defined(__GNUC__) && !defined(__clang__)
#  pragma GCC diagnostic pop
#endif
void operator delete[](void *p) noexcept
{
    ::operator delete(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    ::operator delete(p);
}

void operator delete[](void *p, std::size_t) noexcept
{
    ::operator delete(p);
}

void operator delete(void *p, const std::nothrow_t &) noexcept
{
    ::operator delete(p);
}

void operator delete[](void *p, const std::nothrow_t &) noexcept
{
    ::operator delete(p);
}

void operator delete(void *p, std::align_val_t) noexcept
{
    ::operator delete(p);
}

void operator delete[](void *p, std::align_val_t) noexcept
{
    ::operator delete(p);
}

void operator delete(void *p, std::size_t, std::align_val_t) noexcept
{
    ::operator delete(p);
}

void operator delete[](void *p, std::size_t, std::align_val_t) noexcept
{
    ::operator delete(p);
}

void operator delete(void *p, std::align_val_t, const std::nothrow_t &) noexcept
{
    ::operator delete(p);
}

void operator delete[](void *p, std::align_val_t, const std::nothrow_t &) noexcept
{
    ::operator delete(p);
}

namespace {

struct Outcome
{
    bool ok = false;
    std::vector<std::uint8_t> indices;
};

Outcome quantizeWithAllocations(const std::vector<std::uint8_t> &pixels, bool dither, long allowed)
{
    Outcome run;
    run.indices.assign(24 * 16, 0xCC);
    allocationsLeft = allowed;
    run.ok = quantize(Rect{ 0, 0, 24, 16 }, pixels.data(), 0, run.indices.data(), 0, 1, 16, dither,
                      nullptr, nullptr, kNoColour, nullptr, true);
    allocationsLeft = -1;
    return run;
}

TEST(QuantizeMemory, FailuresReturnFalseOrFallBackToNearestMapping)
{
    std::vector<std::uint8_t> pixels(24 * 16 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 37 % 251);
    const Outcome nearest = quantizeWithAllocations(pixels, false, -1);
    const Outcome dithered = quantizeWithAllocations(pixels, true, -1);
    ASSERT_TRUE(nearest.ok && dithered.ok);
    ASSERT_NE(nearest.indices, dithered.indices);

    struct Case
    {
        const char *name;
        long allowed;
        bool ok;
        const Outcome *expected;
    };

    const Case cases[] = {
        { "histogram", 0, false, nullptr },
        { "error limit table", 1, true, &nearest },
        { "error row", 2, true, &nearest },
        { "nothing fails", 3, true, &dithered },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome run = quantizeWithAllocations(pixels, true, c.allowed);
        EXPECT_EQ(run.ok, c.ok);
        if (c.expected)
            EXPECT_EQ(run.indices, c.expected->indices);
        else
            EXPECT_EQ(run.indices, std::vector<std::uint8_t>(24 * 16, 0xCC)) << "nothing written";
    }
}

} // namespace
