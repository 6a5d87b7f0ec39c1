#include "engine/ChordMemory.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using V = std::vector<int>;

V Notes(const NoteList& list)
{
    V notes;
    for (const NoteRecord* r : list.Ordered())
        notes.push_back(r->note);
    return notes;
}

V CurrentChord(ChordMemory& memory)
{
    return Notes(memory.GetSlot(memory.CurrentSlot())->Chord());
}

void SetChord(ChordMemory& memory, int slot, std::initializer_list<int> notes)
{
    for (int n : notes)
        ASSERT_TRUE(memory.SetSlotNote(slot, n, true));
}
} // namespace

TEST(ChordMemory, RefusesSlotsOutsideZeroToFifteen)
{
    ChordMemory memory;
    EXPECT_NE(memory.GetSlot(15), nullptr);
    for (int slot : {-1, 16, 1000, -100000})
    {
        EXPECT_EQ(memory.GetSlot(slot), nullptr);
        EXPECT_FALSE(memory.SetSlotNote(slot, 3, true));
        EXPECT_FALSE(memory.SetSlotNote(slot, 3, false));
        EXPECT_FALSE(memory.SlotHasNote(slot, 3));
        EXPECT_FALSE(memory.SetSlotRootNote(slot, 3));
        EXPECT_FALSE(memory.ClearSlot(slot));
        EXPECT_FALSE(memory.SetCurrentSlot(slot));
    }
    EXPECT_EQ(memory.CurrentSlot(), 0);
}

TEST(ChordMemorySlot, MoveToPlacesRootOnPlayedNoteAndDropsNotesOutsideMidi)
{
    ChordMemory memory;
    SetChord(memory, 0, {12, 16, 19});
    NoteRecord played;
    played.note = 60;
    played.velocity = 99;
    NoteList& moved = memory.GetSlot(0)->MoveTo(&played);
    EXPECT_EQ(Notes(moved), (V{60, 64, 67}));
    EXPECT_EQ(moved.Find(64)->velocity, 99);

    SetChord(memory, 1, {0, 12, 35});
    played.note = 5; // 0 - 12 + 5 = -7 is dropped
    EXPECT_EQ(Notes(memory.GetSlot(1)->MoveTo(&played)), (V{5, 28}));
    played.note = 120; // 35 - 12 + 120 = 143 is dropped
    EXPECT_EQ(Notes(memory.GetSlot(1)->MoveTo(&played)), (V{108, 120}));
}

TEST(ChordMemory, ApplyChordFromTable)
{
    ChordMemory memory;
    memory.AddChordTableEntry({"Major", {0, 12, 16, 19, 24}});
    memory.AddChordTableEntry({"Wide", {0, 2, 4, 5, 7, 9, 11, 12, 14, 16}});
    memory.SetCurrentSlot(4);
    memory.SetSlotRootNote(4, 3);
    SetChord(memory, 4, {1});

    EXPECT_TRUE(memory.ApplyChordToCurrentSlot(0));
    EXPECT_EQ(CurrentChord(memory), (V{0, 12, 16, 19, 24}));
    EXPECT_EQ(memory.GetSlot(4)->Chord().RootNote(), 12);
    EXPECT_TRUE(memory.ApplyChordToCurrentSlot(1)); // keeps the first eight
    EXPECT_EQ(CurrentChord(memory), (V{0, 2, 4, 5, 7, 9, 11, 12}));
    EXPECT_FALSE(memory.ApplyChordToCurrentSlot(2));
    EXPECT_FALSE(memory.ApplyChordToCurrentSlot(-1));
    EXPECT_EQ(memory.GetSlot(4)->Chord().Count(), 8);
}

TEST(ChordMemory, InvertUpAndDown)
{
    ChordMemory memory;
    SetChord(memory, 0, {12, 16, 19});
    EXPECT_TRUE(memory.InvertCurrentSlot(true));
    EXPECT_EQ(CurrentChord(memory), (V{24, 16, 19}));
    // The next inversion moves the lowest note, wherever it sits in the list.
    EXPECT_TRUE(memory.InvertCurrentSlot(true));
    EXPECT_EQ(CurrentChord(memory), (V{24, 28, 19}));
    EXPECT_TRUE(memory.InvertCurrentSlot(false));
    EXPECT_EQ(CurrentChord(memory), (V{24, 16, 19}));
}

TEST(ChordMemory, InvertStaysOnTheKeyboardAndMerges)
{
    ChordMemory memory;
    SetChord(memory, 0, {24, 28});
    EXPECT_FALSE(memory.InvertCurrentSlot(true)); // 36 would pass 35
    EXPECT_EQ(CurrentChord(memory), (V{24, 28}));
    memory.ClearCurrentSlot();
    SetChord(memory, 0, {0, 12, 24});
    EXPECT_TRUE(memory.InvertCurrentSlot(true)); // 0 up onto 12: merged
    EXPECT_EQ(CurrentChord(memory), (V{12, 24}));
    EXPECT_TRUE(memory.InvertCurrentSlot(false)); // 24 down onto 12: merged
    EXPECT_TRUE(memory.InvertCurrentSlot(false));
    EXPECT_FALSE(memory.InvertCurrentSlot(false)); // -12
    EXPECT_EQ(CurrentChord(memory), (V{0}));
    memory.ClearCurrentSlot();
    EXPECT_FALSE(memory.InvertCurrentSlot(true));
}

TEST(ChordMemory, CopyAndPasteCarryNotesAndRoot)
{
    ChordMemory memory;
    SetChord(memory, 0, {3, 7, 10});
    memory.SetSlotRootNote(0, 3);
    memory.CopyCurrentSlot();
    memory.ClearCurrentSlot();
    EXPECT_TRUE(memory.GetSlot(0)->Chord().IsEmpty());
    EXPECT_EQ(memory.GetSlot(0)->Chord().RootNote(), 3); // clearing keeps the root

    ASSERT_TRUE(memory.SetCurrentSlot(9));
    SetChord(memory, 9, {30});
    memory.PasteIntoCurrentSlot();
    EXPECT_EQ(CurrentChord(memory), (V{3, 7, 10}));
    EXPECT_EQ(memory.GetSlot(9)->Chord().RootNote(), 3);

    memory.ClearAllSlots();
    EXPECT_TRUE(memory.GetSlot(9)->Chord().IsEmpty());
    EXPECT_EQ(memory.GetSlot(9)->Chord().RootNote(), 12);
}
