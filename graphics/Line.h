#pragma once
// One-pixel lines. End points are inclusive pixel coordinates in the bitmap's
// top-down frame. Lines use only the operator byte of the mode (0 copy,
// 1 add, 2 dodge, 3 multiply, 4 overlay, 5 HSV; above 5 draws nothing; the
// source-alpha and filter bits are ignored) and the weight rule of
// RasterPixel.h. Every line is clipped to the bitmap (LineClip.h).
//
// Plotting by operator at weight w: copy at 256 stores the colour word, at
// 128 makes each byte (D + C) >> 1, otherwise BlendPixel (a weight below 1
// draws nothing); operators 1..5 apply their BlendOperators.h formula.
// Horizontal and vertical runs with the copy operator first test the exact
// alphas 1.0 (store), 0.5 (D/2 + C/2), 0.25 (a quarter of the colour) and
// 0.75 (three quarters) on whole words. Diagonals (|dx| = |dy|) have their own
// anti-aliased pattern (3/4 on the line, 1/4 on the two neighbours toward the
// next pixel); general lines are walked from both ends toward the middle with
// a 16.16 slope, anti-aliased by coverage. Plots of coverage 0 are skipped.
// No allocation; editor thread only.

#include "graphics/RasterBitmap.h"

#include <cstdint>

void StrokeLine(RasterBitmap* bitmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, RasterPixel colour,
                float alpha, BlendMode mode, bool antialias);

// The outline through columns x..x + w and rows y..y + h (four lines; corner
// pixels are drawn twice).
void StrokeRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h, RasterPixel colour,
                     float alpha, BlendMode mode);

// Fills (x + 1, y + 1, w - 1, h - 1) in the fill colour, then outlines
// (x, y, w, h) in the border colour.
void FillBorderedRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h, RasterPixel fill,
                           RasterPixel border, float alpha, BlendMode mode);

// Without anti-aliasing: the coordinates truncated and drawn as StrokeLine.
// With it: a coverage walk along the major axis over the integer positions
// between the ends. A coordinate that is not finite draws nothing.
void StrokeFloatLine(RasterBitmap* bitmap, float x1, float y1, float x2, float y2, RasterPixel colour,
                     float alpha, BlendMode mode, bool antialias);

// Horizontal and vertical lines only: dashes of dashLength pixels separated by
// gaps of gapLength, from the smaller coordinate; the far end pixel is not
// drawn. A dash length below 1 draws nothing; a negative gap counts as 0.
void StrokeDashedLine(RasterBitmap* bitmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                      int32_t dashLength, int32_t gapLength, RasterPixel colour, float alpha, BlendMode mode);
