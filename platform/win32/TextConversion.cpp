// UTF-8 to UTF-16 conversion.
#include "platform/win32/TextConversion.h"

#include <cstddef>
#include <vector>

using std::size_t;

namespace
{

constexpr uint32_t kReplacement = 0xFFFD;

// Decodes one strict UTF-8 sequence at text[i] (n bytes available). Returns the bytes used and
// the code point; 0 bytes used means the byte at i starts no valid sequence.
size_t Decode(const unsigned char* text, size_t n, size_t i, uint32_t& cp)
{
    unsigned c = text[i];
    if (c < 0x80)
    {
        cp = c;
        return 1;
    }
    size_t len = 0;
    uint32_t lo = 0;
    if (c >= 0xC2 && c <= 0xDF)
    {
        len = 2;
        cp = c & 0x1F;
        lo = 0x80;
    }
    else if (c >= 0xE0 && c <= 0xEF)
    {
        len = 3;
        cp = c & 0x0F;
        lo = 0x800;
    }
    else if (c >= 0xF0 && c <= 0xF4)
    {
        len = 4;
        cp = c & 0x07;
        lo = 0x10000;
    }
    else
    {
        return 0;
    }
    if (i + len > n) return 0;
    for (size_t k = 1; k < len; ++k)
    {
        unsigned b = text[i + k];
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < lo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int count, LPWSTR wide, int wideCount)
{
    if (codePage != CP_UTF8 || !text || count == 0 || count < -1 || wideCount < 0 ||
        (wideCount > 0 && !wide) || (flags & ~MB_ERR_INVALID_CHARS) != 0)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t n = 0;
    if (count == -1)
    {
        while (bytes[n])
            ++n;
        ++n; // the zero byte is converted too
    }
    else
    {
        n = static_cast<size_t>(count);
    }
    std::vector<uint16_t> out;
    out.reserve(n);
    for (size_t i = 0; i < n;)
    {
        uint32_t cp = 0;
        size_t used = Decode(bytes, n, i, cp);
        if (used == 0)
        {
            if (flags & MB_ERR_INVALID_CHARS)
            {
                SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                return 0;
            }
            cp = kReplacement;
            used = 1;
        }
        if (cp >= 0x10000)
        {
            cp -= 0x10000;
            out.push_back(static_cast<uint16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<uint16_t>(0xDC00 + (cp & 0x3FF)));
        }
        else
        {
            out.push_back(static_cast<uint16_t>(cp));
        }
        i += used;
    }
    if (out.size() > 0x7FFFFFFF)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int needed = static_cast<int>(out.size());
    if (wideCount == 0) return needed;
    if (needed > wideCount)
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int k = 0; k < needed; ++k)
        wide[k] = static_cast<WCHAR>(out[static_cast<size_t>(k)]);
    return needed;
}
