#pragma once
// The operator choice shared by the scaled, rotated and affine blits:
// op = mode & 0x100FF (operator byte plus the source-alpha bit) at weight w.

#include "graphics/BlendOperators.h"

namespace raster_sample
{
using PixelOp = void (*)(RasterPixel*, int, int, int, int, int);

inline void CopyPixelSourceAlphaAnyWeight(RasterPixel* p, int r, int g, int b, int a, int)
{
    CopyPixelSourceAlpha(p, r, g, b, a);
}

// The per-pixel operator for op at weight w (1..256), or null when op draws
// nothing. copyAtFullWeight is what plain copy at weight 256 uses.
inline PixelOp ChooseOperator(uint32_t op, int w, PixelOp copyAtFullWeight)
{
    switch (op)
    {
    case kBlendCopy:
        return w == kFullWeight ? copyAtFullWeight : BlendPixel;
    case kBlendAdd:
        return AddPixel;
    case kBlendDodge:
        return DodgePixel;
    case kBlendMultiply:
        return MultiplyPixel;
    case kBlendOverlay:
        return OverlayPixel;
    case kBlendHsv:
        return HsvAdjustPixel;
    case kBlendSourceAlpha | kBlendCopy:
        return w == kFullWeight ? CopyPixelSourceAlphaAnyWeight : BlendPixelSourceAlpha;
    case kBlendSourceAlpha | kBlendAdd:
        return AddPixelSourceAlpha;
    case kBlendSourceAlpha | kBlendDodge:
        return DodgePixelSourceAlpha;
    case kBlendSourceAlpha | kBlendMultiply:
        return MultiplyPixelSourceAlpha;
    case kBlendSourceAlpha | kBlendOverlay:
        return OverlayPixelSourceAlpha;
    case kBlendSourceAlpha | kBlendHsv:
        return HsvAdjustPixelSourceAlpha;
    default:
        return nullptr;
    }
}
} // namespace raster_sample
