// PresetHandler: the preset box for whole-plug-in presets (".t2z", gzip; plain ".t2" files load
// too). Its menu over the data folder's "presets" tree starts with "Init", which resets the
// plug-in. Chosen files load on the preset loader's worker thread.
//
// Threads: as CommonPresetHandler; LoadNextPreset and LoadPreviousPreset run on the audio thread.
#pragma once

#include "presets/CommonPresetHandler.h"

class PresetLoader;

class PresetHandler : public CommonPresetHandler
{
public:
    // loader: the plug-in's preset loader (outlives the box's use of it: the plug-in joins it first).
    PresetHandler(PresetHost* host, PresetLoader* loader, BitmapFont* font, const IRectangle& rect);

    // Builds the folder menu; the plug-in's constructor calls it once every control exists.
    void InitFolderMenu();

    // Previous and next buttons (editor's thread).
    void StepToNextItem() { StepChosenItem(true); }
    void StepToPreviousItem() { StepChosenItem(false); }
    // The control zone's "nextpreset" and "previouspreset" (audio thread, under the plug-in's lock).
    // They only start a load, and give up (false) when the menu is open on the editor's thread.
    bool LoadNextPreset() { return TryStepChosenItem(true); }
    bool LoadPreviousPreset() { return TryStepChosenItem(false); }

    // Saves the preset file's bytes under the vetted name into the user folder's category folder
    // and shows the vetted name; the previous and next buttons then step from the saved preset.
    // False when the file could not be written (nothing changes then).
    bool SavePresetAs(const IStateChunk& file, const std::string& name, int category);

    // The "Save preset" dialog over the editor's window (a right press on the box opens it).
    int OpenSaveDialog() override;

    // ---- IControl ---------------------------------------------------------------------------------
    // Id 1 ("Init"): the plug-in goes back to its initial state and the box shows "------"; ids
    // above 1: the chosen entry is taken and loaded.
    void OnPopupMenuChosen(IPopupMenu* menu) override;

    // ---- IndexChangedListener -----------------------------------------------------------------------
    // Shows the name.
    void OnNameChosen(const std::string& name) override;
    // The chunk's bytes unchanged.
    bool WriteToStream(std::ostream& out, const IStateChunk* chunk) override;
    // Reads a plain preset file from in and applies it at once (the editor's thread waits).
    bool ReadFromStream(std::istream& in, const std::string& name) override;
    // Starts the worker unless a preset is loading; when it starts, the box shows name before the
    // worker begins.
    void LoadFile(int64_t size, const std::string& path, const std::string& name) override;

private:
    PresetLoader* loader_;
};
