#pragma once
// The look shared by every generated image: the colour palette and the faces the artwork's own
// lettering is set in (the bitmap fonts the controls draw with are built separately).

#include "tools/resgen/Canvas.h"
#include "tools/resgen/GlyphRenderer.h"

#include <string>

namespace palette
{
inline constexpr RasterPixel kBackground = Rgb(23, 26, 30);
inline constexpr RasterPixel kBackgroundLow = Rgb(18, 20, 24);
inline constexpr RasterPixel kPanelTop = Rgb(38, 43, 50);
inline constexpr RasterPixel kPanelBottom = Rgb(31, 35, 41);
inline constexpr RasterPixel kPanelBorder = Rgb(53, 60, 70);
inline constexpr RasterPixel kPanelHighlight = Rgb(63, 71, 82);
inline constexpr RasterPixel kWell = Rgb(14, 16, 19);
inline constexpr RasterPixel kWellBorder = Rgb(47, 53, 61);
inline constexpr RasterPixel kLabel = Rgb(132, 145, 160);
inline constexpr RasterPixel kTitle = Rgb(200, 210, 222);
inline constexpr RasterPixel kText = Rgb(228, 233, 239);
inline constexpr RasterPixel kAccent = Rgb(88, 160, 236);
inline constexpr RasterPixel kAccentDark = Rgb(52, 110, 178);
inline constexpr RasterPixel kAccentLight = Rgb(136, 192, 246);
inline constexpr RasterPixel kLed = Rgb(125, 205, 255);
inline constexpr RasterPixel kLedOff = Rgb(36, 44, 54);
inline constexpr RasterPixel kButtonTop = Rgb(67, 75, 86);
inline constexpr RasterPixel kButtonBottom = Rgb(47, 53, 61);
inline constexpr RasterPixel kButtonEdge = Rgb(17, 19, 23);
inline constexpr RasterPixel kIcon = Rgb(200, 208, 218);
inline constexpr RasterPixel kWarn = Rgb(214, 74, 64);
inline constexpr RasterPixel kWarnLight = Rgb(246, 112, 96);
inline constexpr RasterPixel kAmber = Rgb(240, 178, 74);
inline constexpr RasterPixel kLoop = Rgb(122, 210, 152);
inline constexpr RasterPixel kMarker = Rgb(255, 222, 150);
inline constexpr RasterPixel kPlate = Rgb(116, 127, 140);
inline constexpr RasterPixel kGridColumn = Rgb(27, 31, 37);
inline constexpr RasterPixel kGridColumnAlt = Rgb(31, 36, 43);
inline constexpr RasterPixel kKeyWhite = Rgb(206, 212, 220);
inline constexpr RasterPixel kKeyBlack = Rgb(44, 49, 57);
} // namespace palette

struct ArtKit
{
    ArtKit() = default;
    ArtKit(const ArtKit&) = delete;
    ArtKit& operator=(const ArtKit&) = delete;

    // Loads the faces from the folder holding Carlito-Regular.ttf and Carlito-Bold.ttf.
    bool Load(const std::string& fontFolder, std::string* error);

    GlyphRenderer label;  // bold 10 px: control captions on the panels
    GlyphRenderer small;  // bold 9 px: the smallest button lettering
    GlyphRenderer button; // bold 11 px: button lettering
    GlyphRenderer title;  // bold 12 px: panel titles
    GlyphRenderer body;   // regular 13 px: running text
    GlyphRenderer logo;   // bold 28 px: the product name
    GlyphRenderer banner; // bold 44 px: the product name on the about card
};

// The path of one of the faces in the font folder.
std::string RegularFace(const std::string& fontFolder);
std::string BoldFace(const std::string& fontFolder);
