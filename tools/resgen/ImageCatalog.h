#pragma once
// Every image the editor loads: resource id, path from the repository root, frame count and
// frame size, and the painter that draws one frame. Strips stack their frames vertically
// (frame 1 on top), the way the editor's controls cut them.

#include "tools/resgen/ArtKit.h"

#include <cstdint>
#include <memory>
#include <vector>

// Draws frame `index` (0-based) of `frames` at the given frame size.
using FramePainter = std::unique_ptr<ImageCanvas> (*)(const ArtKit& kit, int index, int frames, int width,
                                                      int height);

struct ImageEntry
{
    uint16_t id;
    const char* path;
    int frames;
    int frameWidth;
    int frameHeight;
    FramePainter paint;
};

// The images in resource-id order, the background (101) first.
const std::vector<ImageEntry>& ImageCatalog();

// The whole strip of an image: its frames painted and stacked.
std::unique_ptr<ImageCanvas> PaintStrip(const ArtKit& kit, const ImageEntry& entry);

// Painters defined in the files named after them.
std::unique_ptr<ImageCanvas> PaintBackground(const ArtKit& kit, int index, int frames, int width, int height);
std::unique_ptr<ImageCanvas> PaintAbout(const ArtKit& kit, int index, int frames, int width, int height);
std::unique_ptr<ImageCanvas> PaintUnipolarKnob(const ArtKit& kit, int index, int frames, int width,
                                               int height);
std::unique_ptr<ImageCanvas> PaintBipolarKnob(const ArtKit& kit, int index, int frames, int width,
                                              int height);
