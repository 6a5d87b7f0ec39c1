#pragma once
// Line clipping (Cohen-Sutherland) against a bitmap or a rectangle.
//
// Integer form: outcodes 1 (x < 0), 2 (x >= width), 4 (y < 0),
// 8 (y >= height). While either end is outside: a shared bit means the line
// misses (false); otherwise the first end with a non-zero code (else the
// second) moves to the boundary its code names, in the priority bottom, top,
// right, left. The crossing is computed in double precision from the current
// end points, truncated toward zero, at y = height (x = width) one beyond the
// last row (column) and then placed on height - 1 (width - 1).
// The float form works the same against W = width - 1 and H = height - 1 and
// places moved points on H - 1 / W - 1, keeping a one-pixel margin for the
// anti-aliased float line. Any coordinate that is not finite makes it fail.
// The end points are written back in every case.

#include <cstdint>

bool ClipLineToBitmap(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, int32_t width, int32_t height);
// Turns two top-down rows into rows of a bottom-up bitmap of the given height
// (height - 1 - y), computed in 64 bits. False when a result does not fit in
// 32 bits: such a row is far outside and the line is clipped away either way.
bool MirrorLineRows(int32_t& y1, int32_t& y2, int32_t height);
bool ClipFloatLineToBitmap(float& x1, float& y1, float& x2, float& y2, int32_t width, int32_t height);
// Right and bottom exclusive.
bool ClipLineToRect(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, int32_t left, int32_t top,
                    int32_t right, int32_t bottom);
bool ClipFloatLineToRect(float& x1, float& y1, float& x2, float& y2, float left, float top, float right,
                         float bottom);
