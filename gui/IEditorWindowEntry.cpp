// IEditorWindow: the text field for typed values (its window procedure and character filter) and
// the native popup menu.
#include <cstdio>

#include "framework/IParameter.h"
#include "gui/IControl.h"
#include "gui/IEditorWindow.h"
#include "gui/IPopupMenu.h"
#include "platform/gdi/Gdi.h"
#include "platform/win32/Win32.h"

namespace
{

// A field's WM_COMMAND with this notification code commits it.
constexpr WORD kCommitNotification = 1;

bool IsDigit(WPARAM c)
{
    return c >= '0' && c <= '9';
}

// Characters a field accepts for a parameter: a double takes a signed decimal number; bool, int
// and enumerated parameters take signed integers and note names (A..G, a..g and '#').
bool AcceptsCharacter(const IParameter* parameter, WPARAM c)
{
    if (IsDigit(c) || c == '+' || c == '-') return true;
    if (parameter != nullptr && parameter->GetType() == IParameter::kTypeDouble) return c == '.';
    return (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g') || c == '#';
}

DWORD AlignmentStyle(int32_t alignment)
{
    switch (alignment)
    {
    case ITextStyle::kAlignCentre:
        return ES_CENTER;
    case ITextStyle::kAlignRight:
        return ES_RIGHT;
    default:
        return ES_LEFT;
    }
}

} // namespace

// ---- text entry ------------------------------------------------------------------------------------

void IEditorWindow::ShowTextEntry(IControl* control, const ITextStyle& style, const IRectangle& rect,
                                  const char* text, IParameter* parameter)
{
    if (OffEditorThread()) return;
    if (editWindow_ != nullptr || window_ == nullptr || control == nullptr) return;
    HWND field =
        CreateWindowExA(0, "EDIT", text != nullptr ? text : "",
                        WS_CHILD | WS_VISIBLE | ES_MULTILINE | AlignmentStyle(style.alignment), rect.left,
                        rect.top, rect.Width() + 1, rect.Height() + 1, window_,
                        reinterpret_cast<HMENU>(static_cast<uintptr_t>(kEditFieldId)), instance_, nullptr);
    if (field == nullptr) return;
    editFont_ = CreateFontA(
        style.size, 0, 0, 0, style.style == ITextStyle::kStyleBold ? FW_BOLD : FW_DONTCARE,
        style.style == ITextStyle::kStyleItalic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, style.face);
    if (editFont_ != nullptr) SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(editFont_), FALSE);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, EM_LIMITTEXT, static_cast<WPARAM>(control->GetEntryMaxChars()), 0);
    SetFocus(field);
    editOldProc_ =
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IEditorWindow::EditProc));
    SetWindowLongPtrA(field, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editWindow_ = field;
    editedControl_ = control;
    editedParameter_ = parameter;
}

void IEditorWindow::DestroyTextEntry()
{
    if (editWindow_ != nullptr)
    {
        SetWindowLongPtrA(editWindow_, GWLP_WNDPROC, editOldProc_);
        DestroyWindow(editWindow_);
    }
    if (editFont_ != nullptr) DeleteObject(reinterpret_cast<HGDIOBJ>(editFont_));
    editWindow_ = nullptr;
    editFont_ = nullptr;
    editOldProc_ = 0;
    editedControl_ = nullptr;
    editedParameter_ = nullptr;
}

LRESULT IEditorWindow::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* editor = reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (editor == nullptr || editor->editWindow_ != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg)
    {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN)
        {
            editor->textEntryState_ = kEntryCommit;
            return 0;
        }
        break;
    case WM_SETFOCUS:
        editor->textEntryState_ = kEntryEditing;
        break;
    case WM_KILLFOCUS:
        editor->textEntryState_ = kEntryCancel;
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == kCommitNotification)
        {
            editor->textEntryState_ = kEntryCommit;
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam != VK_BACK && !AcceptsCharacter(editor->editedParameter_, wParam)) return 0;
        break;
    default:
        break;
    }
    return CallWindowProcA(reinterpret_cast<WNDPROC>(editor->editOldProc_), hwnd, msg, wParam, lParam);
}

// ---- popup menus -------------------------------------------------------------------------------------

IPopupMenu* IEditorWindow::ShowPopupMenu(IPopupMenu* menu, const IRectangle& rect)
{
    if (OffEditorThread()) return nullptr;
    ReleaseMouseCapture();
    if (menu == nullptr || window_ == nullptr || menu->CountItems() == 0) return nullptr;
    POINT p{rect.left, rect.bottom};
    ClientToScreen(window_, &p);
    // The menu keeps clear of the control it opens from (with no room below, it opens above it).
    POINT topRight{rect.right, rect.top};
    ClientToScreen(window_, &topRight);
    const TPMPARAMS field{sizeof(TPMPARAMS), RECT{p.x, topRight.y, topRight.x, p.y}};
    HMENU native = CreatePopupMenu();
    if (native == nullptr) return nullptr;
    IPopupMenu* result = nullptr;
    if (BuildMenu(menu, native))
    {
        const BOOL id =
            TrackPopupMenuEx(native, TPM_NONOTIFY | TPM_RETURNCMD | TPM_VERTICAL, p.x, p.y, window_, &field);
        if (id > 0)
        {
            menu->SetChosenIndex(id);
            result = menu;
        }
    }
    DestroyMenu(native);
    return result;
}

bool IEditorWindow::BuildMenu(const IPopupMenu* menu, HMENU native)
{
    for (int i = 0; i < menu->CountItems(); ++i)
    {
        const IPopupMenuEntry* entry = menu->GetItem(i);
        if (entry->HasFlag(IPopupMenuEntry::kSeparator))
        {
            AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char text[512];
        const int position = i + 1;
        switch (menu->GetPrefixMode())
        {
        case IPopupMenu::kPrefixOneDigit:
            std::snprintf(text, sizeof text, "%1d: %s", position, entry->GetText());
            break;
        case IPopupMenu::kPrefixTwoDigits:
            std::snprintf(text, sizeof text, "%02d: %s", position, entry->GetText());
            break;
        case IPopupMenu::kPrefixThreeDigits:
            std::snprintf(text, sizeof text, "%03d: %s", position, entry->GetText());
            break;
        default:
            std::snprintf(text, sizeof text, "%s", entry->GetText());
            break;
        }
        if (const IPopupMenu* submenu = entry->GetSubmenu())
        {
            HMENU nativeSubmenu = CreatePopupMenu();
            if (nativeSubmenu == nullptr) return false;
            // The submenu belongs to the native menu once appended (DestroyMenu takes it along).
            if (!AppendMenuA(native, MF_POPUP, reinterpret_cast<UINT_PTR>(nativeSubmenu), text))
            {
                DestroyMenu(nativeSubmenu);
                return false;
            }
            if (!BuildMenu(submenu, nativeSubmenu)) return false;
            continue;
        }
        UINT flags = MF_STRING;
        if (entry->HasFlag(IPopupMenuEntry::kDisabled)) flags |= MF_GRAYED;
        if (entry->HasFlag(IPopupMenuEntry::kTitle)) flags |= MF_DISABLED;
        if (entry->HasFlag(IPopupMenuEntry::kChecked)) flags |= MF_CHECKED;
        AppendMenuA(native, flags, static_cast<UINT_PTR>(entry->GetId()), text);
    }
    return true;
}
