// ChordMemoryPresetHandler: the box for chord-memory sets (".cmb" files over the data folder's
// "presets/chordmemory" tree). A chosen set is read and applied at once on the editor's thread.
//
// Threads: the editor's thread.
#pragma once

#include "presets/CommonPresetHandler.h"

class ChordMemoryPresetHandler : public CommonPresetHandler
{
public:
    // Builds its folder menu at once.
    ChordMemoryPresetHandler(PresetHost* host, BitmapFont* font, const IRectangle& rect);

    void StepToNextItem() { StepChosenItem(true); }
    void StepToPreviousItem() { StepChosenItem(false); }

    // Saves the engine's chord memory under the vetted name into the user folder (no category).
    // The file's menu entry; null when the file could not be written.
    IPopupMenuEntry* SaveChordMemoryWithName(const std::string& name);
    // Saves, then shows the vetted name, and the previous and next buttons step from the saved set;
    // false (nothing shown) when saving failed.
    bool SaveChordMemoryAs(const std::string& name);

    // The "Save preset" dialog over the editor's window (a right press on the box opens it).
    int OpenSaveDialog() override;

    // ---- IControl ---------------------------------------------------------------------------------
    // Ids 2 and above: the chosen entry is taken and loaded.
    void OnPopupMenuChosen(IPopupMenu* menu) override;

    // ---- IndexChangedListener -----------------------------------------------------------------------
    void OnNameChosen(const std::string& name) override;
    // The engine's sixteen slots in the file layout (chunk is not used).
    bool WriteToStream(std::ostream& out, const IStateChunk* chunk) override;
    // Reads a whole set; a complete and sane one replaces the chord memory (under the plug-in's
    // lock), the box shows name, and the slot selector and keyboard follow. A truncated or hostile
    // file changes nothing and returns false.
    bool ReadFromStream(std::istream& in, const std::string& name) override;
    // Chord-memory sets are read at once: nothing to do.
    void LoadFile(int64_t, const std::string&, const std::string&) override {}
};
