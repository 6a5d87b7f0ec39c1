// IBlendSpec: how a control or image is combined with what lies below it: a method and a weight
// 0..1. Drawing without one uses method 0 at weight 1.0.
//
//   method  meaning                                    raster mode
//   0       copy, weighted by the source pixel's alpha  copy | source-alpha
//   1       plain copy                                  copy
//   2       additive, weighted by source alpha          add | source-alpha
//   3       colour dodge, weighted by source alpha      dodge | source-alpha
//   other   as method 0
#pragma once

#include <cstdint>

struct IBlendSpec
{
    enum Method : int32_t
    {
        kMethodAlphaCopy = 0,
        kMethodCopy = 1,
        kMethodAdd = 2,
        kMethodDodge = 3
    };

    int32_t method = kMethodAlphaCopy;
    float weight = 1.0f;

    constexpr IBlendSpec() = default;
    constexpr IBlendSpec(int32_t m, float w) : method(m), weight(w) {}

    // The raster library's mode word for the method (see the table above).
    uint32_t RasterMode() const;
};
