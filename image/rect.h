#pragma once

#include <algorithm>
#include <cstdint>

// A rectangle of pixels: left and top inclusive, right and bottom exclusive.
struct Rect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }

    // The common part of both, or an empty rectangle (all zero) when they do not meet.
    Rect intersected(const Rect &other) const
    {
        Rect r { std::max(left, other.left), std::max(top, other.top),
                 std::min(right, other.right), std::min(bottom, other.bottom) };
        return r.isEmpty() ? Rect {} : r;
    }

    // Swaps left with right and top with bottom where needed.
    Rect normalised() const
    {
        return { std::min(left, right), std::min(top, bottom), std::max(left, right),
                 std::max(top, bottom) };
    }

    bool operator==(const Rect &) const = default;
};

struct Size
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const Size &) const = default;
};
