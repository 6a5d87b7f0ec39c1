#include "gui/IRectangle.h"

#include <algorithm>

bool IRectangle::Meets(const IRectangle& clip) const
{
    if (IsEmpty() || clip.IsEmpty()) return false;
    return clip.left <= right && left < clip.right && clip.top <= bottom && top < clip.bottom;
}

IRectangle IRectangle::Union(const IRectangle& other) const
{
    if (other.IsEmpty()) return *this;
    if (IsEmpty()) return other;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

IRectangle IRectangle::Intersect(const IRectangle& clip) const
{
    if (!Meets(clip)) return {};
    return {std::max(left, clip.left), std::max(top, clip.top), std::min(right, clip.right),
            std::min(bottom, clip.bottom)};
}
