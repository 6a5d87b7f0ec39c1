#pragma once
// Multi-byte to wide text conversion of the headless layer.
//
// What this stand-in implements:
//  [x] MultiByteToWideChar for CP_UTF8: UTF-8 to UTF-16 code units (surrogate pairs above
//      U+FFFF), strict decoding (no overlong forms, no surrogates, nothing above U+10FFFF); with
//      MB_ERR_INVALID_CHARS an invalid sequence fails the call (ERROR_NO_UNICODE_TRANSLATION),
//      without it each invalid byte becomes U+FFFD
//  [ ] other code pages (ERROR_INVALID_PARAMETER)

#include "platform/types/Win32Types.h"

inline constexpr UINT CP_UTF8 = 65001;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;

// Converts `count` bytes of `text` (-1: up to and including its zero byte) into at most
// `wideCount` units of `wide`. wideCount 0 asks for the units needed. Returns the units written
// (or needed); 0 on failure: ERROR_INVALID_PARAMETER, ERROR_NO_UNICODE_TRANSLATION, or
// ERROR_INSUFFICIENT_BUFFER when the result does not fit. Thread-safe.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int count, LPWSTR wide, int wideCount);
