// The chord-memory keyboard: keys toggle the notes of the shown slot, the strip under them sets
// the root, a drag only moves the root, and the slot follows the chord-memory selection control.
#include <gtest/gtest.h>

#include "engine/ChordMemory.h"
#include "gui/IRadioButtonsControl.h"
#include "tests/views/ViewsEditorSupport.h"
#include "views/IKeyboardControl.h"

using namespace quova::views_test;

namespace
{

constexpr IRectangle kKeys(20, 100, 20 + 576, 145);
constexpr IColorARGB kKeyOn(215, 106, 166, 236);
int KeyX(int key)
{
    return 20 + 16 * key + 8;
}

class Keyboard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        chords = rig.engine->GetChordMemory();
        keys = rig.Add(new IKeyboardControl(chords, rig.plug.get(), kKeys,
                                            rig.Strip(kRootMarkerId, "images/root.png", 2)));
        ASSERT_NE(rig.Open(), nullptr);
    }
    Rig rig;
    ChordMemory* chords = nullptr;
    IKeyboardControl* keys = nullptr;
};

TEST_F(Keyboard, ClickOnAKeyAddsItsNoteAndASecondClickRemovesIt)
{
    rig.driver.Click(rig.window, KeyX(7), 110);
    EXPECT_TRUE(chords->SlotHasNote(0, 7));
    EXPECT_EQ(chords->GetSlot(0)->Chord().Count(), 1);
    rig.driver.Click(rig.window, KeyX(7), 110);
    EXPECT_FALSE(chords->SlotHasNote(0, 7));
    rig.driver.Click(rig.window, KeyX(35), 100);
    EXPECT_TRUE(chords->SlotHasNote(0, 35));
}

TEST_F(Keyboard, ClickUnderAKeySetsTheRootAndTheMarkerFollows)
{
    rig.driver.Click(rig.window, KeyX(4), 100 + 34);
    EXPECT_EQ(chords->GetSlot(0)->Chord().RootNote(), 4);
    EXPECT_EQ(chords->GetSlot(0)->Chord().Count(), 0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(KeyX(4), 100 + 36), Rgb(kRootColour));
    EXPECT_EQ(rig.Shown(KeyX(12), 100 + 36), Rgb(kBackground)); // the default root 12 moved away
    // The column reaches downward past the strip.
    rig.driver.Click(rig.window, KeyX(9), 100 + 44);
    EXPECT_EQ(chords->GetSlot(0)->Chord().RootNote(), 9);
}

TEST_F(Keyboard, DraggingAcrossKeysOnlyMovesTheRoot)
{
    rig.driver.Drag(rig.window, KeyX(2), 110, KeyX(10), 110, 8);
    // The press toggled key 2; the drag over the other keys changed nothing.
    EXPECT_EQ(chords->GetSlot(0)->Chord().Count(), 1);
    EXPECT_TRUE(chords->SlotHasNote(0, 2));
    rig.driver.Drag(rig.window, KeyX(2), 136, KeyX(10), 136, 8);
    EXPECT_EQ(chords->GetSlot(0)->Chord().RootNote(), 10);
    EXPECT_EQ(chords->GetSlot(0)->Chord().Count(), 1);
}

TEST_F(Keyboard, HeldNotesAreDrawnAsFilledKeys)
{
    chords->SetSlotNote(0, 3, true);
    keys->SetValueByUser(keys->GetValue()); // no change: the paint comes from the tick below
    rig.editor->MarkAllControlsChanged();
    rig.Tick();
    EXPECT_EQ(rig.Shown(KeyX(3), 115), Blended(kBackground, kKeyOn));
    EXPECT_EQ(rig.Shown(20 + 16 * 3, 115), 0x000000u); // outline
    EXPECT_EQ(rig.Shown(KeyX(4), 115), Rgb(kBackground));
}

TEST_F(Keyboard, FollowsTheChordMemorySelectionControl)
{
    auto* selection = rig.Add(new IRadioButtonsControl(
        rig.plug.get(), IRectangle(20, 10, 20 + 16 * 10, 20), kChordSlot, 16,
        rig.Strip(kButtonStripId, "images/button.png", 2), IRadioButtonsControl::kHorizontal));
    selection->SetTag(1, IKeyboardControl::kSelectionTag);
    selection->AttachObserver(keys);
    rig.driver.Click(rig.window, selection->GetButtonRect(5).left + 2, 15);
    rig.Tick();
    EXPECT_EQ(keys->GetShownSlot(), 5);
    EXPECT_EQ(chords->CurrentSlot(), 5);
    rig.driver.Click(rig.window, KeyX(0), 110);
    EXPECT_TRUE(chords->SlotHasNote(5, 0));
    EXPECT_FALSE(chords->SlotHasNote(0, 0));

    keys->ShowSlot(16); // no such slot
    EXPECT_EQ(keys->GetShownSlot(), 5);
}

} // namespace
