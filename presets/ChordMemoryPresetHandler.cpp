#include "presets/ChordMemoryPresetHandler.h"

#include "framework/EffectLock.h"
#include "gui/IPopupMenu.h"
#include "presets/ChordMemoryFile.h"
#include "presets/PresetHost.h"
#include "presets/PresetLoader.h"
#include "presets/SavePresetDialogs.h"

ChordMemoryPresetHandler::ChordMemoryPresetHandler(PresetHost* host, BitmapFont* font, const IRectangle& rect)
    : CommonPresetHandler(host, font, rect, ".cmb", "")
{
    CreateFolderMenu("presets/chordmemory", false);
}

void ChordMemoryPresetHandler::OnPopupMenuChosen(IPopupMenu* menu)
{
    if (menu == nullptr || menu->GetChosenIndex() < 2) return;
    TakeChosenItem(menu, true);
    SetDirty();
}

void ChordMemoryPresetHandler::OnNameChosen(const std::string& name)
{
    ChangeText(name);
}

bool ChordMemoryPresetHandler::WriteToStream(std::ostream& out, const IStateChunk* /*chunk*/)
{
    ChordMemory* memory = host_->GetChordMemory();
    if (memory == nullptr) return false;
    ChordMemorySet set;
    {
        IEffectLockGuard guard(host_->GetPresetLock());
        set = CaptureChordMemorySet(*memory);
    }
    return WriteChordMemorySet(set, out);
}

bool ChordMemoryPresetHandler::ReadFromStream(std::istream& in, const std::string& name)
{
    ChordMemory* memory = host_->GetChordMemory();
    const std::optional<ChordMemorySet> set = ParseChordMemorySet(in);
    if (memory == nullptr || !set)
    {
        host_->ShowStatusText(kPresetLoadFailedText);
        return false;
    }
    {
        IEffectLockGuard guard(host_->GetPresetLock());
        ApplyChordMemorySet(*set, memory);
    }
    ChangeText(name);
    host_->OnChordMemorySetLoaded();
    return true;
}

IPopupMenuEntry* ChordMemoryPresetHandler::SaveChordMemoryWithName(const std::string& name)
{
    std::lock_guard<std::recursive_mutex> guard(menuMutex_);
    return menu_ != nullptr ? menu_->SaveToUserFolder(name, -1, nullptr) : nullptr;
}

bool ChordMemoryPresetHandler::SaveChordMemoryAs(const std::string& name)
{
    std::lock_guard<std::recursive_mutex> guard(menuMutex_);
    IPopupMenuEntry* saved = SaveChordMemoryWithName(name);
    TakeSavedItem(saved);
    return saved != nullptr;
}

int ChordMemoryPresetHandler::OpenSaveDialog()
{
    return static_cast<int>(OpenSaveChordMemoryDialog(this));
}
