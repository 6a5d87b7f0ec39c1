#pragma once
// PNG decoding through libpng into 32-bit bitmaps of 0xAARRGGBB words with
// straight alpha (images without alpha get A = 255). Every colour type is
// expanded: palettes and grey to RGB, grey below 8 bits to 8, a tRNS chunk
// to alpha, 16-bit channels cut to their high byte.
//
// Each loader takes an optional bitmap: when given it is resized, filled and
// returned; otherwise a new MemoryBitmap (line alignment 4) is returned and
// the caller owns it. Every failure returns null and leaks nothing: a short
// or non-PNG input, an unopenable file, a libpng error (corrupt or truncated
// data), an image too large for a bitmap, or a given bitmap that cannot take
// the image's size. Loading runs on the calling thread; no shared state but
// the loader list, written during static initialisation.

#include "graphics/RasterBitmap.h"
#include "platform/types/Win32Types.h"

#include <cstddef>
#include <cstdint>

struct png_struct_def;

// Decodes the module's resource of type "PNG" with the integer id. Null when
// it is missing or shorter than 8 bytes.
RasterBitmap* LoadPngResource(HMODULE module, uint16_t id, RasterBitmap* bitmap = nullptr);

// Decodes length bytes at data.
RasterBitmap* LoadPngMemory(const void* data, int32_t length, RasterBitmap* bitmap = nullptr);

// Decodes the file at the UTF-8 path.
RasterBitmap* LoadPngFile(const char* path, RasterBitmap* bitmap = nullptr);

// LoadPngFile; with checkExtension, null unless the path's extension (from
// its last '.', '/' or '\') is ".png" in any case.
RasterBitmap* LoadPngByName(const char* path, bool checkExtension, RasterBitmap* bitmap = nullptr);

// libpng read callback over a memory cursor: copies the next count bytes. A
// read that reaches past the end of the data copies nothing and fails the
// decode at once (a libpng error), so a chunk that declares more data than
// the image holds costs no more than the image's own size.
void PngMemoryRead(png_struct_def* png, unsigned char* out, size_t count);

// A file-dialog filter list: "PNG files (*.PNG)", "*.PNG", double-zero ended.
const char* PngFileFilter();

// One entry of the process-wide list of image loaders.
struct ImageLoaderRecord
{
    RasterBitmap* (*load)(const char* path, bool checkExtension, RasterBitmap* bitmap);
    const char* (*fileFilter)();
    ImageLoaderRecord* next;
};

// Head of the list; the PNG loader's record is on it from static
// initialisation on.
ImageLoaderRecord* ImageLoaderList();
