#include "presets/GzipFile.h"

#include <zlib.h>

#include <cstdio>

#include "framework/IStateChunk.h"

bool ReadGzipFile(const std::string& path, int64_t /*sizeHint*/, IStateChunk* chunk)
{
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    constexpr int kPiece = 1023;
    char buffer[kPiece + 1];
    bool ok = true;
    int64_t total = 0;
    for (;;)
    {
        const int got = gzread(file, buffer, kPiece);
        if (got < 0)
        {
            ok = false;
            break;
        }
        total += got;
        if (total > kMaxPresetFileBytes)
        {
            ok = false;
            break;
        }
        const int before = chunk->Size();
        if (got > 0 && chunk->PutBytes(buffer, got) != before + got)
        {
            ok = false;
            break;
        }
        if (got < kPiece) break;
    }
    // A truncated gzip stream ends with a short read and Z_BUF_ERROR rather than -1.
    int error = Z_OK;
    gzerror(file, &error);
    if (error != Z_OK) ok = false;
    gzclose(file);
    return ok;
}

bool WriteGzipFile(const std::string& path, const uint8_t* data, int size)
{
    if (size < 0 || (size > 0 && data == nullptr)) return false;
    const std::string temporary = path + ".tmp";
    gzFile file = gzopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = size == 0 || gzwrite(file, data, static_cast<unsigned>(size)) == size;
    if (gzclose(file) != Z_OK) ok = false;
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}
