#pragma once
// Bitmap fonts for the editor's lettering: the printable ASCII characters 32..126 of one face
// at one pixel size, rendered in one colour into a glyph image (straight alpha = coverage), and
// the BMFont XML description that says where each character sits in it.
//
// Vertical metrics: lineHeight is the face's line spacing; base is chosen so that capitals sit
// centred in a line box, which centres labels in the controls that centre a line box in their
// rectangle. yoffset is measured from the top of the line box to the glyph's top row.

#include "tools/resgen/Canvas.h"

#include <memory>
#include <string>

struct BitmapFontStyle
{
    std::string baseName;   // file base name, e.g. "Calibri_12px"
    std::string faceName;   // the face named in the description
    int32_t pixelSize = 12; // em height in pixels
    RasterPixel colour = 0; // glyph colour (alpha ignored)
};

struct BitmapFontOutput
{
    std::unique_ptr<ImageCanvas> image; // the glyph image
    std::string description;            // the BMFont XML text
};

inline constexpr int kFirstFontChar = 32;
inline constexpr int kLastFontChar = 126;
inline constexpr int kFontImageWidth = 256;

// Renders the font from the face file. False, with a message, when the face cannot be loaded.
bool BuildBitmapFont(const std::string& faceFile, const BitmapFontStyle& style, BitmapFontOutput* out,
                     std::string* error);
