// IString: a growable zero-terminated text kept in a HeapBuffer. Reading a string that was never
// set gives a shared empty text, never null. Not thread-safe. Non-copyable.
#pragma once

#include "framework/HeapBuffer.h"

class IString
{
public:
    explicit IString(int granularity = 128) : buffer_(granularity) {}
    explicit IString(const char* text, int granularity = 128) : buffer_(granularity) { Set(text); }
    IString(const IString&) = delete;
    IString& operator=(const IString&) = delete;

    // Replaces the text. With maxLength >= 1 at most maxLength characters are taken (fewer when a
    // zero comes first); otherwise the whole zero-terminated text. Null or "" gives "". The source
    // may lie inside this string's own buffer. A shorter text keeps the allocation. On an
    // allocation failure the string is left as it was.
    void Set(const char* text, int maxLength = 0);

    // The text; the shared empty text when nothing was set.
    const char* Get() const;
    int GetLength() const { return buffer_.Size() > 0 ? buffer_.Size() - 1 : 0; }
    bool IsEmpty() const { return GetLength() == 0; }

private:
    HeapBuffer buffer_;
};
