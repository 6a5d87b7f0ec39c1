#pragma once
// The UTF-8 reading of the text routines: a forgiving decoder that turns what
// is not a well-formed sequence into single bytes, so Latin-1 text still
// shows, and that never looks past the bytes it is given.

#include <cstdint>

// Decodes one character at bytes into *character (a 16-bit code) and returns
// the bytes consumed (1 to 4). available is the number of bytes that may be
// read, or -1 for zero-terminated text (a zero byte is never a continuation
// byte, so the decoder stops at it).
//   - lead 0xC2..0xDF + 1 continuation (0x80..0xBF): 2 bytes, 11-bit code;
//   - lead 0xE0..0xEF + 2 continuations: 3 bytes, 16-bit code;
//   - lead 0xF0..0xF4 + 3 continuations: 4 bytes, decoded as a space (32);
//   - anything else, or a sequence cut short by available: 1 byte, the byte
//     itself as the character.
// available 0 (or a null pointer) consumes nothing and returns 0.
int DecodeUtf8Char(const char* bytes, int64_t available, uint16_t* character);

// True when text (length bytes, or -1 for zero-terminated) holds at least one
// lead byte followed by its continuation bytes (0xC2..0xDF with one,
// 0xE0..0xEF with two, 0xF0..0xF4 with two).
bool HasMultiByteSequence(const char* text, int64_t length);
