// The shared records: rectangles, colours, blend methods, strips and key codes.
#include <gtest/gtest.h>

#include "gui/BlendMethod.h"
#include "gui/IBitmapStrip.h"
#include "gui/IColorARGB.h"
#include "gui/IKeyCode.h"
#include "gui/IRectangle.h"

TEST(IRectangle, EmptinessAndExclusiveEdges)
{
    EXPECT_TRUE(IRectangle().IsEmpty());
    EXPECT_FALSE(IRectangle(5, 5, 5, 5).IsEmpty()); // zero area, but not the empty rectangle
    const IRectangle r(10, 20, 30, 25);
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(29, 24));
    EXPECT_FALSE(r.Contains(30, 24));
    EXPECT_FALSE(r.Contains(29, 25));
}

TEST(IRectangle, UnionTreatsTheEmptyRectangleAsAbsent)
{
    const IRectangle a(10, 20, 30, 40);
    EXPECT_EQ(a.Union(IRectangle()), a);
    EXPECT_EQ(IRectangle().Union(a), a);
    EXPECT_EQ(a.Union({50, 5, 60, 25}), IRectangle(10, 5, 60, 40));
    // The off-screen rectangle of an invisible control is not empty and widens the union.
    EXPECT_EQ(IRectangle(-1, -1, -1, -1).Union(a), IRectangle(-1, -1, 30, 40));
}

TEST(IRectangle, MeetingCountsTouchingTheClipsLeftAndTopFromOutside)
{
    const IRectangle clip(100, 100, 200, 200);
    const IRectangle leftOf(50, 120, 100, 130); // ends on the clip's left edge
    EXPECT_TRUE(leftOf.Meets(clip));
    EXPECT_EQ(leftOf.Intersect(clip), IRectangle(100, 120, 100, 130));
    EXPECT_TRUE(IRectangle(120, 50, 130, 100).Meets(clip));
    EXPECT_FALSE(IRectangle(200, 120, 250, 130).Meets(clip)); // starts on the right edge
    EXPECT_FALSE(IRectangle(120, 200, 130, 250).Meets(clip));
    EXPECT_EQ(IRectangle(200, 120, 250, 130).Intersect(clip), IRectangle());
    EXPECT_EQ(IRectangle(150, 90, 260, 150).Intersect(clip), IRectangle(150, 100, 200, 150));
    EXPECT_FALSE(clip.Meets(IRectangle()));
}

TEST(SharedRecords, ColourWordsBlendModesFramesAndKeys)
{
    EXPECT_EQ(IColorARGB(250, 62, 89, 124).ToWord(), 0xFA3E597Cu);
    EXPECT_EQ(IColorARGB().ToWord(), 0xFF000000u);
    EXPECT_EQ(IColorARGB(0, 0, 256, 0).ToWord(), 0u); // a stray channel stays in its own byte

    EXPECT_EQ(IBlendSpec(0, 1.0f).RasterMode(), 0x10000u);
    EXPECT_EQ(IBlendSpec(1, 1.0f).RasterMode(), 0x0u);
    EXPECT_EQ(IBlendSpec(2, 1.0f).RasterMode(), 0x10001u);
    EXPECT_EQ(IBlendSpec(3, 1.0f).RasterMode(), 0x10002u);
    EXPECT_EQ(IBlendSpec(7, 1.0f).RasterMode(), 0x10000u);

    IBlendSpec none;
    EXPECT_EQ(none.method, 0);
    EXPECT_EQ(none.weight, 1.0f);

    IBitmapStrip strip{nullptr, 27, 270, 30, false};
    EXPECT_EQ(strip.FrameHeight(), 9);
    EXPECT_EQ(strip.FrameWidth(), 27);
    strip = {nullptr, 100, 9, 3, true};
    EXPECT_EQ(strip.FrameWidth(), 33);
    strip.frames = 0; // a broken frame count must not divide by zero
    EXPECT_EQ(strip.FrameWidth(), 100);

    EXPECT_EQ(KeyCodeForCharacter(' '), 0);
    EXPECT_EQ(KeyCodeForCharacter('9'), 14);
    EXPECT_EQ(KeyCodeForCharacter('A'), 15);
    EXPECT_EQ(KeyCodeForCharacter('p'), 30);
    EXPECT_EQ(KeyCodeForCharacter('Z'), 40);
    EXPECT_EQ(KeyCodeForCharacter('-'), -1);
}
