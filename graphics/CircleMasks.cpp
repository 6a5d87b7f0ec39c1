// The coverage masks of the small outline circles (generated-style constant
// data) and the mask path of StrokeCircle.
#include "graphics/CircleRender.h"

#include "graphics/AlphaMask.h"

#include <cmath>

namespace
{
// One mask row per line, top row first.
// clang-format off
constexpr uint8_t kMask1_5Plain[16] = {
      0, 255, 255,   0,
    255,   0,   0, 255,
    255,   0,   0, 255,
      0, 255, 255,   0,
};

constexpr uint8_t kMask1_5Smooth[16] = {
     79, 255, 255,  79,
    255,  15,  15, 255,
    255,  15,  15, 255,
     79, 255, 255,  79,
};

constexpr uint8_t kMask2_0Plain[25] = {
      0,   0, 255,   0,   0,
      0, 255,   0, 255,   0,
    255,   0,   0,   0, 255,
      0, 255,   0, 255,   0,
      0,   0, 255,   0,   0,
};

constexpr uint8_t kMask2_0Smooth[25] = {
     15, 191, 255, 191,  15,
    191, 209,  79, 209, 191,
    255,  79,   0,  79, 255,
    191, 209,  79, 209, 191,
     15, 191, 255, 191,  15,
};

constexpr uint8_t kMask2_5Plain[36] = {
      0,   0, 255, 255,   0,   0,
      0, 255,   0,   0, 255,   0,
    255,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0, 255,
      0, 255,   0,   0, 255,   0,
      0,   0, 255, 255,   0,   0,
};

constexpr uint8_t kMask2_5Smooth[36] = {
     15, 191, 255, 255, 191,  15,
    191, 209,  79,  79, 209, 191,
    255,  79,   0,   0,  79, 255,
    255,  79,   0,   0,  79, 255,
    191, 209,  79,  79, 209, 191,
     15, 191, 255, 255, 191,  15,
};

constexpr uint8_t kMask3_0Plain[49] = {
      0,   0, 255, 255, 255,   0,   0,
      0, 255,   0,   0,   0, 255,   0,
    255,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0, 255,
      0, 255,   0,   0,   0, 255,   0,
      0,   0, 255, 255, 255,   0,   0,
};

constexpr uint8_t kMask3_0Smooth[49] = {
      0, 143, 255, 255, 255, 143,   0,
    143, 255,  97,  64,  97, 255, 143,
    255, 112,   0,   0,   0, 112, 255,
    255,  48,   0,   0,   0,  48, 255,
    255, 112,   0,   0,   0, 112, 255,
    143, 255,  97,  64,  97, 255, 143,
      0, 143, 255, 255, 255, 143,   0,
};

constexpr uint8_t kMask3_5Plain[64] = {
      0,   0, 255, 255, 255, 255,   0,   0,
      0, 255, 255,   0,   0, 255, 255,   0,
    255, 255,   0,   0,   0,   0, 255, 255,
    255,   0,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0,   0, 255,
    255, 255,   0,   0,   0,   0, 255, 255,
      0, 255, 255,   0,   0, 255, 255,   0,
      0,   0, 255, 255, 255, 255,   0,   0,
};

constexpr uint8_t kMask3_5Smooth[64] = {
      0,  79, 222, 255, 255, 222,  79,   0,
     79, 255, 176,  64,  64, 176, 255,  79,
    222, 176,   0,   0,   0,   0, 176, 222,
    255,  64,   0,   0,   0,   0,  64, 255,
    255,  64,   0,   0,   0,   0,  64, 255,
    222, 176,   0,   0,   0,   0, 176, 222,
     79, 255, 176,  64,  64, 176, 255,  79,
      0,  79, 222, 255, 255, 222,  79,   0,
};

constexpr uint8_t kMask4_0Plain[81] = {
      0,   0, 255, 255, 255, 255, 255,   0,   0,
      0, 255, 255,   0,   0,   0, 255, 255,   0,
    255, 255,   0,   0,   0,   0,   0, 255, 255,
    255,   0,   0,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0,   0,   0, 255,
    255, 255,   0,   0,   0,   0,   0, 255, 255,
      0, 255, 255,   0,   0,   0, 255, 255,   0,
      0,   0, 255, 255, 255, 255, 255,   0,   0,
};

constexpr uint8_t kMask4_0Smooth[81] = {
      0,  31, 176, 255, 255, 255, 176,  31,   0,
     31, 240, 209,  79,  64,  79, 209, 240,  31,
    176, 209,  15,   0,   0,   0,  15, 209, 176,
    255,  79,   0,   0,   0,   0,   0,  79, 255,
    255,  48,   0,   0,   0,   0,   0,  48, 255,
    255,  79,   0,   0,   0,   0,   0,  79, 255,
    176, 209,  15,   0,   0,   0,  15, 209, 176,
     31, 240, 209,  79,  64,  79, 209, 240,  31,
      0,  31, 176, 255, 255, 255, 176,  31,   0,
};
// clang-format on

struct SmallMask
{
    float radius;
    const uint8_t* plain;
    const uint8_t* smooth;
};
constexpr SmallMask kSmallMasks[] = {
    {1.5f, kMask1_5Plain, kMask1_5Smooth}, {2.0f, kMask2_0Plain, kMask2_0Smooth},
    {2.5f, kMask2_5Plain, kMask2_5Smooth}, {3.0f, kMask3_0Plain, kMask3_0Smooth},
    {3.5f, kMask3_5Plain, kMask3_5Smooth}, {4.0f, kMask4_0Plain, kMask4_0Smooth},
};

int32_t FloorToInt32(float v)
{
    const double f = std::floor(static_cast<double>(v));
    return f <= INT32_MIN ? INT32_MIN : (f >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(f));
}
} // namespace

const uint8_t* SmallCircleMask(float r, bool antialias, int32_t* side)
{
    for (const SmallMask& m : kSmallMasks)
        if (r == m.radius)
        {
            if (side) *side = static_cast<int32_t>(2.0f * r + 1.0f);
            return antialias ? m.smooth : m.plain;
        }
    return nullptr;
}

bool StrokeSmallCircle(RasterBitmap* bitmap, float cx, float cy, float r, RasterPixel colour, float alpha,
                       BlendMode mode, bool antialias)
{
    int32_t side = 0;
    const uint8_t* mask = SmallCircleMask(r, antialias, &side);
    if (!mask || !std::isfinite(cx) || !std::isfinite(cy)) return false;
    // Positions beyond the i32 range are held at its ends, which lie wholly
    // outside every bitmap.
    // The mask takes the circle family's weight, not the mask's own rule: an
    // alpha above 1.0 weighs more than 256 and a negative one subtracts
    // (except for copy), as for every larger circle.
    DrawAlphaMaskAtWeight(bitmap, FloorToInt32(cx - r), FloorToInt32(cy - r), colour, mask, side, side, side,
                          CircleWeight(alpha), mode);
    return true;
}
