// IStateChunk: serialised state bytes (granularity 4096) with appends at the end and reads at a
// caller-held position.
//
// Wire rules: numbers in little-endian byte order (the machine's); a text is a 32-bit length and
// that many bytes without terminator. A read position of -1 means an earlier read ran past the
// end; every read at -1 fails again, so a reader can chain reads and test once at the end.
// Bounds are checked in 64-bit arithmetic: no length or position from the data can make a read
// leave the chunk.
//
// Not thread-safe; callers hold the plug lock. Non-copyable.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "framework/HeapBuffer.h"
#include "framework/IString.h"

static_assert(std::endian::native == std::endian::little, "state chunks are stored little-endian");

class IStateChunk
{
public:
    static constexpr int kGranularity = 4096;

    IStateChunk() : buffer_(kGranularity) {}
    IStateChunk(const IStateChunk&) = delete;
    IStateChunk& operator=(const IStateChunk&) = delete;

    int Size() const { return buffer_.Size(); }
    // The bytes; null while the chunk is empty.
    const uint8_t* Data() const { return static_cast<const uint8_t*>(buffer_.Data()); }
    uint8_t* MutableData() { return static_cast<uint8_t*>(buffer_.Data()); }
    int Allocated() const { return buffer_.Allocated(); }

    // Empties the chunk (memory may be given back).
    void Clear() { buffer_.SetSize(0, true); }

    // Appends a value's bytes (double, uint32_t, int32_t, uint8_t ...). Returns the new size; on an
    // allocation failure nothing is written and the size is unchanged.
    template <class T> int Put(const T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        return PutBytes(&value, static_cast<int>(sizeof(T)));
    }
    int PutBytes(const void* bytes, int count);

    // Appends the text's length (u32) and its bytes without terminator; null counts as "".
    int AppendString(const char* text);
    // Appends every byte of another chunk (which may be this one).
    int AppendChunk(const IStateChunk& other);

    // Sets the size to n; bytes beyond the old size are zero. Returns the old size. On failure
    // (allocation, n < 0) the size stays the old size.
    int SetSizeZeroFilled(int n);

    // Reads a value at pos. Returns pos + sizeof(T), or -1 (value untouched) when pos is -1 or the
    // value does not lie wholly inside the chunk.
    template <class T> int Get(T* value, int pos) const
    {
        static_assert(std::is_trivially_copyable_v<T>);
        return GetBytes(value, static_cast<int>(sizeof(T)), pos);
    }
    int GetBytes(void* out, int count, int pos) const;

    // Reads a text (u32 length, bytes) at pos into out. Returns the position behind it, or -1
    // (out untouched) when the length cannot be read or the text runs past the end. A stored zero
    // byte ends the text early (the bytes are still consumed).
    int GetString(IString* out, int pos) const;

    // Exchanges contents with another chunk (no copying).
    void Swap(IStateChunk& other) { buffer_.Swap(other.buffer_); }

private:
    HeapBuffer buffer_;
};
