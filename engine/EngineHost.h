#pragma once

#include <memory>

class ActionDispatcher;
class ChordMemory;
class ControlTargetTable;
class KeyAreaList;
class NoteEngine;
class TobelApp;
struct TransportState;

// The holder of the engine's objects inside the plug-in: the option bytes,
// the four key areas, the action dispatcher, the note engine, the chord
// memory and the control-zone table; the application object registers itself
// here. Non-copyable. Everything runs under the plug-in's lock.
class EngineHost
{
public:
    enum Flag
    {
        kStartNotesImmediately = 0, // the first step of a run starts at once, off the grid
        // Part of the class's interface, unused here: nothing sets these two (every generated
        // note-off is sent; an idle key area always holds notes back for its note count).
        kNoNoteOffs = 1,
        kReleaseWaitingNotes = 2, // read by the note engine: set, an idle area holds nothing back
        kFlagCount = 3,
    };

    // Creates, in this order, the dispatcher, the key areas (given the
    // transport, which must outlive the host), the note engine, the chord
    // memory and the control-zone table.
    explicit EngineHost(TransportState& transport);
    ~EngineHost();
    EngineHost(const EngineHost&) = delete;
    EngineHost& operator=(const EngineHost&) = delete;

    // Sets an option byte; false for an unknown flag.
    bool SetFlagByte(int flag, bool value)
    {
        if (flag < 0 || flag >= kFlagCount) return false;
        flags_[flag] = value;
        return true;
    }
    // The option byte; false for an unknown flag.
    bool GetFlagByte(int flag) const { return flag >= 0 && flag < kFlagCount && flags_[flag]; }

    ActionDispatcher* GetDispatcher() const { return dispatcher_.get(); }
    KeyAreaList* GetKeyAreas() const { return keyAreas_.get(); }
    NoteEngine* GetNoteEngine() const { return noteEngine_.get(); }
    ChordMemory* GetChordMemory() const { return chordMemory_.get(); }
    ControlTargetTable* GetControlTargetTable() const { return controlTable_.get(); }
    // The application object registers itself here (null until then): part of the class's
    // interface, unused here.
    void RegisterApp(TobelApp* app) { app_ = app; }

private:
    bool flags_[kFlagCount] = {false, false, false};
    std::unique_ptr<ActionDispatcher> dispatcher_;
    std::unique_ptr<KeyAreaList> keyAreas_;
    std::unique_ptr<NoteEngine> noteEngine_;
    std::unique_ptr<ChordMemory> chordMemory_;
    std::unique_ptr<ControlTargetTable> controlTable_;
    TobelApp* app_ = nullptr;
};
