#include "engine/NoteList.h"

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

// A field of each note, in ascending note order.
V Field(const NoteList& list, int NoteRecord::*field)
{
    V values;
    for (int n = 0; n < NoteList::kNoteCount; ++n)
        if (const NoteRecord* r = list.Find(n)) values.push_back(r->*field);
    return values;
}

void AddAll(NoteList& list, std::initializer_list<int> notes, int velocity = 100)
{
    for (int n : notes)
        ASSERT_NE(list.Add(n, velocity, false), nullptr) << n;
}
} // namespace

TEST(NoteListAdd, KeepsAscendingOrderAndCountsPlayedSequence)
{
    NoteList list;
    AddAll(list, {64, 60, 67});
    EXPECT_EQ(Notes(list), (V{60, 64, 67}));
    EXPECT_EQ(Field(list, &NoteRecord::playedSequence), (V{1, 0, 2}));
}

TEST(NoteListAdd, RefusesBadNotesAndFullLists)
{
    NoteList list;
    for (int bad : {-1, -7, 128, 1000})
        EXPECT_EQ(list.Add(bad, 100, false), nullptr) << bad;
    EXPECT_TRUE(list.IsEmpty());

    NoteList chord(NoteList::kChordLimit);
    for (int i = 0; i < 8; ++i)
        chord.Add(i * 2, 0, false);
    EXPECT_EQ(chord.Add(30, 0, false), nullptr);
    EXPECT_EQ(chord.Count(), 8);

    for (int n = 0; n < 127; ++n)
        ASSERT_NE(list.Add(n, 1, false), nullptr) << n;
    EXPECT_EQ(list.Add(127, 1, false), nullptr); // never a 128th note
    EXPECT_EQ(list.Count(), 127);
}

TEST(NoteListAdd, PresentNoteTakesVelocityAndReleasedNoteIsTakenBack)
{
    NoteList list;
    AddAll(list, {60, 62, 64});
    EXPECT_EQ(list.Add(62, 33, false), nullptr);
    EXPECT_EQ(list.Find(62)->velocity, 33);
    EXPECT_EQ(list.Count(), 3);

    list.Find(60)->released = true;
    EXPECT_EQ(list.Add(60, 70, true), nullptr);
    EXPECT_TRUE(list.Find(60)->released);
    EXPECT_EQ(list.Add(60, 90, false), nullptr);
    EXPECT_FALSE(list.Find(60)->released);
    // The later notes of its octave move down one place; it becomes the last.
    EXPECT_EQ(Field(list, &NoteRecord::playedSequence), (V{2, 0, 1}));
}

TEST(NoteListRemove, RenumbersPlayedSequencesToListPositions)
{
    NoteList list;
    AddAll(list, {67, 60, 64});
    EXPECT_TRUE(list.Remove(60));
    EXPECT_EQ(Notes(list), (V{64, 67}));
    EXPECT_EQ(Field(list, &NoteRecord::playedSequence), (V{0, 1}));
    EXPECT_FALSE(list.Remove(61));
    EXPECT_FALSE(list.Remove(-1));
    EXPECT_FALSE(list.Remove(128));
    EXPECT_EQ(list.Count(), 2);
}

TEST(NoteListRemove, RemoveReleasedKeepsHeldKeys)
{
    NoteList list;
    AddAll(list, {60, 67});
    list.Add(64, 100, true);
    list.Find(60)->released = true;
    list.RemoveReleased();
    EXPECT_EQ(Notes(list), (V{67}));
    EXPECT_EQ(list.Find(67)->playedSequence, 0);
}

TEST(NoteListOrder, FourSortModes)
{
    NoteList list;
    AddAll(list, {64, 60, 67}); // positions below are for 60, 64, 67
    list.ComputeOrder(0);
    EXPECT_EQ(Field(list, &NoteRecord::orderPosition), (V{0, 1, 2}));
    list.ComputeOrder(1);
    EXPECT_EQ(Field(list, &NoteRecord::orderPosition), (V{2, 1, 0}));
    EXPECT_EQ(list.FindByOrderPosition(0)->note, 67);
    EXPECT_EQ(list.HighestOrderPosition(), 2);
    list.ComputeOrder(7); // unknown mode: positions stay
    EXPECT_EQ(Field(list, &NoteRecord::orderPosition), (V{2, 1, 0}));
    list.ComputeOrder(2);
    EXPECT_EQ(Field(list, &NoteRecord::orderPosition), (V{1, 0, 2}));
    list.ComputeOrder(3);
    EXPECT_EQ(Field(list, &NoteRecord::orderPosition), (V{1, 2, 0}));
}

TEST(NoteListOrder, FirstLastAndAverageVelocities)
{
    NoteList list;
    list.Add(60, 100, false);
    list.Add(64, 50, false);
    list.Add(40, 21, false); // lowest octave (36..47)
    list.Add(75, 30, false); // highest octave (72..83): 75, then 72
    list.Add(72, 10, false);
    list.ComputeOrder(0);
    EXPECT_EQ(list.AverageVelocity(), 42); // 211 / 5, truncated
    // The latest-played note of the highest octave, and of the lowest octave.
    EXPECT_EQ(list.FirstVelocity(), 10);
    EXPECT_EQ(list.LastVelocity(), 21);
}

TEST(NoteListMoveNote, MovesKeepsListPlaceAndMerges)
{
    NoteList chord(NoteList::kChordLimit);
    AddAll(chord, {0, 4, 7});
    EXPECT_TRUE(chord.MoveNote(chord.Find(0), 12, 35));
    EXPECT_EQ(Notes(chord), (V{12, 4, 7}));
    EXPECT_FALSE(chord.Contains(0));
    EXPECT_TRUE(chord.MoveNote(chord.Find(4), 8, 35)); // onto 12: merge
    EXPECT_EQ(Notes(chord), (V{12, 7}));
}

TEST(NoteListMoveNote, RefusesLeavingRangeOrForeignRecord)
{
    NoteList list;
    NoteList other;
    list.Add(30, 0, false);
    other.Add(10, 0, false);
    EXPECT_FALSE(list.MoveNote(list.Find(30), 6, 35));
    EXPECT_FALSE(list.MoveNote(list.Find(30), -31, 35));
    EXPECT_FALSE(list.MoveNote(other.Find(10), 1, 35));
    EXPECT_EQ(Notes(list), (V{30}));
}

TEST(NoteListCopyTo, ReplacesDestinationWithinItsLimit)
{
    NoteList source;
    source.SetRootNote(5);
    for (int n = 9; n >= 0; --n)
        source.Add(n, 99, false);
    NoteList chord(NoteList::kChordLimit);
    chord.Add(100, 50, false);

    source.CopyTo(chord);
    EXPECT_EQ(Notes(chord), (V{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(chord.RootNote(), 5);
    EXPECT_EQ(chord.Find(3)->velocity, 0);
    source.CopyTo(source);
    EXPECT_EQ(source.Count(), 10);
}
