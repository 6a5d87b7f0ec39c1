#pragma once
// A bitmap for tests whose storage is exactly RowSpan x Height words in a
// vector, so any access past the last row is caught by the address sanitizer.
// The span and the row order (bottom-up or not) are chosen freely.

#include "graphics/RasterBitmap.h"

#include <cstdint>
#include <random>
#include <vector>

class TestBitmap : public RasterBitmap
{
public:
    TestBitmap(int32_t width, int32_t height, int32_t span = 0, bool bottomUp = false)
        : width_(width), height_(height), span_(span > 0 ? span : width), bottomUp_(bottomUp),
          words_(static_cast<size_t>(span_) * height, 0u)
    {
    }
    // A copy of the storage (bitmaps are not copyable; tests need snapshots).
    TestBitmap(const TestBitmap& other)
        : RasterBitmap(), width_(other.width_), height_(other.height_), span_(other.span_),
          bottomUp_(other.bottomUp_), words_(other.words_)
    {
    }
    RasterPixel* Pixels() override { return words_.empty() ? nullptr : words_.data(); }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    int32_t RowSpan() const override { return span_; }
    bool IsBottomUp() const override { return bottomUp_; }
    bool SetSize(int32_t, int32_t) override { return false; }

    // Pixel (x, y) by image coordinates.
    RasterPixel& At(int32_t x, int32_t y) { return words_[static_cast<size_t>(span_) * Row(y) + x]; }
    int32_t Row(int32_t y) const { return bottomUp_ ? height_ - 1 - y : y; }
    void Fill(RasterPixel p)
    {
        for (int32_t y = 0; y < height_; ++y)
            for (int32_t x = 0; x < width_; ++x)
                At(x, y) = p;
    }
    // Random words everywhere, padding included.
    void Randomise(std::mt19937& rng)
    {
        for (auto& w : words_)
            w = rng();
    }
    // Random words with alphas mostly 0 or 255, like skin images.
    void RandomiseSkinLike(std::mt19937& rng)
    {
        for (auto& w : words_)
        {
            uint32_t r = rng();
            uint32_t kind = r % 4;
            uint32_t alpha = kind == 0 ? 0u : (kind == 1 ? 255u : (r >> 24));
            w = (rng() & 0x00FFFFFFu) | (alpha << 24);
        }
    }
    const std::vector<RasterPixel>& Words() const { return words_; }

private:
    int32_t width_, height_, span_;
    bool bottomUp_;
    std::vector<RasterPixel> words_;
};
