#include "graphics/MemoryBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(MemoryBitmap, EmptySizes)
{
    MemoryBitmap none(0, 0, 4);
    EXPECT_EQ(none.Pixels(), nullptr);
    MemoryBitmap thin(0, 5, 4);
    EXPECT_EQ(thin.Pixels(), nullptr);
    EXPECT_EQ(thin.Width(), 0);
    EXPECT_EQ(thin.Height(), 0);
    // Negative sides would give a positive byte count; they stay empty.
    MemoryBitmap negative(-4, -4, 4);
    EXPECT_EQ(negative.Pixels(), nullptr);
    EXPECT_EQ(negative.Width(), 0);
}

TEST(MemoryBitmap, SizeArithmeticDoesNotWrap)
{
    // 65536 x 16385 x 4 wraps to 262144 in 32 bits; it must fail cleanly.
    MemoryBitmap huge(65536, 16385, 4);
    EXPECT_EQ(huge.Pixels(), nullptr);
    EXPECT_EQ(huge.Width(), 0);
    EXPECT_EQ(huge.Height(), 0);
    MemoryBitmap grown(4, 4, 4);
    EXPECT_TRUE(grown.SetSize(65536, 16385));
    EXPECT_EQ(grown.Pixels(), nullptr);
    EXPECT_EQ(grown.Width(), 0);
}

TEST(MemoryBitmap, RowSpanFollowsLineAlignment)
{
    EXPECT_EQ(MemoryBitmap(5, 2, 4).RowSpan(), 8);
    EXPECT_EQ(MemoryBitmap(5, 2, 1).RowSpan(), 5);
    EXPECT_EQ(MemoryBitmap(5, 2, 0).RowSpan(), 5);
    EXPECT_EQ(MemoryBitmap(5, 2, 16).RowSpan(), 16);
    EXPECT_EQ(MemoryBitmap(17, 2, 16).RowSpan(), 32);
    EXPECT_EQ(MemoryBitmap(5, 2, 64).RowSpan(), 16);
    // The lowest set bit counts: 12 aligns like 4.
    EXPECT_EQ(MemoryBitmap(5, 2, 12).RowSpan(), 8);
}

TEST(MemoryBitmap, StorageIsAlignedAndReused)
{
    MemoryBitmap bitmap(9, 7, 4);
    ASSERT_NE(bitmap.Pixels(), nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bitmap.Pixels()) % 64, 0u);
    EXPECT_EQ(bitmap.Allocated(), 12 * 7 * 4);
    bitmap.Pixels()[0] = 0xDEADBEEF;
    EXPECT_FALSE(bitmap.SetSize(9, 7));
    EXPECT_EQ(bitmap.Pixels()[0], 0xDEADBEEFu);

    RasterPixel* block = bitmap.Pixels();
    EXPECT_TRUE(bitmap.SetSize(3, 2));
    EXPECT_EQ(bitmap.Pixels(), block);
    EXPECT_EQ(bitmap.Pixels()[0], 0xDEADBEEFu);
    EXPECT_EQ(bitmap.Allocated(), 12 * 7 * 4);

    // Growing reserves a quarter more than asked.
    EXPECT_TRUE(bitmap.SetSize(20, 20));
    EXPECT_EQ(bitmap.Allocated(), 20 * 20 * 4 + 20 * 20 * 4 / 4);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bitmap.Pixels()) % 64, 0u);
    EXPECT_EQ(bitmap.Width(), 20);

    EXPECT_TRUE(bitmap.SetSize(0, 0));
    EXPECT_EQ(bitmap.Pixels(), nullptr);
    EXPECT_EQ(bitmap.Allocated(), 0);
}
