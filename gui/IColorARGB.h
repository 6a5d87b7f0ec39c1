// IColorARGB: an editor colour, {alpha, red, green, blue}, each 0..255. The raster library takes it
// as one 32-bit word 0xAARRGGBB.
#pragma once

#include <cstdint>

struct IColorARGB
{
    int32_t alpha = 255;
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;

    constexpr IColorARGB() = default;
    constexpr IColorARGB(int32_t a, int32_t r, int32_t g, int32_t b) : alpha(a), red(r), green(g), blue(b) {}

    // (A << 24) | (R << 16) | (G << 8) | B. Each channel is taken modulo 256 (its low byte), so a
    // channel outside 0..255 can never spill into its neighbour.
    constexpr uint32_t ToWord() const
    {
        return (static_cast<uint32_t>(alpha & 0xFF) << 24) | (static_cast<uint32_t>(red & 0xFF) << 16) |
               (static_cast<uint32_t>(green & 0xFF) << 8) | static_cast<uint32_t>(blue & 0xFF);
    }

    friend constexpr bool operator==(const IColorARGB&, const IColorARGB&) = default;
};
