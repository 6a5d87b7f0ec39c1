#pragma once
// Text rendering for the resource generator: one scalable font file, loaded with FreeType,
// rendered at a pixel size into 8-bit coverage (light hinting, anti-aliased). The output is a
// pure function of the font file, the size and the text, so generated images are reproducible
// on a machine with the same font package and FreeType library.

#include "tools/resgen/Shapes.h"

#include <memory>
#include <string>

struct GlyphImage
{
    CoverageMask mask;   // placed relative to the pen: x = left bearing, y = -(rows above the baseline)
    int32_t advance = 0; // whole pixels the pen moves after the glyph
};

struct FontMetrics
{
    int32_t ascender = 0;  // pixels above the baseline
    int32_t descender = 0; // pixels below the baseline (positive)
    int32_t lineHeight = 0;
    int32_t capHeight = 0; // height of "H" above the baseline
};

class GlyphRenderer
{
public:
    GlyphRenderer();
    ~GlyphRenderer();
    GlyphRenderer(const GlyphRenderer&) = delete;
    GlyphRenderer& operator=(const GlyphRenderer&) = delete;

    // Loads the font file and selects the pixel size (the em height). False, with a message in
    // *error, when the file cannot be read as a font or the size is not 1..256.
    bool Load(const std::string& path, int32_t pixelSize, std::string* error);

    FontMetrics Metrics() const;
    // The glyph of a character code; an empty mask and advance 0 when nothing is loaded.
    GlyphImage Glyph(uint32_t code) const;
    // Width of the text in pixels (sum of the advances).
    int32_t Measure(const std::string& text) const;
    // Coverage of the text with its baseline at y = baseline and its pen starting at x = left.
    CoverageMask Render(const std::string& text, int32_t left, int32_t baseline) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
