// Source-alpha blit and translucent fill over a 1000 x 565 bitmap (the
// editor's size), in megapixels per second, beside pixman's OVER composite
// of the same sizes. Sources: "Random" has uniformly random alphas; "SkinLike"
// has a quarter transparent, a quarter opaque and half random alphas, like
// the editor's images.
#include "graphics/Blit.h"
#include "graphics/Fill.h"
#include "graphics/MemoryBitmap.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <random>
#include <vector>

namespace
{
constexpr int kWidth = 1000;
constexpr int kHeight = 565;

uint32_t RandomPixel(std::mt19937& rng, bool skinLike)
{
    uint32_t colour = rng() & 0x00FFFFFFu;
    uint32_t alpha = rng() >> 24;
    if (skinLike)
    {
        uint32_t kind = rng() % 4;
        alpha = kind == 0 ? 0u : (kind == 1 ? 255u : alpha);
    }
    return colour | (alpha << 24);
}

void FillBitmap(MemoryBitmap& b, bool skinLike, uint32_t seed)
{
    std::mt19937 rng(seed);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.Pixels()[b.RowSpan() * y + x] = RandomPixel(rng, skinLike);
}

void SetRate(benchmark::State& state)
{
    const double pixels = static_cast<double>(kWidth) * kHeight * static_cast<double>(state.iterations());
    state.counters["Mpix/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsRate);
}

void QuovaSourceAlphaBlit(benchmark::State& state)
{
    MemoryBitmap src(kWidth, kHeight, 4), dst(kWidth, kHeight, 4);
    FillBitmap(src, state.range(0) != 0, 1);
    FillBitmap(dst, false, 2);
    for (auto _ : state)
    {
        BlitBitmapRect(&dst, &src, 0, 0, nullptr, 1.0f, kBlendSourceAlpha);
        benchmark::ClobberMemory();
    }
    SetRate(state);
}

// The timed loop of the pixman runs: s OVER d on the whole image; releases
// both images.
void CompositeOver(benchmark::State& state, pixman_image_t* s, pixman_image_t* d)
{
    for (auto _ : state)
    {
        pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
    SetRate(state);
}

// pixman works on premultiplied colour; the source is premultiplied once.
void PixmanOverBlit(benchmark::State& state)
{
    std::vector<uint32_t> src(static_cast<size_t>(kWidth) * kHeight), dst(src.size());
    std::mt19937 rng(1);
    for (auto& p : src)
    {
        uint32_t v = RandomPixel(rng, state.range(0) != 0), a = v >> 24;
        auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
        p = (a << 24) | (pm((v >> 16) & 255) << 16) | (pm((v >> 8) & 255) << 8) | pm(v & 255);
    }
    std::mt19937 rng2(2);
    for (auto& p : dst)
        p = RandomPixel(rng2, false) | 0xFF000000u;
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, src.data(), kWidth * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, dst.data(), kWidth * 4);
    CompositeOver(state, s, d);
}

void QuovaTranslucentFill(benchmark::State& state)
{
    MemoryBitmap dst(kWidth, kHeight, 4);
    FillBitmap(dst, false, 3);
    for (auto _ : state)
    {
        FillRectangle(&dst, 0, 0, kWidth, kHeight, 0xB4336699, 1.0f, kBlendSourceAlpha);
        benchmark::ClobberMemory();
    }
    SetRate(state);
}

void PixmanOverSolid(benchmark::State& state)
{
    std::vector<uint32_t> dst(static_cast<size_t>(kWidth) * kHeight);
    std::mt19937 rng(3);
    for (auto& p : dst)
        p = rng() | 0xFF000000u;
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, dst.data(), kWidth * 4);
    // Alpha 180 (0xB4), colour 0x336699 premultiplied.
    pixman_color_t colour{static_cast<uint16_t>(0x33 * 180 / 255 * 257),
                          static_cast<uint16_t>(0x66 * 180 / 255 * 257),
                          static_cast<uint16_t>(0x99 * 180 / 255 * 257), static_cast<uint16_t>(180 * 257)};
    pixman_image_t* s = pixman_image_create_solid_fill(&colour);
    CompositeOver(state, s, d);
}
} // namespace

BENCHMARK(QuovaSourceAlphaBlit)->ArgName("skinLike")->Arg(0)->Arg(1);
BENCHMARK(PixmanOverBlit)->ArgName("skinLike")->Arg(0)->Arg(1);
BENCHMARK(QuovaTranslucentFill);
BENCHMARK(PixmanOverSolid);
