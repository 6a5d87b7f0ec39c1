// IKeyCode: the key numbers the editor passes to controls: 0 space, 1..4 the arrows (up, down,
// left, right), 5..14 the digits 0..9, 15..40 the letters A..Z (either case). The window layer
// passes no other keys to controls.
#pragma once

#include <cstdint>

enum IKeyCode : int32_t
{
    kKeySpace = 0,
    kKeyUp = 1,
    kKeyDown = 2,
    kKeyLeft = 3,
    kKeyRight = 4,
    kKeyDigit0 = 5,
    kKeyDigit9 = 14,
    kKeyA = 15,
    kKeyZ = 40,
};

// The key number of a character: ' ', '0'..'9', 'A'..'Z' or 'a'..'z'; -1 for any other.
constexpr int32_t KeyCodeForCharacter(char c)
{
    if (c == ' ') return kKeySpace;
    if (c >= '0' && c <= '9') return kKeyDigit0 + (c - '0');
    if (c >= 'A' && c <= 'Z') return kKeyA + (c - 'A');
    if (c >= 'a' && c <= 'z') return kKeyA + (c - 'a');
    return -1;
}

// True for the numbers 0..40 above.
constexpr bool IsKeyCode(int32_t code)
{
    return code >= kKeySpace && code <= kKeyZ;
}
