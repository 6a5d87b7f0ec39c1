#include "graphics/LineClip.h"

#include <cmath>
#include <initializer_list>

namespace
{
constexpr int kLeft = 1, kRight = 2, kTop = 4, kBottom = 8;
// Each move settles one bit of one end; more rounds than this cannot happen
// for a line that can be clipped, so the bound only guards odd inputs.
constexpr int kMaxRounds = 16;

int OutCode(double x, double y, double width, double height)
{
    int code = 0;
    if (x < 0)
        code |= kLeft;
    else if (x >= width)
        code |= kRight;
    if (y < 0)
        code |= kTop;
    else if (y >= height)
        code |= kBottom;
    return code;
}
} // namespace

bool MirrorLineRows(int32_t& y1, int32_t& y2, int32_t height)
{
    const int64_t m1 = static_cast<int64_t>(height) - 1 - y1, m2 = static_cast<int64_t>(height) - 1 - y2;
    if (m1 < INT32_MIN || m1 > INT32_MAX || m2 < INT32_MIN || m2 > INT32_MAX) return false;
    y1 = static_cast<int32_t>(m1);
    y2 = static_cast<int32_t>(m2);
    return true;
}

bool ClipLineToBitmap(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, int32_t width, int32_t height)
{
    int code1 = OutCode(x1, y1, width, height);
    int code2 = OutCode(x2, y2, width, height);
    for (int round = 0; code1 | code2; ++round)
    {
        if ((code1 & code2) || round >= kMaxRounds) return false;
        const bool first = code1 != 0;
        const int code = first ? code1 : code2;
        const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
        int64_t x, y;
        if (code & kBottom)
        {
            x = x1 + static_cast<int64_t>(std::trunc(dx * (static_cast<double>(height) - y1) / dy));
            y = static_cast<int64_t>(height) - 1;
        }
        else if (code & kTop)
        {
            x = x1 - static_cast<int64_t>(std::trunc(dx * y1 / dy));
            y = 0;
        }
        else if (code & kRight)
        {
            y = y1 + static_cast<int64_t>(std::trunc(dy * (static_cast<double>(width) - x1) / dx));
            x = static_cast<int64_t>(width) - 1;
        }
        else
        {
            y = y1 - static_cast<int64_t>(std::trunc(dy * x1 / dx));
            x = 0;
        }
        // The crossing lies between the two ends, so it fits; the guard only
        // keeps a degenerate bitmap size from producing a wild value.
        if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return false;
        if (first)
        {
            x1 = static_cast<int32_t>(x);
            y1 = static_cast<int32_t>(y);
            code1 = OutCode(x1, y1, width, height);
        }
        else
        {
            x2 = static_cast<int32_t>(x);
            y2 = static_cast<int32_t>(y);
            code2 = OutCode(x2, y2, width, height);
        }
    }
    return true;
}

bool ClipFloatLineToBitmap(float& x1, float& y1, float& x2, float& y2, int32_t width, int32_t height)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
    const float W = static_cast<float>(width) - 1.0f;
    const float H = static_cast<float>(height) - 1.0f;
    int code1 = OutCode(x1, y1, W, H);
    int code2 = OutCode(x2, y2, W, H);
    for (int round = 0; code1 | code2; ++round)
    {
        if ((code1 & code2) || round >= kMaxRounds) return false;
        const bool first = code1 != 0;
        const int code = first ? code1 : code2;
        const float dx = x2 - x1, dy = y2 - y1;
        float x, y;
        if (code & kBottom)
        {
            y = H - 1.0f;
            x = x1 + (H - y1) * dx / dy;
        }
        else if (code & kTop)
        {
            y = 0.0f;
            x = x1 + dx * y1 / (y1 - y2);
        }
        else if (code & kRight)
        {
            x = W - 1.0f;
            y = y1 + dy * (W - x1) / dx;
        }
        else
        {
            x = 0.0f;
            y = y1 + dy * x1 / (x1 - x2);
        }
        if (!std::isfinite(x) || !std::isfinite(y)) return false;
        if (first)
        {
            x1 = x;
            y1 = y;
            code1 = OutCode(x1, y1, W, H);
        }
        else
        {
            x2 = x;
            y2 = y;
            code2 = OutCode(x2, y2, W, H);
        }
    }
    return true;
}

bool ClipLineToRect(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, int32_t left, int32_t top,
                    int32_t right, int32_t bottom)
{
    // Translated in 64 bits; a translation that leaves the i32 range fails.
    const int64_t width = static_cast<int64_t>(right) - left, height = static_cast<int64_t>(bottom) - top;
    const int64_t a = static_cast<int64_t>(x1) - left, b = static_cast<int64_t>(y1) - top;
    const int64_t c = static_cast<int64_t>(x2) - left, d = static_cast<int64_t>(y2) - top;
    for (int64_t v : {width, height, a, b, c, d})
        if (v < INT32_MIN || v > INT32_MAX) return false;
    int32_t tx1 = static_cast<int32_t>(a), ty1 = static_cast<int32_t>(b);
    int32_t tx2 = static_cast<int32_t>(c), ty2 = static_cast<int32_t>(d);
    bool inside =
        ClipLineToBitmap(tx1, ty1, tx2, ty2, static_cast<int32_t>(width), static_cast<int32_t>(height));
    x1 = static_cast<int32_t>(tx1 + static_cast<int64_t>(left));
    y1 = static_cast<int32_t>(ty1 + static_cast<int64_t>(top));
    x2 = static_cast<int32_t>(tx2 + static_cast<int64_t>(left));
    y2 = static_cast<int32_t>(ty2 + static_cast<int64_t>(top));
    return inside;
}

bool ClipFloatLineToRect(float& x1, float& y1, float& x2, float& y2, float left, float top, float right,
                         float bottom)
{
    const float width = right - left, height = bottom - top;
    if (!std::isfinite(width) || !std::isfinite(height) || !(std::fabs(width) < 2.0e9f) ||
        !(std::fabs(height) < 2.0e9f))
        return false;
    float tx1 = x1 - left, ty1 = y1 - top, tx2 = x2 - left, ty2 = y2 - top;
    bool inside =
        ClipFloatLineToBitmap(tx1, ty1, tx2, ty2, static_cast<int32_t>(width), static_cast<int32_t>(height));
    x1 = tx1 + left;
    y1 = ty1 + top;
    x2 = tx2 + left;
    y2 = ty2 + top;
    return inside;
}
