#pragma once

// A pending input note: recorded by the note engine when the MIDI handler
// hands it over, delivered to the key areas when the block reaches its time.
struct NoteEvent
{
    static constexpr int kNoteOn = 1;
    static constexpr int kNoteOff = 0;
    static constexpr int kAreaCount = 4;
    // Area flags: 1 the event is for that area, 0 not, -1 held back while the
    // area waits for its "Arp on note count".
    static constexpr int kForArea = 1;
    static constexpr int kWaiting = -1;

    int note = 0;
    int velocity = 0;    // 127 for note-offs
    double time = 0.0;   // sample offset, counted down as the block is processed
    double offset = 0.0; // the offset the note arrived with
    int kind = kNoteOn;
    int channel = 1; // 1..16
    int areaFlags[kAreaCount] = {0, 0, 0, 0};
    // A control-zone key: flagged for every area, but no area holds it.
    bool controlZone = false;
    // Arrived for the block about to be processed (false once a block was processed after it).
    bool fresh = false;
};

// What the note engine delivers to: the application object routes delivered
// notes to the key areas. Calls come from the block processor under the
// plug-in's lock.
class NoteEngineListener
{
public:
    virtual ~NoteEngineListener() = default;

    // A note-on for one area (when the area matches it).
    virtual void NoteOnForArea(double offset, int note, int velocity, int channel, int area) = 0;
    // A note-on for every flagged area that matches it.
    virtual void NoteOnForFlaggedAreas(double offset, int note, int velocity, int channel,
                                       const int flags[NoteEvent::kAreaCount]) = 0;
    // A note-off for every flagged area that matches it; each flag becomes
    // whether that area released the note.
    virtual void NoteOffForFlaggedAreas(double position, double offset, int note, int velocity, int channel,
                                        int flags[NoteEvent::kAreaCount]) = 0;
    // Whether an area matching the note keeps notes by hold or hold sync.
    virtual bool IsHeldByHold(int channel, int note) const = 0;
    virtual void NotifyReset() = 0;
    // Stops every enabled key area; the notes that sound end at the block offset.
    virtual void StopAll(double offset) = 0;
};
