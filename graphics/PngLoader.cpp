#include "graphics/PngLoader.h"

#include "graphics/MemoryBitmap.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

// libpng reports errors by a long jump. The function that arms the jump
// (ReadImage) holds no C++ object with a destructor, and everything the error
// path must release lives in a DecodeJob reached through a pointer that is
// not changed after the jump is armed; the callers free it on every path.

namespace
{
struct MemoryCursor
{
    const unsigned char* next;
    size_t left;
};

struct DecodeJob
{
    RasterBitmap* given = nullptr;   // the caller's bitmap, or null
    MemoryBitmap* created = nullptr; // a bitmap made here, owned until returned
    RasterBitmap* target = nullptr;  // given or created
    png_bytep* rows = nullptr;       // row table (malloc)
};

[[noreturn]] void SilentError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void SilentWarning(png_structp, png_const_charp) {}

// Reads and decodes the image into job->target. False on any failure.
bool ReadImage(png_structp png, png_infop info, DecodeJob* job)
{
    if (setjmp(png_jmpbuf(png))) return false;

    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0, compression = 0, filter = 0;
    if (!png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, &compression, &filter))
        return false;

    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
    {
        png_set_tRNS_to_alpha(png);
        colourType |= PNG_COLOR_MASK_ALPHA;
    }
    if (depth == 16) png_set_strip_16(png);
    if (depth < 8) png_set_packing(png);
    if ((colourType & ~PNG_COLOR_MASK_ALPHA) == PNG_COLOR_TYPE_GRAY) png_set_gray_to_rgb(png);
    if (colourType & PNG_COLOR_MASK_ALPHA)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 255, PNG_FILLER_BEFORE);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    // Every row must come out as A, R, G, B bytes.
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX ||
        png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4)
        return false;
    const int32_t w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);

    if (job->given)
    {
        job->given->SetSize(w, h);
        job->target = job->given;
    }
    else
    {
        job->created = new (std::nothrow) MemoryBitmap(w, h, 4);
        job->target = job->created;
    }
    RasterBitmap* target = job->target;
    if (!target || target->Width() != w || target->Height() != h || !target->Pixels()) return false;

    job->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * static_cast<size_t>(h)));
    if (!job->rows) return false;
    RasterPixel* pixels = target->Pixels();
    const ptrdiff_t span = target->RowSpan();
    for (int32_t r = 0; r < h; ++r)
        job->rows[r] = reinterpret_cast<png_bytep>(pixels + span * r);
    png_read_image(png, job->rows);
    return true;
}

// Turns the A, R, G, B bytes of every pixel into the word
// A << 24 | R << 16 | G << 8 | B.
void ConvertRows(const DecodeJob& job)
{
    RasterBitmap* target = job.target;
    const int32_t w = target->Width(), h = target->Height();
    for (int32_t r = 0; r < h; ++r)
    {
        unsigned char* bytes = job.rows[r];
        RasterPixel* out = reinterpret_cast<RasterPixel*>(bytes);
        for (int32_t x = 0; x < w; ++x, bytes += 4)
            out[x] = (static_cast<RasterPixel>(bytes[0]) << 24) | (static_cast<RasterPixel>(bytes[1]) << 16) |
                     (static_cast<RasterPixel>(bytes[2]) << 8) | bytes[3];
    }
}

// Runs a decode whose input has been attached by attach(png). Returns the
// bitmap or null; frees everything it made on failure.
template <class Attach> RasterBitmap* Decode(RasterBitmap* bitmap, Attach attach)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info)
    {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    attach(png);
    DecodeJob job;
    job.given = bitmap;
    const bool ok = ReadImage(png, info, &job);
    png_destroy_read_struct(&png, &info, nullptr);
    if (ok) ConvertRows(job);
    std::free(job.rows);
    if (!ok)
    {
        delete job.created;
        return nullptr;
    }
    return job.target;
}

ImageLoaderRecord* g_imageLoaders = nullptr;

ImageLoaderRecord g_pngLoaderRecord = {LoadPngByName, PngFileFilter, nullptr};

struct RegisterPngLoader
{
    RegisterPngLoader()
    {
        g_pngLoaderRecord.next = g_imageLoaders;
        g_imageLoaders = &g_pngLoaderRecord;
    }
} g_registerPngLoader;
} // namespace

void PngMemoryRead(png_struct_def* png, unsigned char* out, size_t count)
{
    MemoryCursor* cursor = static_cast<MemoryCursor*>(png_get_io_ptr(png));
    // libpng trusts the lengths the chunks declare; bytes handed out beyond
    // the data would let it inflate and checksum a declared gigabyte of zeros.
    if (!cursor || count > cursor->left) png_error(png, "read past the end of the data");
    if (count > 0) std::memcpy(out, cursor->next, count);
    cursor->next += count;
    cursor->left -= count;
}

RasterBitmap* LoadPngMemory(const void* data, int32_t length, RasterBitmap* bitmap)
{
    if (!data || length < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return nullptr;
    MemoryCursor cursor{static_cast<const unsigned char*>(data), static_cast<size_t>(length)};
    return Decode(bitmap, [&cursor](png_structp png) { png_set_read_fn(png, &cursor, PngMemoryRead); });
}

RasterBitmap* LoadPngFile(const char* path, RasterBitmap* bitmap)
{
    if (!path) return nullptr;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    RasterBitmap* result = Decode(bitmap, [file](png_structp png) { png_init_io(png, file); });
    std::fclose(file);
    return result;
}

RasterBitmap* LoadPngByName(const char* path, bool checkExtension, RasterBitmap* bitmap)
{
    if (!path) return nullptr;
    if (checkExtension)
    {
        const char* extension = path + std::strlen(path);
        while (extension > path && *extension != '.' && *extension != '/' && *extension != '\\')
            --extension;
        static const char kPng[] = ".png";
        for (size_t i = 0;; ++i)
        {
            char c = extension[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != kPng[i]) return nullptr;
            if (c == '\0') break;
        }
    }
    return LoadPngFile(path, bitmap);
}

const char* PngFileFilter()
{
    return "PNG files (*.PNG)\0*.PNG\0";
}

ImageLoaderRecord* ImageLoaderList()
{
    return g_imageLoaders;
}
