#pragma once
// The registry of the headless layer: a fixed set of keys that exist, for probes only.
//
// What this stand-in implements:
//  [x] RegOpenKeyA / RegCloseKey on HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: a key opens when its
//      path (compared without case, '\' separated) is in the set of existing keys
//  [x] the set holds "Software\Wine" under HKEY_LOCAL_MACHINE: the platform runs text through the
//      cached glyph path (glyphs rendered one at a time by the GDI layer and blended by the raster
//      library), which is the path a probe that finds this key chooses. The input source may add
//      or remove keys for tests (WindowSystem.h)
//  [ ] values, writing, enumeration

#include "platform/types/Win32Types.h"

inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u));

// Opens subKey below key (a root or an open key) into *result. ERROR_SUCCESS, or
// ERROR_FILE_NOT_FOUND when the key does not exist, ERROR_INVALID_HANDLE for a bad key and
// ERROR_INVALID_PARAMETER for a null result pointer. A null or empty subKey opens key again.
LONG RegOpenKeyA(HKEY key, LPCSTR subKey, HKEY* result);
// Closes a key opened by RegOpenKeyA (closing a root key does nothing).
LONG RegCloseKey(HKEY key);
