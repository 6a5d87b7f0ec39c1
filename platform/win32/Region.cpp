// The update region: disjoint rectangles, split on subtraction.
#include "platform/win32/WindowState.h"

#include <algorithm>

namespace quova::win32
{

bool RectEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

RECT IntersectRects(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (RectEmpty(r)) return RECT{0, 0, 0, 0};
    return r;
}

namespace
{

// Appends the parts of `from` outside `cut` (at most four rectangles).
void AppendDifference(const RECT& from, const RECT& cut, std::vector<RECT>& out)
{
    RECT overlap = IntersectRects(from, cut);
    if (RectEmpty(overlap))
    {
        out.push_back(from);
        return;
    }
    if (from.top < overlap.top) out.push_back(RECT{from.left, from.top, from.right, overlap.top});
    if (overlap.bottom < from.bottom) out.push_back(RECT{from.left, overlap.bottom, from.right, from.bottom});
    if (from.left < overlap.left) out.push_back(RECT{from.left, overlap.top, overlap.left, overlap.bottom});
    if (overlap.right < from.right)
        out.push_back(RECT{overlap.right, overlap.top, from.right, overlap.bottom});
}

} // namespace

void Region::Add(const RECT& r)
{
    if (RectEmpty(r)) return;
    // Keep the rectangles disjoint: add only the parts of r not yet covered.
    std::vector<RECT> pieces{r};
    for (const RECT& existing : rects_)
    {
        std::vector<RECT> next;
        for (const RECT& p : pieces)
            AppendDifference(p, existing, next);
        pieces.swap(next);
        if (pieces.empty()) return;
    }
    rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void Region::Subtract(const RECT& r)
{
    if (RectEmpty(r)) return;
    std::vector<RECT> next;
    for (const RECT& existing : rects_)
        AppendDifference(existing, r, next);
    rects_.swap(next);
}

void Region::Intersect(const RECT& r)
{
    std::vector<RECT> next;
    for (const RECT& existing : rects_)
    {
        RECT i = IntersectRects(existing, r);
        if (!RectEmpty(i)) next.push_back(i);
    }
    rects_.swap(next);
}

RECT Region::Bounds() const
{
    if (rects_.empty()) return RECT{0, 0, 0, 0};
    RECT b = rects_.front();
    for (const RECT& r : rects_)
    {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

long long Region::Area() const
{
    long long area = 0;
    for (const RECT& r : rects_)
        area += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
    return area;
}

} // namespace quova::win32
