#include "graphics/BlendOperators.h"

namespace
{
int64_t BlendChannel64(int64_t d, int64_t s, int64_t w)
{
    return s + ((d - s) * (256 - w)) / 256;
}
int64_t MultiplyChannel64(int64_t d, int64_t s, int64_t w)
{
    return (d * (s * w + (256 - w) * 256)) / 65536;
}
} // namespace

RasterPixel HsvToPixel(int h, int s, int v, int a)
{
    int p = ((256 - s) * v) / 256;
    auto x = [s, v](int e) { return ((e * s + 16384) * v) / 16384; };
    int r, g, b;
    if (h < 64)
    {
        r = v;
        g = x(h - 64);
        b = p;
    }
    else if (h < 128)
    {
        r = x(64 - h);
        g = v;
        b = p;
    }
    else if (h < 192)
    {
        r = p;
        g = v;
        b = x(h - 192);
    }
    else if (h < 256)
    {
        r = p;
        g = x(192 - h);
        b = v;
    }
    else if (h < 320)
    {
        r = x(h - 320);
        g = p;
        b = v;
    }
    else
    {
        r = v;
        g = p;
        b = x(320 - h);
    }
    return MakePixel(a, r, g, b);
}

void HsvAdjustPixel(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    RasterPixel d = *pixel;
    const int R = PixelRed(d), G = PixelGreen(d), B = PixelBlue(d);
    int M, base, span, n;
    if (G > R)
    {
        if (G > B)
        {
            M = G;
            base = 128;
            span = G - (R < B ? R : B);
            n = B - R;
        }
        else
        {
            M = B;
            base = 256;
            span = B - R;
            n = R - G;
        }
    }
    else if (B < R)
    {
        if (G >= B)
        {
            M = R;
            base = 0;
            span = R - B;
            n = G - B;
        }
        else
        {
            M = R;
            base = 383;
            span = R - G;
            n = G - B;
        }
    }
    else
    {
        M = B;
        base = 256;
        span = B - G;
        n = R - G;
    }
    int hue = base + ((HsvReciprocalTable[span] + 1) * n) / 1024;
    int saturation = (HsvReciprocalTable[M] * span) / 256;

    hue += ((r + r / 2 - 192) * w) / 256;
    if (hue < 0)
        hue += 384;
    else if (hue >= 384)
        hue -= 384;
    saturation = ClampChannel(saturation + ((g - 128) * w) / 128);
    int value = ClampChannel(M + ((b - 128) * w) / 128);
    *pixel = HsvToPixel(hue, saturation, value, a);
}

void StoreClampedPixel(RasterPixel* pixel, int64_t r, int64_t g, int64_t b, int64_t a)
{
    *pixel = MakePixel(static_cast<int>(ClampChannel64(a)), static_cast<int>(ClampChannel64(r)),
                       static_cast<int>(ClampChannel64(g)), static_cast<int>(ClampChannel64(b)));
}

void CopyPixelClamped(RasterPixel* pixel, int r, int g, int b, int a)
{
    StoreClampedPixel(pixel, r, g, b, a);
}

void BlendPixelClamped(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    RasterPixel d = *pixel;
    StoreClampedPixel(pixel, BlendChannel64(PixelRed(d), r, w), BlendChannel64(PixelGreen(d), g, w),
                      BlendChannel64(PixelBlue(d), b, w), BlendChannel64(PixelAlpha(d), a, w));
}

void BlendPixelSourceAlphaClamped(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    if (a == 0) return;
    RasterPixel d = *pixel;
    int64_t ws = ((static_cast<int64_t>(a) + 1) * w) / 256;
    StoreClampedPixel(pixel, BlendChannel64(PixelRed(d), r, ws), BlendChannel64(PixelGreen(d), g, ws),
                      BlendChannel64(PixelBlue(d), b, ws), PixelAlpha(d) + ws);
}

void CopyPixelSourceAlphaClamped(RasterPixel* pixel, int r, int g, int b, int a)
{
    if (a == 0) return;
    if (a == 255)
    {
        StoreClampedPixel(pixel, r, g, b, 255);
        return;
    }
    RasterPixel d = *pixel;
    int64_t k = 255 - static_cast<int64_t>(a);
    StoreClampedPixel(pixel, r + ((PixelRed(d) - static_cast<int64_t>(r)) * k) / 256,
                      g + ((PixelGreen(d) - static_cast<int64_t>(g)) * k) / 256,
                      b + ((PixelBlue(d) - static_cast<int64_t>(b)) * k) / 256,
                      PixelAlpha(d) + static_cast<int64_t>(a));
}

void MultiplyPixelClamped(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    RasterPixel d = *pixel;
    StoreClampedPixel(pixel, MultiplyChannel64(PixelRed(d), r, w), MultiplyChannel64(PixelGreen(d), g, w),
                      MultiplyChannel64(PixelBlue(d), b, w), MultiplyChannel64(PixelAlpha(d), a, w));
}

void MultiplyPixelSourceAlphaClamped(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    if (a == 0) return;
    RasterPixel d = *pixel;
    int64_t ws = ((static_cast<int64_t>(a) + 1) * w) / 256;
    int64_t alpha = (PixelAlpha(d) * ((256 - ws) * 256 + static_cast<int64_t>(a) * ws)) / 65536;
    StoreClampedPixel(pixel, MultiplyChannel64(PixelRed(d), r, ws), MultiplyChannel64(PixelGreen(d), g, ws),
                      MultiplyChannel64(PixelBlue(d), b, ws), alpha);
}

void ApplyPlainOperator(uint32_t op, RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    switch (op)
    {
    case kBlendCopy:
        BlendPixel(pixel, r, g, b, a, w);
        break;
    case kBlendAdd:
        AddPixel(pixel, r, g, b, a, w);
        break;
    case kBlendDodge:
        DodgePixel(pixel, r, g, b, a, w);
        break;
    case kBlendMultiply:
        MultiplyPixel(pixel, r, g, b, a, w);
        break;
    case kBlendOverlay:
        OverlayPixel(pixel, r, g, b, a, w);
        break;
    case kBlendHsv:
        HsvAdjustPixel(pixel, r, g, b, a, w);
        break;
    default:
        break;
    }
}

void ApplySourceAlphaOperator(uint32_t op, RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    switch (op)
    {
    case kBlendCopy:
        if (w == kFullWeight)
            CopyPixelSourceAlpha(pixel, r, g, b, a);
        else
            BlendPixelSourceAlpha(pixel, r, g, b, a, w);
        break;
    case kBlendAdd:
        AddPixelSourceAlpha(pixel, r, g, b, a, w);
        break;
    case kBlendDodge:
        DodgePixelSourceAlpha(pixel, r, g, b, a, w);
        break;
    case kBlendMultiply:
        MultiplyPixelSourceAlpha(pixel, r, g, b, a, w);
        break;
    case kBlendOverlay:
        OverlayPixelSourceAlpha(pixel, r, g, b, a, w);
        break;
    case kBlendHsv:
        HsvAdjustPixelSourceAlpha(pixel, r, g, b, a, w);
        break;
    default:
        break;
    }
}
