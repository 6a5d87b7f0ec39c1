// Costs of the note data operations that run on the audio thread for every
// note-on, note-off and step.
#include "engine/ChordMemory.h"
#include "engine/Looper.h"
#include "engine/NoteList.h"
#include "engine/Scale.h"

#include <benchmark/benchmark.h>

namespace
{
// A held chord of n notes is played and released again.
void NoteListAddRemove(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    NoteList list;
    for (auto _ : state)
    {
        for (int i = 0; i < n; ++i)
            benchmark::DoNotOptimize(list.Add(36 + (i * 7) % 64, 100, false));
        for (int i = 0; i < n; ++i)
            list.Remove(36 + (i * 7) % 64);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(NoteListAddRemove)->Arg(4)->Arg(16)->Arg(127);

void NoteListComputeOrder(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    NoteList list;
    for (int i = 0; i < n; ++i)
        list.Add(i, 100, false);
    int mode = 0;
    for (auto _ : state)
    {
        list.ComputeOrder(mode);
        mode = (mode + 1) & 3;
        benchmark::DoNotOptimize(list.FirstVelocity());
    }
}
BENCHMARK(NoteListComputeOrder)->Arg(4)->Arg(127);

void ChordMoveTo(benchmark::State& state)
{
    ChordMemory memory;
    for (int note : {0, 7, 12, 16, 19, 24, 28, 31})
        memory.SetSlotNote(0, note, true);
    NoteRecord played;
    played.note = 48;
    for (auto _ : state)
        benchmark::DoNotOptimize(memory.GetSlot(0)->MoveTo(&played).Count());
}
BENCHMARK(ChordMoveTo);

// Seventeen lanes advance and peek once per step.
void LanesPerStep(benchmark::State& state)
{
    ControlLooper lanes[17];
    for (int i = 0; i < 17; ++i)
        lanes[i].SetMode(i & 3);
    for (auto _ : state)
        for (ControlLooper& lane : lanes)
        {
            benchmark::DoNotOptimize(lane.PeekNext());
            lane.Advance();
        }
}
BENCHMARK(LanesPerStep);

void ScaleMoveByDegrees(benchmark::State& state)
{
    Scale scale;
    scale.SetScale(4);
    int note = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(scale.MoveByDegrees(note, 5));
        note = (note + 1) & 127;
    }
}
BENCHMARK(ScaleMoveByDegrees);
} // namespace
