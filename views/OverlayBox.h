#pragma once

#include "gui/IColorARGB.h"
#include "gui/IRectangle.h"

class IGraphics;

// The look the settings box and the preset information box share: a
// translucent dark blue panel with a white outline.
namespace overlay
{
inline constexpr IColorARGB kBackground(250, 62, 89, 124);
inline constexpr IColorARGB kOutline(255, 255, 255, 255);

// r shrunk by d pixels on every side.
inline IRectangle Inset(const IRectangle& r, int d)
{
    return IRectangle(r.left + d, r.top + d, r.right - d, r.bottom - d);
}

// Fills r with the background colour and outlines it in white, inside r.
void PaintBox(IGraphics* graphics, const IRectangle& r);
} // namespace overlay
