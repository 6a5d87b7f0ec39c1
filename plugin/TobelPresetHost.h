// The plug-in as the preset library sees it: a thin adapter that forwards PresetHost's operations
// to Tobel, so the preset library never sees the plug-in class. Owned by the plug-in.
//
// Threads: as PresetHost says; the operations marked "worker" there reach only Tobel operations
// that take the plug-in's lock or set flags and posted texts.
#pragma once

#include "presets/PresetHost.h"

class Tobel;

class TobelPresetHost : public PresetHost
{
public:
    explicit TobelPresetHost(Tobel& plug) : plug_(plug) {}
    TobelPresetHost(const TobelPresetHost&) = delete;
    TobelPresetHost& operator=(const TobelPresetHost&) = delete;

    IEffectLock& GetPresetLock() override;
    // The plug-in's state reader in preset mode (lock parameters keep their values).
    bool ReadPresetState(const IStateChunk& chunk, int position) override;
    bool WritePresetState(IStateChunk* chunk) override;
    int GetParameterCount() override;
    // Init and a chord-memory set loaded note the user's edit (PresetHost::NoteEditorEdit).
    void ResetToInitialState() override;
    PresetInfo GetPresetTexts() override;
    void SetPresetTexts(const PresetInfo& texts) override;
    std::atomic<bool>& PresetLoadingFlag() override;
    void GrayOutPresetControls(bool grey) override;
    void RedrawPatternView() override;
    void ShowStatusText(const char* text) override;
    void NoteEditorEdit() override;
    IGraphics* GetPresetEditor() override;
    ChordMemory* GetChordMemory() override;
    void OnChordMemorySetLoaded() override;
    std::string GetPresetDataFolder(const std::string& subFolder) override;

private:
    Tobel& plug_;
};
