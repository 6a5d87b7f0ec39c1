// A small demonstration of the engine: a chord held in a note list, seen in
// the four sort orders, a chord-memory slot moved onto a played note, a lane
// looper walking its range, a scale fitting notes; then the whole engine
// running on its own: a chord held in the default state at 120 beats per
// minute for two bars, with every generated note, its block and its offset.
#include "engine/ChordMemory.h"
#include "engine/EngineDefaults.h"
#include "engine/EngineHost.h"
#include "engine/EngineVersion.h"
#include "engine/Looper.h"
#include "engine/NoteEngine.h"
#include "engine/NoteList.h"
#include "engine/OutputNote.h"
#include "engine/Processor.h"
#include "engine/Scale.h"
#include "engine/ScaleTable.h"
#include "engine/SortOrder.h"
#include "engine/TransportState.h"

#include <cstdio>

namespace
{
constexpr int kFrames = 512;

// Prints the notes the engine hands out, with their block and offset.
class PrintingListener : public ProcessorListener
{
public:
    void SendEvents(std::vector<OutputNote*>& notes) override
    {
        for (OutputNote* n : notes)
        {
            const bool on = n->kind == OutputNote::kNoteOn;
            std::printf("  block %4ld offset %3d  %s note %3d velocity %3d channel %d\n", block,
                        static_cast<int>(n->time), on ? "on " : "off", n->note, n->velocity, n->channel);
            (on ? n->noteOnSent : n->noteOffSent) = true;
        }
    }
    long block = 0;
};

void RunEngine()
{
    const double sampleRate = 44100.0;
    const double samplesPerBeat = sampleRate * 60.0 / 120.0;
    TransportState transport;
    transport.sampleRate = sampleRate;
    EngineHost host(transport);
    quova::ApplyDefaultParameterState(host);
    PrintingListener listener;
    TobelApp app(transport, listener, host);

    std::printf("\nThe engine on its own: C E G held (velocities 100 90 80), 120 bpm, two bars\n");
    NoteEngine& notes = *host.GetNoteEngine();
    notes.NoteOn(1, 48, 100, 0);
    notes.NoteOn(1, 52, 90, 0);
    notes.NoteOn(1, 55, 80, 0);
    const long blocks = static_cast<long>(8.0 * samplesPerBeat / kFrames);
    for (long b = 0; b <= blocks; ++b)
    {
        const double position = static_cast<double>(b * kFrames);
        if (b == blocks)
            for (int n : {48, 52, 55})
                notes.NoteOff(1, n, 0);
        transport.samplePosition = position;
        transport.beatPosition = position / samplesPerBeat;
        listener.block = b;
        app.ProcessBlock(position, 0.0, samplesPerBeat, true, false, 0.0, -1.0, kFrames, false);
    }
}

void PrintInOrder(const NoteList& list)
{
    for (int position = 0; position < list.Count(); ++position)
        if (const NoteRecord* r = list.FindByOrderPosition(position)) std::printf(" %d", r->note);
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

    RunEngine();
    return 0;
}
