#include "framework/IStateChunk.h"

#include <climits>

int IStateChunk::PutBytes(const void* bytes, int count)
{
    const int oldSize = buffer_.Size();
    if (count <= 0) return oldSize;
    const int64_t newSize = static_cast<int64_t>(oldSize) + count;
    if (newSize > INT_MAX) return oldSize;
    buffer_.SetSize(static_cast<int>(newSize), true);
    if (buffer_.Size() != newSize) return oldSize;
    std::memmove(MutableData() + oldSize, bytes, static_cast<size_t>(count));
    return buffer_.Size();
}

int IStateChunk::AppendString(const char* text)
{
    const size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length > static_cast<size_t>(INT_MAX) - 4) return Size();
    const int oldSize = Size();
    const uint32_t stored = static_cast<uint32_t>(length);
    if (Put(stored) == oldSize) return oldSize;
    if (length > 0 && PutBytes(text, static_cast<int>(length)) == oldSize + 4)
    {
        buffer_.SetSize(oldSize, false); // leave no half-written text behind
        return oldSize;
    }
    return Size();
}

int IStateChunk::AppendChunk(const IStateChunk& other)
{
    if (&other == this)
    {
        const int size = Size();
        if (size == 0) return 0;
        buffer_.SetSize(size * 2, true);
        if (buffer_.Size() != size * 2) return size;
        std::memcpy(MutableData() + size, Data(), static_cast<size_t>(size));
        return Size();
    }
    return PutBytes(other.Data(), other.Size());
}

int IStateChunk::SetSizeZeroFilled(int n)
{
    const int oldSize = Size();
    if (n < 0) return oldSize;
    buffer_.SetSize(n, true);
    if (buffer_.Size() == n && n > oldSize)
        std::memset(MutableData() + oldSize, 0, static_cast<size_t>(n - oldSize));
    return oldSize;
}

int IStateChunk::GetBytes(void* out, int count, int pos) const
{
    if (pos < 0 || count < 0) return -1;
    if (static_cast<int64_t>(pos) + count > Size()) return -1;
    if (count > 0) std::memcpy(out, Data() + pos, static_cast<size_t>(count));
    return pos + count;
}

int IStateChunk::GetString(IString* out, int pos) const
{
    uint32_t length = 0;
    const int textPos = Get(&length, pos);
    if (textPos < 0) return -1;
    if (static_cast<int64_t>(length) > static_cast<int64_t>(Size()) - textPos) return -1;
    if (out != nullptr)
    {
        if (length == 0)
        {
            out->Set(nullptr);
        }
        else
        {
            out->Set(reinterpret_cast<const char*>(Data() + textPos), static_cast<int>(length));
        }
    }
    return textPos + static_cast<int>(length);
}
