// ControlBitSet: a set of control list indices kept as one bit per index, walked in ascending
// order. The editor object keeps two: the controls that may need painting (dirty, a second paint
// pending, or polled at every tick) and the controls that are shown. A walk asks for the next
// member from a position on each step, so members added or removed behind the walk's position
// while it runs are seen exactly as a walk over the whole control list would see them.
//
// Threads: the editor's thread only. Copyable (a plain value).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

class ControlBitSet
{
public:
    // Room for indices 0..count-1; every bit clear.
    void Reset(int count)
    {
        words_.assign(WordsFor(count), 0);
        summary_.assign(SummaryFor(words_.size()), 0);
        count_ = count < 0 ? 0 : count;
    }
    // Grows to hold indices 0..count-1, keeping the members.
    void Grow(int count)
    {
        if (count <= count_) return;
        words_.resize(WordsFor(count), 0);
        summary_.resize(SummaryFor(words_.size()), 0);
        count_ = count;
    }
    int Capacity() const { return count_; }

    // Indices outside 0..Capacity()-1 are ignored (Set, Clear) or absent (Has).
    void Set(int i)
    {
        if (!InRange(i)) return;
        words_[Word(i)] |= Bit(i);
        summary_[Word(i) / 64] |= uint64_t{1} << (Word(i) & 63u);
    }
    void Clear(int i)
    {
        if (!InRange(i)) return;
        uint64_t& word = words_[Word(i)];
        word &= ~Bit(i);
        if (word == 0) summary_[Word(i) / 64] &= ~(uint64_t{1} << (Word(i) & 63u));
    }
    bool Has(int i) const { return InRange(i) && (words_[Word(i)] & Bit(i)) != 0; }

    // The smallest member >= from, or -1 when there is none. The summary (one bit per word that
    // holds a member) lets a walk over a few members among tens of thousands of indices skip the
    // empty words without reading them.
    int NextFrom(int from) const
    {
        if (from < 0) from = 0;
        if (from >= count_) return -1;
        size_t w = Word(from);
        const uint64_t bits = words_[w] & (~uint64_t{0} << (static_cast<unsigned>(from) & 63u));
        if (bits != 0) return static_cast<int>(w * 64 + static_cast<size_t>(std::countr_zero(bits)));
        // The next word that holds a member, from the summary.
        ++w;
        size_t s = w / 64;
        if (s >= summary_.size()) return -1;
        uint64_t marks = summary_[s] & (~uint64_t{0} << (w & 63u));
        while (marks == 0)
        {
            if (++s >= summary_.size()) return -1;
            marks = summary_[s];
        }
        w = s * 64 + static_cast<size_t>(std::countr_zero(marks));
        return static_cast<int>(w * 64 + static_cast<size_t>(std::countr_zero(words_[w])));
    }

    int Count() const
    {
        int n = 0;
        for (uint64_t word : words_)
            n += std::popcount(word);
        return n;
    }

private:
    static size_t WordsFor(int count) { return count <= 0 ? 0 : (static_cast<size_t>(count) + 63) / 64; }
    static size_t SummaryFor(size_t words) { return (words + 63) / 64; }
    static size_t Word(int i) { return static_cast<size_t>(i) / 64; }
    static uint64_t Bit(int i) { return uint64_t{1} << (static_cast<unsigned>(i) & 63u); }
    bool InRange(int i) const { return i >= 0 && i < count_; }

    std::vector<uint64_t> words_;
    std::vector<uint64_t> summary_; // bit w: words_[w] is not zero
    int count_ = 0;
};
