// IRectangle: an editor rectangle in pixels of the editor bitmap, {left, top, right, bottom} with
// right and bottom exclusive. All four 0 is the empty rectangle; nothing else counts as empty.
// A plain record; every operation is a pure function of its operands.
#pragma once

#include <cstdint>

struct IRectangle
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr IRectangle() = default;
    constexpr IRectangle(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }

    // True only for {0, 0, 0, 0}.
    constexpr bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

    // left <= x < right and top <= y < bottom.
    constexpr bool Contains(int32_t x, int32_t y) const
    {
        return left <= x && x < right && top <= y && y < bottom;
    }

    // True when neither is empty and clip.left <= right, left < clip.right, clip.top <= bottom and
    // top < clip.bottom. A rectangle that only touches the clip's left or top edge from outside
    // therefore meets it (with an empty overlap).
    bool Meets(const IRectangle& clip) const;

    // The smallest rectangle holding both; an empty operand counts as absent (so the union with an
    // empty rectangle is the other one, and two empty ones give empty).
    IRectangle Union(const IRectangle& other) const;

    // The part of this rectangle inside clip: empty when either is empty or they do not meet (see
    // Meets); otherwise (larger left, larger top, smaller right, smaller bottom), which may have a
    // width or height of 0.
    IRectangle Intersect(const IRectangle& clip) const;

    friend constexpr bool operator==(const IRectangle&, const IRectangle&) = default;
};
