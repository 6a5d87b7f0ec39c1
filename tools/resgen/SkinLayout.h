#pragma once
// The editor's layout: one rectangle per skin position, in skin order, and the skin text made
// from it. A run entry (count > 0) stands for count rectangles side by side, each as wide as
// the first, and is written as one line with the count as a fifth field; its name ends in ">"
// and the count.

#include "graphics/RasterBitmap.h"

#include <string>
#include <vector>

struct SkinEntry
{
    const char* name;
    RasterRect rect; // the first rectangle of a run
    int count;       // 0 for a single rectangle, else the number of rectangles in the run
};

inline constexpr int kEditorWidth = 1000;
inline constexpr int kEditorHeight = 565;
inline constexpr int kCompactHeight = 432;
inline constexpr int kSkinPositions = 169;

// The entries in skin order.
const std::vector<SkinEntry>& SkinEntries();
// Every rectangle, runs expanded: element i is skin position i.
std::vector<RasterRect> SkinRectangles();
// The rectangle at a skin position (position must be 0..168).
RasterRect SkinRect(int position);
// The skin text: a comment line first, then for each entry a name line and a data line.
std::string SkinText();
