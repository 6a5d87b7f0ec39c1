#include "plugin/TobelPresetHost.h"

#include "engine/EngineHost.h"
#include "plugin/DataFolder.h"
#include "plugin/Tobel.h"

IEffectLock& TobelPresetHost::GetPresetLock()
{
    return plug_.GetLock();
}

bool TobelPresetHost::ReadPresetState(const IStateChunk& chunk, int position)
{
    // A file of the header alone carries no state: it stands for the initial state.
    if (position == chunk.Size())
    {
        plug_.ApplyEmptyPresetState();
        return true;
    }
    return plug_.ReadState(&chunk, position, true) >= 0;
}

bool TobelPresetHost::WritePresetState(IStateChunk* chunk)
{
    return plug_.WriteFullState(chunk);
}
int TobelPresetHost::GetParameterCount()
{
    return plug_.NParameters();
}
void TobelPresetHost::ResetToInitialState()
{
    plug_.NoteEditorEdit();
    plug_.ResetToInitialState();
}

PresetInfo TobelPresetHost::GetPresetTexts()
{
    IEffectLockGuard guard(plug_.GetLock());
    return plug_.GetPresetInfo();
}

void TobelPresetHost::SetPresetTexts(const PresetInfo& texts)
{
    plug_.SetPresetTexts(texts);
}

std::atomic<bool>& TobelPresetHost::PresetLoadingFlag()
{
    return plug_.PresetLoadingFlag();
}
void TobelPresetHost::GrayOutPresetControls(bool grey)
{
    plug_.GrayOutPresetControls(grey);
}
void TobelPresetHost::RedrawPatternView()
{
    plug_.RedrawPatternView();
}
void TobelPresetHost::NoteEditorEdit()
{
    plug_.NoteEditorEdit();
}

void TobelPresetHost::ShowStatusText(const char* text)
{
    plug_.ShowStatusText(text != nullptr ? text : "");
}
IGraphics* TobelPresetHost::GetPresetEditor()
{
    return plug_.GetGraphics();
}
ChordMemory* TobelPresetHost::GetChordMemory()
{
    return plug_.GetEngineHost().GetChordMemory();
}
void TobelPresetHost::OnChordMemorySetLoaded()
{
    plug_.NoteEditorEdit();
    plug_.OnChordMemorySetLoaded();
}

std::string TobelPresetHost::GetPresetDataFolder(const std::string& subFolder)
{
    return GetDataFolderPath(subFolder);
}
