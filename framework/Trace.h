// Trace points. The framework's entry points pass through them with their name and a format;
// in this build they do nothing (the arguments are evaluated and dropped).
#pragma once

#include <cstddef>

template <class... Args>
inline void TracePoint(const char* /*location*/, int /*line*/, const char* /*format*/,
                       const Args&... /*values*/)
{
}

// The name the dispatcher's trace shows for an opcode: the empty text.
inline const char* GetOpcodeName(int /*opcode*/)
{
    return "";
}

// Writes the local time as "%Y%m%d %H:%M " followed by the letters and digits of the time-zone
// name into out (always terminated). Used only by traces.
void FormatCurrentTime(char* out, size_t outSize);
