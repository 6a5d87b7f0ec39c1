// PresetHost: what the preset library needs of the plug-in. The plug-in class implements it; the
// preset library knows nothing else of the plug-in.
//
// Threads: every operation may be called from the editor's thread; the ones marked "worker" also
// from the preset loader's thread, and the ones marked "audio" from the host's audio thread
// (the control zone's previous/next preset actions, which run under the plug-in's lock).
#pragma once

#include <atomic>
#include <string>

#include "presets/PresetInfo.h"

class ChordMemory;
class IGraphics;
class IEffectLock;
class IStateChunk;

class PresetHost
{
public:
    virtual ~PresetHost() = default;

    // ---- lock and state -------------------------------------------------------------------------------
    // The plug-in's recursive lock, held around every change of the engine and the state. Worker.
    virtual IEffectLock& GetPresetLock() = 0;
    // Applies a state read from a preset file, starting at position of chunk (parameters kept out of
    // preset loads keep their values). True when it was applied; false when it was refused, which
    // leaves the plug-in as it was. A position at the end of chunk (a file of the header alone)
    // applies the initial state. Called with the lock held. Worker.
    virtual bool ReadPresetState(const IStateChunk& chunk, int position) = 0;
    // Appends the plug-in's whole state to chunk; false when the parameter block could not be
    // written.
    virtual bool WritePresetState(IStateChunk* chunk) = 0;
    // The number of the plug-in's parameters (the preset-file header carries it).
    virtual int GetParameterCount() = 0;
    // The preset box's "Init": back to the initial state, the preset box showing "------"; the
    // global options stay as they are.
    virtual void ResetToInitialState() = 0;

    // ---- preset information ---------------------------------------------------------------------------
    // The loaded preset's name, author, description and usage. Worker.
    virtual PresetInfo GetPresetTexts() = 0;
    // Stores them and shows the author in the preset information's author text. Worker (with the
    // lock held).
    virtual void SetPresetTexts(const PresetInfo& texts) = 0;

    // ---- loading -----------------------------------------------------------------------------------------
    // The plug-in's preset-loading flag: set while a preset file is being loaded; a second load is
    // refused while it is set. Worker, audio.
    virtual std::atomic<bool>& PresetLoadingFlag() = 0;
    // Greys out (true) or restores (false) the preset controls while a preset is applied. Worker.
    virtual void GrayOutPresetControls(bool grey) = 0;
    // Asks the pattern view to repaint. Worker.
    virtual void RedrawPatternView() = 0;
    // A text for the status line (a failed load or save). Worker.
    virtual void ShowStatusText(const char* text) = 0;
    // The preset library changes the state (a load begins, Init, a chord-memory set): when the user
    // asked for it on the editor's thread, the host hears that the project changed once the gesture
    // and the load are over; asked for by the control zone on the audio thread, it does not. Base:
    // nothing.
    virtual void NoteEditorEdit() {}

    // ---- editor
    // -------------------------------------------------------------------------------------------- The editor
    // object that shows the preset boxes' menus and owns the dialogs' parent window; null while there is
    // none.
    virtual IGraphics* GetPresetEditor() = 0;

    // ---- chord memory -----------------------------------------------------------------------------------
    // The engine's chord memory (changed with the lock held).
    virtual ChordMemory* GetChordMemory() = 0;
    // A chord-memory set was loaded: the chord-memory slot selector returns to slot 0 and the
    // on-screen keyboard shows the new chords.
    virtual void OnChordMemorySetLoaded() = 0;

    // ---- data folder ------------------------------------------------------------------------------------
    // The data folder's sub-folder ("presets", "presets/chordmemory") with a trailing '/'; "" when
    // the machine has no data folder. Audio.
    virtual std::string GetPresetDataFolder(const std::string& subFolder) = 0;
};
