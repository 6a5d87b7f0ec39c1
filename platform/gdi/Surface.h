#pragma once
// The seam between the window layer and the GDI layer: a window owns a pixel
// surface (32-bit 0xAARRGGBB words, top-down), and the GDI layer makes device
// contexts that draw into it. BitBlt onto a window's DC writes these pixels.

#include "platform/types/Win32Types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct PixelSurface
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // width * height words, row after row from the top

    // New size (each side clamped to 0..16384); the overlapping part keeps its pixels,
    // new pixels are 0 (never painted: transparent black). Out of memory: empty.
    void Resize(int w, int h);
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A device context that draws into `surface` (not owned; it must outlive the DC).
// Released with ReleaseSurfaceDC, not DeleteDC. Null for a null surface.
HDC CreateSurfaceDC(PixelSurface* surface);
// Releases a DC made by CreateSurfaceDC; anything else is ignored.
void ReleaseSurfaceDC(HDC dc);
// Limits drawing through a window DC to `clip` (surface coordinates; null: the whole
// surface), as BeginPaint limits painting to the update region. FALSE for a bad DC.
BOOL SetSurfaceDCClip(HDC dc, const RECT* clip);
