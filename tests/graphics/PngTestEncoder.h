#pragma once
// Encodes small PNG images in memory with libpng's write side, so the loader
// tests can make every colour type, depth and interlace they need.

#include <cstdint>
#include <vector>

struct PngTestImage
{
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colourType = 0; // PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    bool interlaced = false;
    std::vector<std::vector<uint8_t>> rows; // packed rows as stored (16-bit samples big-endian)
    std::vector<uint8_t> palette;           // r, g, b triples
    std::vector<uint8_t> paletteAlpha;      // tRNS for palettes
    bool hasKey = false;                    // tRNS for grey / RGB
    uint16_t keyRed = 0, keyGreen = 0, keyBlue = 0, keyGrey = 0;
};

std::vector<uint8_t> EncodePng(const PngTestImage& image);

// A file made of the signature and the given chunks (type, data), each with a
// correct CRC, for headers libpng's writer would refuse.
struct PngTestChunk
{
    const char* type;
    std::vector<uint8_t> data;
};
std::vector<uint8_t> AssemblePng(const std::vector<PngTestChunk>& chunks);
