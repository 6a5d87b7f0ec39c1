#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/HeapBuffer.h"
#include "framework/IStateChunk.h"
#include "framework/IString.h"
#include "framework/PtrList.h"

TEST(HeapBuffer, GrowthRule)
{
    HeapBuffer buffer(128);
    EXPECT_EQ(buffer.Data(), nullptr);
    buffer.SetSize(10);
    EXPECT_EQ(buffer.Allocated(), 10 + 128); // step = max(5, 128)
    buffer.SetSize(1000);
    EXPECT_EQ(buffer.Allocated(), 1000 + 500);
    buffer.SetSize(1200); // fits: no reallocation
    EXPECT_EQ(buffer.Allocated(), 1500);
    EXPECT_EQ(buffer.SetSize(-1), buffer.Data()); // refused, size kept
    EXPECT_EQ(buffer.Size(), 1200);
    // ((n + 96 + step) & ~4095) - 96 with step = max(n/2, 4096) rounded down to 4096, at most 4 MiB.
    EXPECT_EQ(HeapBuffer::AllocationFor(8, 4096, 0), 4000);
    EXPECT_EQ(HeapBuffer::AllocationFor(5000, 4096, 0), 8096);
    EXPECT_EQ(HeapBuffer::AllocationFor(20000, 4096, 0), 24480);
    EXPECT_EQ(HeapBuffer::AllocationFor(10000000, 4096, 0), 14192544);
    EXPECT_EQ(HeapBuffer::AllocationFor(8, 4096, 50000), 50000); // the minimum wins
}

TEST(HeapBuffer, StateChunkGrowingOneDoubleAtATimeStaysOnPageRule)
{
    IStateChunk chunk;
    for (int i = 0; i < 20000; ++i)
    {
        chunk.Put(static_cast<double>(i));
        ASSERT_EQ((chunk.Allocated() + 96) % 4096, 0) << "at " << i;
    }
    double last = 0;
    EXPECT_EQ(chunk.Get(&last, chunk.Size() - 8), chunk.Size());
    EXPECT_EQ(last, 19999.0);
}

TEST(HeapBuffer, ShrinkGivesBackOnlyWhenMuchSmaller)
{
    HeapBuffer big(128);
    big.SetSize(66667); // 66667 + 33333
    ASSERT_EQ(big.Allocated(), 100000);
    big.SetSize(60000, true); // not below half of the allocation
    EXPECT_EQ(big.Allocated(), 100000);
    big.SetSize(10, true);
    EXPECT_EQ(big.Allocated(), 10 + 128);

    HeapBuffer kept(128);
    kept.SetSize(66667);
    std::memcpy(kept.Data(), "hello", 6);
    kept.SetSize(10, false);
    EXPECT_EQ(kept.Allocated(), 100000);
    EXPECT_STREQ(static_cast<char*>(kept.Data()), "hello");
    kept.SetSize(0, false);
    EXPECT_EQ(kept.Data(), nullptr); // null while nothing is used, though a block is held
}

namespace
{
struct Tracked
{
    Tracked(int i, std::vector<int>* log) : id(i), deleted(log) {}
    ~Tracked() { deleted->push_back(id); }
    int id;
    std::vector<int>* deleted;
};
} // namespace

TEST(PtrList, AccessInsertAndDelete)
{
    PtrList<int> list;
    int a = 1, b = 2, c = 3, d = 4, e = 5;
    EXPECT_EQ(list.Get(0), nullptr);
    EXPECT_EQ(list.Add(&a), &a);
    list.Add(&b);
    list.Add(&c);
    EXPECT_EQ(list.Get(-1), nullptr);
    EXPECT_EQ(list.Get(3), nullptr);
    EXPECT_EQ(list.InsertAt(99, &d), &d); // appends
    list.InsertAt(-5, &e);                // at the front
    const int* expected[] = {&e, &a, &b, &c, &d};
    ASSERT_EQ(list.Count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.Get(i), expected[i]);

    std::vector<int> deleted;
    PtrList<Tracked> owned;
    for (int i = 0; i < 4; ++i)
        owned.Add(new Tracked(i, &deleted));
    owned.DeleteAll();
    EXPECT_EQ(deleted, (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(owned.Count(), 0);
}

TEST(IString, SetRules)
{
    IString text(4);
    ASSERT_NE(text.Get(), nullptr);
    EXPECT_STREQ(text.Get(), "");
    text.Set("abcdef", 3);
    EXPECT_STREQ(text.Get(), "abc");
    text.Set("ab", 3);
    EXPECT_STREQ(text.Get(), "ab");
    const char unterminated[4] = {'w', 'x', 'y', 'z'};
    text.Set(unterminated, 4); // reads nothing beyond maxLength
    EXPECT_STREQ(text.Get(), "wxyz");
    text.Set(nullptr);
    EXPECT_STREQ(text.Get(), "");
    // The source may lie inside the string itself.
    text.Set("hello world");
    text.Set(text.Get());
    EXPECT_STREQ(text.Get(), "hello world");
    text.Set(text.Get() + 6);
    EXPECT_STREQ(text.Get(), "world");
    text.Set(text.Get() + 1, 2);
    EXPECT_STREQ(text.Get(), "or");
}

TEST(IStateChunk, ValuesAreLittleEndianAndReadBack)
{
    IStateChunk chunk;
    chunk.Put<uint32_t>(0x01020304u);
    chunk.Put<int32_t>(-2);
    chunk.Put<uint8_t>(0xAB);
    chunk.Put(1.5);
    ASSERT_EQ(chunk.Size(), 17);
    const uint8_t expectedStart[] = {4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 0xAB};
    EXPECT_EQ(std::memcmp(chunk.Data(), expectedStart, sizeof expectedStart), 0);
    uint32_t u = 0;
    int32_t i = 0;
    uint8_t b = 0;
    double d = 0;
    int pos = chunk.Get(&d, chunk.Get(&b, chunk.Get(&i, chunk.Get(&u, 0))));
    EXPECT_EQ(pos, chunk.Size()); // exactly the last 8 bytes
    EXPECT_EQ(u, 0x01020304u);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(d, 1.5);
    // Reads past the end give -1, which sticks, and leave the value alone.
    double value = 42.0;
    EXPECT_EQ(chunk.Get(&value, chunk.Size() - 4), -1);
    EXPECT_EQ(chunk.Get(&value, -1), -1);
    EXPECT_EQ(chunk.Get(&b, chunk.Size()), -1);
    EXPECT_EQ(value, 42.0);
}

TEST(IStateChunk, Texts)
{
    IStateChunk chunk;
    EXPECT_EQ(chunk.AppendString(""), 4);
    EXPECT_EQ(chunk.AppendString("abc"), 11);
    const uint8_t expected[] = {0, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'};
    ASSERT_EQ(std::memcmp(chunk.Data(), expected, sizeof expected), 0);
    IString text;
    text.Set("old");
    EXPECT_EQ(chunk.GetString(&text, 0), 4);
    EXPECT_STREQ(text.Get(), "");
    EXPECT_EQ(chunk.GetString(&text, 4), 11);
    EXPECT_STREQ(text.Get(), "abc");
    // Lengths that run past the end, also ones that would wrap 32-bit arithmetic.
    for (uint32_t length : {5u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu})
    {
        IStateChunk bad;
        bad.Put(length);
        bad.PutBytes("abcd", 4);
        text.Set("kept");
        EXPECT_EQ(bad.GetString(&text, 0), -1) << length;
        EXPECT_STREQ(text.Get(), "kept");
    }
}

TEST(IStateChunk, AppendChunkAndZeroFill)
{
    IStateChunk a;
    IStateChunk b;
    a.Put<uint8_t>(1);
    b.Put<uint8_t>(2);
    b.Put<uint8_t>(3);
    EXPECT_EQ(a.AppendChunk(b), 3);
    EXPECT_EQ(a.AppendChunk(a), 6);
    const uint8_t expected[] = {1, 2, 3, 1, 2, 3};
    EXPECT_EQ(std::memcmp(a.Data(), expected, 6), 0);
    EXPECT_EQ(a.SetSizeZeroFilled(10), 6);
    EXPECT_EQ(a.Data()[9], 0);
    EXPECT_EQ(a.Data()[5], 3);
}
