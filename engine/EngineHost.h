#pragma once

// The holder of the engine's objects inside the plug-in. So far it carries
// the engine's option bytes; the key areas, note engine, application object,
// chord memory and control-zone table join it as they are built.
class EngineHost
{
public:
    enum Flag
    {
        kStartNotesImmediately = 0, // the first step of a run starts at once, off the grid
        kNoNoteOffs = 1,            // nothing sets it; kept for the state layout
        kReleaseWaitingNotes = 2,   // notes of an idle key area are not held back
        kFlagCount = 3,
    };

    EngineHost() = default;
    EngineHost(const EngineHost&) = delete;
    EngineHost& operator=(const EngineHost&) = delete;

    // Sets an option byte; false for an unknown flag.
    bool SetFlagByte(int flag, bool value)
    {
        if (flag < 0 || flag >= kFlagCount)
            return false;
        flags_[flag] = value;
        return true;
    }
    // The option byte; false for an unknown flag.
    bool GetFlagByte(int flag) const { return flag >= 0 && flag < kFlagCount && flags_[flag]; }

private:
    bool flags_[kFlagCount] = {false, false, false};
};
