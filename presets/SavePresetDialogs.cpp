#include "presets/SavePresetDialogs.h"

#include "framework/EffectLock.h"
#include "framework/IStateChunk.h"
#include "gui/IGraphics.h"
#include "platform/win32/WindowMessages.h"
#include "presets/ChordMemoryPresetHandler.h"
#include "presets/PresetCategories.h"
#include "presets/PresetFileHeader.h"
#include "presets/PresetHandler.h"
#include "presets/PresetHost.h"
#include "presets/PresetNames.h"

namespace
{

HINSTANCE g_dialogInstance = nullptr;

DialogItemTemplate Item(int id, const char* className, const char* text, DWORD style, RECT rect)
{
    return DialogItemTemplate{id, className, text, style, rect};
}

std::string ItemText(HWND dialog, int id, int maxChars)
{
    std::string buffer(static_cast<size_t>(maxChars) + 1, '\0');
    const UINT copied = GetDlgItemTextA(dialog, id, buffer.data(), maxChars + 1);
    buffer.resize(copied);
    return buffer;
}

HWND EditorWindow(PresetHost* host)
{
    IGraphics* graphics = host->GetPresetEditor();
    return graphics != nullptr ? static_cast<HWND>(graphics->GetWindowHandle()) : nullptr;
}

// True when the user may write name: no file of that name exists, or the user agreed to
// overwrite it.
bool MayWrite(HWND dialog, bool exists)
{
    if (!exists) return true;
    return MessageBoxA(dialog, kOverwriteQuestion, kOverwriteCaption, MB_YESNOCANCEL | MB_ICONQUESTION) ==
           IDYES;
}

template <class Box> Box* BoxOf(HWND dialog)
{
    return reinterpret_cast<Box*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

// Gives the name field the keys, its text selected.
void FocusNameField(HWND dialog)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kSaveDialogNameId)),
                 TRUE);
}

// Finishes OK in both save dialogs: a name shorter than the minimum keeps the dialog open, the
// name field taking the keys again (a click on OK took them); a failed save is reported and keeps
// it open; a save closes it.
template <class Save> INT_PTR SaveAndClose(HWND dialog, const std::string& name, Save save)
{
    if (static_cast<int>(name.size()) < kMinPresetNameLength)
    {
        FocusNameField(dialog);
        return TRUE;
    }
    if (!save())
    {
        MessageBoxA(dialog, kSaveFailedText, "Save preset", MB_OK | MB_ICONERROR);
        return TRUE;
    }
    EndDialog(dialog, IDOK);
    return TRUE;
}

} // namespace

void RegisterSavePresetDialogs(HINSTANCE instance)
{
    g_dialogInstance = instance;
    // Pixels for the controls' font: the label column is wide enough for "Preset name (min length
    // 4)"; the "Type" rectangle reaches down for its dropped list, its shut face is one line high.
    // The items are listed from the top down, the order in which Tab walks them; the name gets the
    // keys when the dialog opens (SavePresetDialogProc).
    DialogTemplate preset;
    preset.title = "Save preset";
    preset.width = 400;
    preset.height = 260;
    preset.items = {
        Item(-1, "STATIC", "Type", 0, {10, 10, 195, 30}),
        Item(kSaveDialogTypeId, "COMBOBOX", "", CBS_DROPDOWNLIST, {200, 10, 390, 110}),
        Item(-1, "STATIC", "Preset name (min length 4)", 0, {10, 40, 195, 60}),
        Item(kSaveDialogNameId, "EDIT", "", 0, {200, 40, 390, 60}),
        Item(-1, "STATIC", "Author", 0, {10, 70, 195, 90}),
        Item(kSaveDialogAuthorId, "EDIT", "", 0, {200, 70, 390, 90}),
        Item(-1, "STATIC", "Description", 0, {10, 100, 195, 120}),
        Item(kSaveDialogDescriptionId, "EDIT", "", 0, {200, 100, 390, 150}),
        Item(-1, "STATIC", "Usage", 0, {10, 160, 195, 180}),
        Item(kSaveDialogUsageId, "EDIT", "", 0, {200, 160, 390, 210}),
        Item(IDOK, "BUTTON", "&OK", BS_DEFPUSHBUTTON, {220, 225, 300, 250}),
        Item(IDCANCEL, "BUTTON", "&Cancel", BS_PUSHBUTTON, {310, 225, 390, 250}),
    };
    RegisterDialogTemplateA(instance, kSavePresetDialogName, preset);

    DialogTemplate chords;
    chords.title = "Save preset";
    chords.width = 400;
    chords.height = 100;
    chords.items = {
        Item(-1, "STATIC", "Preset name (min length 4)", 0, {10, 10, 195, 30}),
        Item(kSaveDialogNameId, "EDIT", "", 0, {200, 10, 390, 30}),
        Item(IDOK, "BUTTON", "&OK", BS_DEFPUSHBUTTON, {220, 60, 300, 85}),
        Item(IDCANCEL, "BUTTON", "&Cancel", BS_PUSHBUTTON, {310, 60, 390, 85}),
    };
    RegisterDialogTemplateA(instance, kSaveChordMemoryDialogName, chords);
}

INT_PTR OpenSavePresetDialog(PresetHandler* box)
{
    if (box == nullptr) return -1;
    return DialogBoxParamA(g_dialogInstance, kSavePresetDialogName, EditorWindow(box->GetHost()),
                           SavePresetDialogProc, reinterpret_cast<LPARAM>(box));
}

INT_PTR OpenSaveChordMemoryDialog(ChordMemoryPresetHandler* box)
{
    if (box == nullptr) return -1;
    return DialogBoxParamA(g_dialogInstance, kSaveChordMemoryDialogName, EditorWindow(box->GetHost()),
                           SaveChordMemoryDialogProc, reinterpret_cast<LPARAM>(box));
}

INT_PTR SavePresetDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
    {
        auto* box = reinterpret_cast<PresetHandler*>(lParam);
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        CenterWindowOnParent(dialog);
        for (const char* category : kPresetCategoryNames)
        {
            SendDlgItemMessageA(dialog, kSaveDialogTypeId, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(category));
        }
        SendDlgItemMessageA(dialog, kSaveDialogTypeId, CB_SETCURSEL, 0, 0);
        if (box != nullptr)
        {
            const PresetInfo texts = box->GetHost()->GetPresetTexts();
            SetDlgItemTextA(dialog, kSaveDialogNameId, texts.name);
            SetDlgItemTextA(dialog, kSaveDialogAuthorId, texts.author);
            SetDlgItemTextA(dialog, kSaveDialogDescriptionId, texts.description);
            SetDlgItemTextA(dialog, kSaveDialogUsageId, texts.usage);
        }
        // The name is what the user came to type: it gets the keys, its text selected.
        FocusNameField(dialog);
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    const int command = LOWORD(wParam);
    if (command == IDCANCEL)
    {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (command != IDOK) return FALSE;
    auto* box = BoxOf<PresetHandler>(dialog);
    if (box == nullptr) return TRUE;
    const int category = static_cast<int>(SendDlgItemMessageA(dialog, kSaveDialogTypeId, CB_GETCURSEL, 0, 0));
    const std::string name = ItemText(dialog, kSaveDialogNameId, kSaveDialogNameChars);
    // The existence test asks about the name the file will really get.
    if (!MayWrite(dialog, UserPresetExists(box->GetHost(), IsValidPresetName(name)))) return TRUE;
    const std::string author = ItemText(dialog, kSaveDialogAuthorId, kSaveDialogTextChars);
    const std::string description = ItemText(dialog, kSaveDialogDescriptionId, kSaveDialogTextChars);
    const std::string usage = ItemText(dialog, kSaveDialogUsageId, kSaveDialogTextChars);
    return SaveAndClose(dialog, name,
                        [&] { return BuildPresetFile(box, name, author, description, usage, category); });
}

INT_PTR SaveChordMemoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
    {
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        CenterWindowOnParent(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    const int command = LOWORD(wParam);
    if (command == IDCANCEL)
    {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (command != IDOK) return FALSE;
    auto* box = BoxOf<ChordMemoryPresetHandler>(dialog);
    if (box == nullptr) return TRUE;
    const std::string name = ItemText(dialog, kSaveDialogNameId, kSaveDialogNameChars);
    if (!MayWrite(dialog, UserChordMemoryExists(box->GetHost(), IsValidPresetName(name)))) return TRUE;
    return SaveAndClose(dialog, name, [&] { return box->SaveChordMemoryAs(name); });
}

bool BuildPresetFile(PresetHandler* box, const std::string& name, const std::string& author,
                     const std::string& description, const std::string& usage, int category)
{
    PresetHost* host = box->GetHost();
    PresetInfo texts;
    PresetInfo::SetField(texts.name, name.c_str());
    PresetInfo::SetField(texts.author, author.c_str());
    PresetInfo::SetField(texts.description, description.c_str());
    PresetInfo::SetField(texts.usage, usage.c_str());

    IStateChunk state;
    IStateChunk file;
    PresetInfo previous;
    bool built = false;
    {
        IEffectLockGuard guard(host->GetPresetLock());
        previous = host->GetPresetTexts();
        host->SetPresetTexts(texts);
        built = host->WritePresetState(&state) &&
                BuildPresetFileChunk(texts, static_cast<uint32_t>(host->GetParameterCount()), state, &file);
    }
    const bool saved = built && box->SavePresetAs(file, name, category);
    if (!saved)
    {
        IEffectLockGuard guard(host->GetPresetLock());
        host->SetPresetTexts(previous);
    }
    return saved;
}

bool UserPresetExists(PresetHost* host, const std::string& name)
{
    const std::string folder = host->GetPresetDataFolder("presets");
    return !folder.empty() && FindFileRecursive(name, folder + "User");
}

bool UserChordMemoryExists(PresetHost* host, const std::string& name)
{
    const std::string folder = host->GetPresetDataFolder("presets/chordmemory");
    return !folder.empty() && FindFileRecursive(name, folder + "User");
}

void CenterWindowOnParent(HWND window)
{
    HWND parent = GetParent(window);
    if (parent == nullptr) return;
    RECT outer{};
    RECT own{};
    if (!GetWindowRect(parent, &outer) || !GetWindowRect(window, &own)) return;
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = outer.left + ((outer.right - outer.left) - width) / 2;
    const int y = outer.top + ((outer.bottom - outer.top) - height) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
