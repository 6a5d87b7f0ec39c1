// Host identification from the product text a host reports.
#pragma once

#include <cstddef>

#include "framework/EffectTypes.h"

// Lower-cases text into out (at most 255 characters and the terminator, also bounded by outSize)
// with the C locale's mapping.
void ToLowerCopy(const char* text, char* out, size_t outSize);

// Lower-cases the text, then tests a fixed list of words in the list's order by substring search;
// the first word found gives the host's code. kHostUnknown (0) when none matches or text is null.
IHostId FindHostId(const char* productText);
