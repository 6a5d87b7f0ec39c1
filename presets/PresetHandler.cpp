#include "presets/PresetHandler.h"

#include "framework/IStateChunk.h"
#include "gui/IPopupMenu.h"
#include "presets/GzipFile.h"
#include "presets/PresetHost.h"
#include "presets/PresetLoader.h"
#include "presets/SavePresetDialogs.h"

PresetHandler::PresetHandler(PresetHost* host, PresetLoader* loader, BitmapFont* font, const IRectangle& rect)
    : CommonPresetHandler(host, font, rect, ".t2", ".t2z"), loader_(loader)
{
}

void PresetHandler::InitFolderMenu()
{
    CreateFolderMenu("presets", true);
}

void PresetHandler::OnPopupMenuChosen(IPopupMenu* menu)
{
    if (menu == nullptr) return;
    const int32_t id = menu->GetChosenIndex();
    if (id == PresetFolderMenu::kInitId)
    {
        host_->ResetToInitialState();
        ChangeText(kNoNameText);
    }
    else if (id > PresetFolderMenu::kInitId)
    {
        TakeChosenItem(menu, true);
        SetDirty();
    }
}

void PresetHandler::OnNameChosen(const std::string& name)
{
    ChangeText(name);
}

bool PresetHandler::WriteToStream(std::ostream& out, const IStateChunk* chunk)
{
    if (chunk == nullptr) return false;
    if (chunk->Size() > 0) out.write(reinterpret_cast<const char*>(chunk->Data()), chunk->Size());
    out.flush();
    return static_cast<bool>(out);
}

bool PresetHandler::ReadFromStream(std::istream& in, const std::string& name)
{
    IStateChunk chunk;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    {
        const int got = static_cast<int>(in.gcount());
        const int before = chunk.Size();
        if (before + static_cast<int64_t>(got) > kMaxPresetFileBytes ||
            chunk.PutBytes(buffer, got) != before + got)
        {
            host_->ShowStatusText(kPresetLoadFailedText);
            return false;
        }
    }
    bool expected = false;
    if (!host_->PresetLoadingFlag().compare_exchange_strong(expected, true)) return false;
    const bool applied = ApplyPresetFileChunk(chunk, host_);
    host_->PresetLoadingFlag().store(false);
    if (applied) SetShownName(name);
    return applied;
}

void PresetHandler::LoadFile(int64_t size, const std::string& path, const std::string& name)
{
    // The name is shown before the worker starts: the load keeps what the box shows when the state
    // carries no name, so showing it afterwards would race with the worker.
    if (loader_ != nullptr) loader_->Start(path, size, [this, &name] { SetShownName(name); });
}

bool PresetHandler::SavePresetAs(const IStateChunk& file, const std::string& name, int category)
{
    std::lock_guard<std::recursive_mutex> guard(menuMutex_);
    IPopupMenuEntry* saved = menu_ != nullptr ? menu_->SaveToUserFolder(name, category, &file) : nullptr;
    TakeSavedItem(saved);
    return saved != nullptr;
}

int PresetHandler::OpenSaveDialog()
{
    return static_cast<int>(OpenSavePresetDialog(this));
}
