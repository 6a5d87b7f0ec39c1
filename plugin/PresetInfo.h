#pragma once

#include <cstring>

// The information of the loaded preset, carried in the plug-in state and in
// the preset-file header: four zero-terminated texts of fixed widths.
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

    // Copies text into a field, cut to its width (always terminated).
    template <int N>
    static void SetField(char (&field)[N], const char* text)
    {
        std::memset(field, 0, N);
        if (text != nullptr)
            std::memcpy(field, text, strnlen(text, N - 1));
    }
};
