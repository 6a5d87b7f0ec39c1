// A small demonstration of the engine's data: a chord held in a note list,
// seen in the four sort orders, a chord-memory slot moved onto a played note,
// a lane looper walking its range, and a scale fitting notes.
#include "engine/ChordMemory.h"
#include "engine/EngineVersion.h"
#include "engine/Looper.h"
#include "engine/NoteList.h"
#include "engine/Scale.h"
#include "engine/ScaleTable.h"
#include "engine/SortOrder.h"

#include <cstdio>

namespace
{
void PrintInOrder(const NoteList& list)
{
    for (int position = 0; position < list.Count(); ++position)
        if (const NoteRecord* r = list.FindByOrderPosition(position))
            std::printf(" %d", r->note);
    std::printf("\n");
}
} // namespace

int main()
{
    std::printf("Quova %d.%d.%d engine data\n\n", quova::kVersionMajor, quova::kVersionMinor,
                quova::kVersionPatch);

    NoteList held;
    for (int note : {64, 60, 67, 72}) // E, C, G, C played in this order
        held.Add(note, 100, false);
    std::printf("Held notes played as 64 60 67 72:\n");
    for (int choice = 0; choice < 4; ++choice)
    {
        const quova::SortOrderChoice& order = *quova::GetSortOrder(choice);
        held.ComputeOrder(order.sortMode);
        std::printf("  %-10s", order.text);
        PrintInOrder(held);
    }

    ChordMemory memory;
    memory.AddChordTableEntry({"Minor 7", {0, 10, 12, 15, 19, 22, 24}});
    memory.ApplyChordToCurrentSlot(0);
    NoteRecord played;
    played.note = 57;
    std::printf("\nChord memory \"Minor 7\" (root 12) moved onto note 57:");
    for (const NoteRecord* r : memory.GetSlot(0)->MoveTo(&played).Ordered())
        std::printf(" %d", r->note);
    std::printf("\n");

    std::printf("\nA lane over steps 4..7:\n");
    for (int mode = 0; mode < Looper::kModeCount; ++mode)
    {
        ControlLooper lane;
        lane.SetLoopRange(4, 8);
        lane.SetMode(mode);
        std::printf("  %-9s %d", Looper::ModeName(mode), lane.Position());
        for (int i = 0; i < 9; ++i)
        {
            lane.Advance();
            std::printf(" %d", lane.Position());
        }
        std::printf("\n");
    }

    Scale scale;
    scale.SetScale(4);
    scale.SetBaseNote(9);
    std::printf("\n\"%s\" in A, notes 57..69 quantised:", ScaleTable::GetName(4));
    for (int note = 57; note <= 69; ++note)
        std::printf(" %d", scale.Quantize(note, 0));
    std::printf("\nNote 57 moved by -2..4 degrees:");
    for (int degrees = -2; degrees <= 4; ++degrees)
        std::printf(" %d", scale.MoveByDegrees(57, degrees));
    std::printf("\n");
    return 0;
}
