// PtrList<T>: a list of pointers kept in a HeapBuffer (used size = 8 x count). The list does not
// own what it points to; owners that do call DeleteAll before the list goes away.
// Not thread-safe. Non-copyable.
#pragma once

#include <cstring>

#include "framework/HeapBuffer.h"

template <class T> class PtrList
{
public:
    explicit PtrList(int granularity = 128) : buffer_(granularity) {}
    PtrList(const PtrList&) = delete;
    PtrList& operator=(const PtrList&) = delete;

    int Count() const { return buffer_.Size() / static_cast<int>(sizeof(T*)); }

    // The pointer at i; null when i is outside 0..Count()-1.
    T* Get(int i) const
    {
        if (i < 0 || i >= Count()) return nullptr;
        return Slots()[i];
    }

    // Makes room for count pointers in one allocation of exactly that size when the list grows
    // next (a list whose final size is known carries no unused room).
    void Reserve(int count)
    {
        if (count > 0) buffer_.SetMinimumAllocation(count * static_cast<int>(sizeof(T*)));
    }

    // Appends p; returns p, or null (and the list unchanged) when growing failed.
    T* Add(T* p)
    {
        const int count = Count();
        buffer_.SetSize((count + 1) * static_cast<int>(sizeof(T*)), false);
        if (Count() != count + 1) return nullptr;
        Slots()[count] = p;
        return p;
    }

    // Inserts p at index (clamped to 0..Count()); the pointers from index on move up one place.
    // Returns p, or null (and the list unchanged) when growing failed.
    T* InsertAt(int index, T* p)
    {
        const int count = Count();
        buffer_.SetSize((count + 1) * static_cast<int>(sizeof(T*)), false);
        if (Count() != count + 1) return nullptr;
        if (index < 0) index = 0;
        if (index > count) index = count;
        T** slots = Slots();
        std::memmove(slots + index + 1, slots + index, static_cast<size_t>(count - index) * sizeof(T*));
        slots[index] = p;
        return p;
    }

    // Replaces the pointer at i (ignored outside the list).
    void Set(int i, T* p)
    {
        if (i >= 0 && i < Count()) Slots()[i] = p;
    }

    // Removes entry i (ignored outside the list) without deleting what it points to.
    void RemoveAt(int i)
    {
        const int count = Count();
        if (i < 0 || i >= count) return;
        T** slots = Slots();
        std::memmove(slots + i, slots + i + 1, static_cast<size_t>(count - i - 1) * sizeof(T*));
        buffer_.SetSize((count - 1) * static_cast<int>(sizeof(T*)), false);
    }

    // Index of p, or -1.
    int Find(const T* p) const
    {
        for (int i = 0; i < Count(); ++i)
        {
            if (Slots()[i] == p) return i;
        }
        return -1;
    }

    // Empties the list (the records are not deleted).
    void Clear() { buffer_.SetSize(0, true); }

    // Deletes every record, from the last to the first, and empties the list.
    void DeleteAll()
    {
        for (int i = Count() - 1; i >= 0; --i)
        {
            T* p = Slots()[i];
            buffer_.SetSize(i * static_cast<int>(sizeof(T*)), false);
            delete p;
        }
        buffer_.SetSize(0, true);
    }

private:
    T** Slots() const { return static_cast<T**>(buffer_.Data()); }
    HeapBuffer buffer_;
};
