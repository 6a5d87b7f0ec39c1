// ITextStyle: how a control's system-font text looks. The editor's font cache fills `font` on first
// use (the style does not own it). A plain record.
#pragma once

#include <cstdint>

#include "gui/IColorARGB.h"

class CachedFont; // the raster library's cached system font

struct ITextStyle
{
    static constexpr int kFaceSize = 32;

    enum Style : int32_t
    {
        kStyleNormal = 0,
        kStyleBold = 1,
        kStyleItalic = 2
    };
    enum Alignment : int32_t
    {
        kAlignLeft = 0,
        kAlignCentre = 1,
        kAlignRight = 2
    };
    enum Quality : int32_t
    {
        kQualityDefault = 0,
        kQualityNoAntialias = 1,
        kQualityAntialias = 2,
        kQualityClearType = 3
    };

    char face[kFaceSize] = "Verdana";
    int32_t size = 12; // font height in pixels
    IColorARGB colour; // the text colour; the two below travel with the style, text drawing ignores them
    IColorARGB colour2;
    IColorARGB colour3;
    int32_t style = kStyleNormal;
    int32_t alignment = kAlignCentre;
    int32_t orientation = 0; // degrees
    int32_t quality = kQualityDefault;
    CachedFont* font = nullptr;

    ITextStyle() = default;
    // A style with the given face (cut to 31 characters; null keeps "Verdana"), size and colour, the
    // other fields at their defaults.
    ITextStyle(const char* faceName, int32_t sizeInPixels, const IColorARGB& textColour);

    // Replaces the face (cut to 31 characters, always terminated; null is ignored). The cached font
    // no longer matches, so it is dropped.
    void SetFace(const char* faceName);
};
