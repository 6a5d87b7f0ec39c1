#pragma once
// A scalable font face at one pixel size, loaded with FreeType from the file fontconfig
// matches for a face name, with its cell metrics and a cache of rendered glyphs.
// Not thread-safe on its own: the GDI layer calls it under its lock.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// One rendered glyph: coverage 0..255, rows top to bottom, placed relative to the pen
// (left: columns right of the pen, top: rows above the baseline).
struct GlyphImage
{
    int advance = 0; // whole pixels the pen moves
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage; // width * rows
};

struct FontMatch
{
    std::string file;
    int index = 0;
    std::string family; // the family of the matched file
};

// The file fontconfig picks for `family` (DejaVu Sans is asked for after it, so a missing
// face falls back to it), weight (100..900; 0 means 400) and italic. False when no font
// is installed at all.
bool MatchFontFile(const char* family, int weight, bool italic, FontMatch& out);

struct FontMetrics
{
    int height = 0; // ascent + descent: the line height
    int ascent = 0; // rows from the cell top to the baseline
    int descent = 0;
    int internalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
};

struct FontFace
{
    FontFace() = default;
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Loads the face at a size: height > 0 is the cell height, < 0 the character (em)
    // height; monochrome renders without antialiasing. Null on failure.
    static std::unique_ptr<FontFace> Load(const FontMatch& match, int height, bool monochrome);

    // The glyph of a character (the face's missing-glyph box when it has none); never null.
    const GlyphImage& Glyph(char32_t character);

    FontMetrics metrics;
    std::string family;

private:
    struct Impl;
    Impl* impl_ = nullptr;
    std::unordered_map<char32_t, GlyphImage> glyphs_;
};
