#include "presets/CommonPresetHandler.h"

#include <fstream>

#include "framework/IStateChunk.h"
#include "gui/BitmapFont.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"
#include "presets/GzipFile.h"
#include "presets/PresetHost.h"
#include "presets/PresetLoader.h"

namespace
{

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return !suffix.empty() && text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

CommonPresetHandler::CommonPresetHandler(PresetHost* host, BitmapFont* font, const IRectangle& rect,
                                         const std::string& streamExtension,
                                         const std::string& compressedExtension)
    : ITextControl(static_cast<IEffectBase*>(nullptr), rect, kNoNameText), host_(host), font_(font),
      streamExtension_(streamExtension), compressedExtension_(compressedExtension)
{
}

CommonPresetHandler::~CommonPresetHandler() = default;

void CommonPresetHandler::CreateFolderMenu(const std::string& rootSubFolder, bool hasInit)
{
    std::lock_guard<std::recursive_mutex> guard(menuMutex_);
    menu_ = std::make_unique<PresetFolderMenu>(host_->GetPresetDataFolder(rootSubFolder), streamExtension_,
                                               compressedExtension_, hasInit, this);
}

void CommonPresetHandler::TakeChosenItem(IPopupMenu* root, bool load)
{
    if (root == nullptr) return;
    std::lock_guard<std::recursive_mutex> guard(menuMutex_);
    TakeMenuItem(root->FindItemById(root->GetChosenIndex()), load);
}

void CommonPresetHandler::TakeMenuItem(IPopupMenuEntry* entry, bool load)
{
    std::lock_guard<std::recursive_mutex> guard(menuMutex_);
    const std::string name = entry != nullptr ? entry->GetText() : "";
    if (menu_ != nullptr) menu_->SetChosenName(name);
    OnNameChosen(name);
    if (!load || entry == nullptr || menu_ == nullptr) return;
    const std::string path = menu_->PathOf(entry);
    if (!path.empty()) OpenChosenFile(path, name);
}

bool CommonPresetHandler::OpenChosenFile(const std::string& path, const std::string& name)
{
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
    {
        host_->ShowStatusText(kPresetLoadFailedText);
        return false;
    }
    if (streamExtension_ == ".cmb" && EndsWith(path, streamExtension_)) return ReadFromStream(in, name);
    // Plain preset files (the stream extension) load through the same worker: zlib's reader passes
    // data that is not compressed through unchanged.
    if (EndsWith(path, compressedExtension_) ||
        (streamExtension_ != ".cmb" && EndsWith(path, streamExtension_)))
    {
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        in.close();
        LoadFile(size >= 0 ? static_cast<int64_t>(size) : -1, path, name);
        return true;
    }
    return false;
}

void CommonPresetHandler::SetShownName(const std::string& text)
{
    if (!text.empty()) ChangeText(text);
}

void CommonPresetHandler::ChangeText(const std::string& text)
{
    {
        std::lock_guard<std::mutex> guard(textMutex_);
        if (text == text_.Get()) return;
        ITextControl::ChangeText(text.c_str());
    }
    // The state carries the shown name (a preset saved under a new name changes it).
    host_->NoteEditorEdit();
}

std::string CommonPresetHandler::GetShownText() const
{
    std::lock_guard<std::mutex> guard(textMutex_);
    return text_.Get();
}

void CommonPresetHandler::OnMouseButtonDown(int /*x*/, int /*y*/, const IMouseModifiers& modifiers)
{
    if (modifiers.right)
    {
        OpenSaveDialog();
        SetDirty();
        return;
    }
    IGraphics* graphics = host_->GetPresetEditor();
    // The menu lock is held while the modal menu is open: the window layer stores the chosen id in
    // the root menu. The audio thread only tries this lock, so it never waits for the user.
    std::lock_guard<std::recursive_mutex> guard(menuMutex_);
    if (graphics == nullptr || menu_ == nullptr) return;
    IPopupMenu* chosen = graphics->ShowPopupMenu(menu_->GetRootMenu(), rect_);
    SetDirty();
    RequestRedraw();
    if (chosen != nullptr) OnPopupMenuChosen(chosen);
}

bool CommonPresetHandler::Paint(IGraphics* graphics)
{
    const std::string text = GetShownText();
    if (graphics == nullptr) return true;
    if (font_ != nullptr)
    {
        // The font's alignment flags are shared by every control that draws with it.
        const int32_t wasLeftAligned = font_->IsLeftAligned();
        font_->SetLeftAligned(1);
        font_->DrawString(graphics, text.c_str(), rect_);
        font_->SetLeftAligned(wasLeftAligned);
    }
    else if (!text.empty())
    {
        IRectangle rect = rect_;
        graphics->DrawStyledText(&GetTextStyle(), text.c_str(), &rect);
    }
    return true;
}

bool CommonPresetHandler::WriteCompressedFile(const std::string& path, const IStateChunk* chunk)
{
    if (chunk == nullptr) return false;
    return WriteGzipFile(path, chunk->Data(), chunk->Size());
}

void CommonPresetHandler::StepChosenItem(bool forward)
{
    std::lock_guard<std::recursive_mutex> guard(menuMutex_);
    if (menu_ == nullptr) return;
    IPopupMenuEntry* entry = menu_->GetRootMenu()->StepChosenItem(forward, true);
    if (entry != nullptr) TakeMenuItem(entry, true);
}

void CommonPresetHandler::TakeSavedItem(IPopupMenuEntry* entry)
{
    std::lock_guard<std::recursive_mutex> guard(menuMutex_);
    if (entry == nullptr || menu_ == nullptr) return;
    menu_->GetRootMenu()->SetChosenIndex(entry->GetId());
    TakeMenuItem(entry, false);
}

bool CommonPresetHandler::TryStepChosenItem(bool forward)
{
    std::unique_lock<std::recursive_mutex> guard(menuMutex_, std::try_to_lock);
    if (!guard.owns_lock()) return false;
    StepChosenItem(forward);
    return true;
}
