#pragma once

#include "engine/NoteEvent.h"

#include <vector>

struct OutputNote;

// What the engine hands up to the plug-in: its generated notes (from the block processor), and,
// at each event's frame, what the note engine delivers that the plug-in passes on or acts on
// itself. Called from inside Processor::ProcessBlock, on the audio thread under the plug-in's lock.
class ProcessorListener
{
public:
    virtual ~ProcessorListener() = default;
    // The notes of one piece of the block, note-offs first. Each note's time
    // is its sample offset within the block. The listener marks the notes it
    // sent (OutputNote::noteOnSent / noteOffSent); the processor then frees
    // them, so pointers must not be kept.
    virtual void SendEvents(std::vector<OutputNote*>& notes) = 0;
    // The engine started (true) or stopped (false) playing notes.
    virtual void NotifyPlaying(bool /*playing*/) {}
    // An input note no key area took at its frame (offset within the block), to go to the host
    // as it came. A note-on answers the note it went out as (0..127), which the note engine
    // remembers for the key: sentAs is that note for the release that ends such a key, -1 for
    // every other note.
    virtual int PassThrough(const NoteEvent& note, double /*offset*/, int /*sentAs*/) { return note.note; }
    // A key started key areas that held no notes (with the keys that waited for their "Arp on
    // note count"); flags: the areas that took the key.
    virtual void AreasStarted(const int /*flags*/[NoteEvent::kAreaCount]) {}
    // A learned controller at its frame (see NoteEngine::LearnedController).
    virtual void LearnedController(int /*controller*/, int /*value*/) {}
    // A panic at its frame (see NoteEngine::Panic): the one place a panic is carried out.
    virtual void Panic(double /*offset*/) {}
    // A message to pass on unchanged, at its frame (see NoteEngine::PassMessage).
    virtual void PassMessage(int /*status*/, int /*data1*/, int /*data2*/, double /*offset*/) {}
};
