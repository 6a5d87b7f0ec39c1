#include "graphics/Utf8.h"

namespace
{
bool IsContinuation(unsigned char c)
{
    return c >= 0x80 && c <= 0xBF;
}

// True when `count` continuation bytes follow at bytes[1..count] within available.
bool Continues(const unsigned char* bytes, int64_t available, int count)
{
    for (int i = 1; i <= count; ++i)
    {
        if (available >= 0 && i >= available) return false;
        if (!IsContinuation(bytes[i])) return false;
    }
    return true;
}
} // namespace

int DecodeUtf8Char(const char* text, int64_t available, uint16_t* character)
{
    if (!text || available == 0) return 0;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = bytes[0];
    if (lead >= 0xC2 && lead <= 0xDF && Continues(bytes, available, 1))
    {
        *character = static_cast<uint16_t>(((lead & 0x1F) << 6) | (bytes[1] & 0x3F));
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF && Continues(bytes, available, 2))
    {
        *character =
            static_cast<uint16_t>(((lead & 0x0F) << 12) | ((bytes[1] & 0x3F) << 6) | (bytes[2] & 0x3F));
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4 && Continues(bytes, available, 3))
    {
        *character = 32;
        return 4;
    }
    *character = lead;
    return 1;
}

bool HasMultiByteSequence(const char* text, int64_t length)
{
    if (!text) return false;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    for (int64_t i = 0; length < 0 ? bytes[i] != 0 : i < length; ++i)
    {
        const int64_t available = length < 0 ? -1 : length - i;
        const unsigned char lead = bytes[i];
        if ((lead >= 0xC2 && lead <= 0xDF && Continues(bytes + i, available, 1)) ||
            (lead >= 0xE0 && lead <= 0xF4 && Continues(bytes + i, available, 2)))
            return true;
    }
    return false;
}
