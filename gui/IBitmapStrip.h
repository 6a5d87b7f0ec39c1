// IBitmapStrip: an image as the controls use it: a bitmap of the module-wide bitmap cache (not
// owned), its whole width and height, and the number of frames it holds, stacked vertically or
// side by side. A plain record.
#pragma once

#include <cstdint>

class RasterBitmap; // the raster library's bitmap

struct IBitmapStrip
{
    RasterBitmap* bitmap = nullptr;
    int32_t width = 0;  // of the whole image
    int32_t height = 0; // of the whole image
    int32_t frames = 1; // at least 1
    bool framesSideBySide = false;

    // The size of one frame: the whole width (or height) divided by the frame count, truncated,
    // along the direction the frames run; a frame count below 1 counts as 1.
    int32_t FrameWidth() const { return framesSideBySide ? width / FrameCount() : width; }
    int32_t FrameHeight() const { return framesSideBySide ? height : height / FrameCount(); }
    int32_t FrameCount() const { return frames < 1 ? 1 : frames; }
};
