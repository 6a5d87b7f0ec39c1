// PresetInfo: the four texts that describe a preset (name, author, description, usage), carried
// in the plug-in state and in the preset-file header at the same fixed widths. Every field is
// zero-terminated and zero-padded.
#pragma once

#include <cstring>

struct PresetInfo
{
    static constexpr int kNameSize = 33;
    static constexpr int kAuthorSize = 51;
    static constexpr int kDescriptionSize = 255;
    static constexpr int kUsageSize = 255;

    char name[kNameSize] = {};
    char author[kAuthorSize] = {};
    char description[kDescriptionSize] = {};
    char usage[kUsageSize] = {};

    // Clears every field to zero bytes.
    void Clear() { *this = PresetInfo{}; }

    // Clears field to zero bytes, then copies at most N - 1 characters of text (null counts as ""),
    // so the field always ends terminated.
    template <int N> static void SetField(char (&field)[N], const char* text)
    {
        std::memset(field, 0, N);
        if (text != nullptr) std::memcpy(field, text, strnlen(text, N - 1));
    }
    // Copies at most count bytes of raw field data (stopping at the first zero) into field, cut to
    // N - 1 characters.
    template <int N> static void SetFieldFromBytes(char (&field)[N], const unsigned char* bytes, int count)
    {
        std::memset(field, 0, N);
        int length = 0;
        while (length < count && length < N - 1 && bytes[length] != 0)
            ++length;
        if (length > 0) std::memcpy(field, bytes, static_cast<size_t>(length));
    }
};
