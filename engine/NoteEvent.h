#pragma once

// A recorded input event, of one of six kinds (kind): a note-on or note-off,
// a program change, a learned controller, a panic, or a message to pass on.
// The note engine records it when the MIDI handler hands it over and it acts
// when the block reaches its frame; a note goes to the control zone, to the
// key areas that take it then, or back to the plug-in to pass through.
struct NoteEvent
{
    static constexpr int kNoteOn = 1;
    static constexpr int kNoteOff = 0;
    // A program change (note: the program 0..127): the control zone's pattern choice, made at its
    // frame like the notes around it.
    static constexpr int kProgramChange = 2;
    // A controller the plug-in has learned (note: the controller, velocity: its value), handed back
    // to the listener at its frame.
    static constexpr int kLearnedController = 3;
    // An all-notes-off request (a panic), carried out at its frame.
    static constexpr int kPanic = 4;
    // A message the plug-in passes on unchanged (status, note: data 1, velocity: data 2), handed
    // back at its frame so that it reaches the host in time order with the notes around it.
    static constexpr int kPassMessage = 5;
    static constexpr int kAreaCount = 4;
    // Area flags: 1 the event is for that area, 0 not, -1 (in an area's waiting buffer) held back
    // while the area waits for its "Arp on note count". After a note-off went to the areas, 1 the
    // area let the key go, kKept it keeps the key (hold).
    static constexpr int kForArea = 1;
    static constexpr int kWaiting = -1;
    static constexpr int kKept = 2;

    int note = 0;
    int velocity = 0;    // a note-off's release velocity
    double time = 0.0;   // sample offset, counted down as the block is processed
    double offset = 0.0; // the offset the note arrived with
    int kind = kNoteOn;
    int status = 0;  // the status byte of a kPassMessage
    int channel = 1; // 1..16
    int areaFlags[kAreaCount] = {0, 0, 0, 0};
    // A note-off that arrived as a note-on with velocity 0 (it passes through as it came).
    bool asNoteOn = false;
    // A key held back for an area's "Arp on note count" that went to the host meanwhile.
    bool passed = false;
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
    // A note-off for every flagged area that matches it or holds the key down; each flag becomes
    // kForArea when that area released the note, NoteEvent::kKept when it keeps it (hold), else 0.
    virtual void NoteOffForFlaggedAreas(double position, double offset, int note, int velocity, int channel,
                                        int flags[NoteEvent::kAreaCount]) = 0;
    // Whether an area matching the note keeps notes by hold or hold sync. Part of the class's
    // interface, unused here: nothing asks.
    virtual bool IsHeldByHold(int channel, int note) const = 0;
    // The note counts were cleared. Part of the class's interface, unused here: nothing acts on it.
    virtual void NotifyReset() = 0;
    // Stops every enabled key area; the notes that sound end at the block offset.
    virtual void StopAll(double offset) = 0;
};
