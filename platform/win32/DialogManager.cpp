// The dialog manager: the keys of a dialog. The message loop hands each key press meant for a
// dialog or one of its items to IsDialogMessageA first, so every dialog (and every message box,
// which is a dialog too) answers the keyboard the same way, whatever its procedure does:
//   Tab / Shift+Tab   the next / previous item that takes the keys, in the order of the layout
//   Return            the push button that has the keys, else the default button (IDOK without one)
//   Escape            IDCANCEL
//   Alt + letter      the button whose caption underlines that letter ("&OK": Alt+O)
#include "platform/win32/Dialogs.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/Input.h"
#include "platform/win32/WindowState.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace quova::win32
{

namespace
{

bool IsClass(HWND w, const char* key)
{
    return ClassKey(w->windowClass->name) == key;
}

bool IsShownAndEnabled(HWND w)
{
    return (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

bool IsPushButton(HWND item)
{
    return IsClass(item, "BUTTON") && (item->style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
}

// Text fields, lists and buttons take the keys; labels do not.
bool IsTabStop(HWND item)
{
    return IsShownAndEnabled(item) &&
           (IsClass(item, "EDIT") || IsClass(item, "COMBOBOX") || IsClass(item, "BUTTON"));
}

std::vector<HWND> TabStops(HWND dialog)
{
    std::vector<HWND> stops;
    for (HWND item : dialog->children)
        if (IsTabStop(item)) stops.push_back(item);
    return stops;
}

// The dialog's item that has the keys (or holds the window that has them); null when none does.
HWND FocusedItem(HWND dialog)
{
    HWND f = GetFocus();
    while (f && f->parent != dialog)
        f = f->parent;
    return f;
}

int DefaultButtonId(HWND dialog)
{
    for (HWND item : dialog->children)
        if (IsClass(item, "BUTTON") && (item->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return static_cast<int>(item->id);
    return IDOK;
}

// The letter after a single "&" of a caption, in upper case; 0 when the caption marks none.
int Mnemonic(const std::string& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i)
    {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&')
        {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(caption[i + 1]));
    }
    return 0;
}

// Presses the item as a click does (WM_COMMAND, BN_CLICKED to the dialog); a hidden or disabled
// item is not pressed. An id no item has is still sent, as a dialog answers IDOK and IDCANCEL
// without buttons of its own.
void Press(HWND dialog, int id)
{
    HWND item = nullptr;
    for (HWND child : dialog->children)
        if (static_cast<int>(child->id) == id) item = item ? item : child;
    if (item && !IsShownAndEnabled(item)) return;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
}

} // namespace

void FocusDialogItem(HWND item)
{
    SetFocus(item);
    if (IsWindow(item) && IsClass(item, "EDIT")) SendMessageA(item, EM_SETSEL, 0, -1);
}

void MoveDialogFocus(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    if (lParam)
    {
        HWND item = reinterpret_cast<HWND>(wParam);
        if (IsWindow(item) && item != dialog && IsSelfOrAncestor(dialog, item)) FocusDialogItem(item);
        return;
    }
    const std::vector<HWND> stops = TabStops(dialog);
    if (stops.empty()) return;
    const bool backward = wParam != 0;
    const size_t count = stops.size();
    const auto at = std::find(stops.begin(), stops.end(), FocusedItem(dialog));
    size_t next = backward ? count - 1 : 0;
    if (at != stops.end())
    {
        const auto i = static_cast<size_t>(at - stops.begin());
        next = backward ? (i + count - 1) % count : (i + 1) % count;
    }
    FocusDialogItem(stops[next]);
}

bool RouteDialogKey(MSG& msg)
{
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || !IsWindow(msg.hwnd)) return false;
    for (HWND w = msg.hwnd; w; w = w->parent)
        if (IsClass(w, kDialogClassName)) return IsDialogMessageA(w, &msg) != FALSE;
    return false;
}

} // namespace quova::win32

using namespace quova::win32;

BOOL IsDialogMessageA(HWND dialog, MSG* msg)
{
    if (!msg || !IsWindow(dialog) || !IsWindow(msg->hwnd) || !IsSelfOrAncestor(dialog, msg->hwnd))
        return FALSE;
    const int key = static_cast<int>(msg->wParam);
    if (msg->message == WM_KEYDOWN)
    {
        switch (key)
        {
        case VK_TAB:
            MoveDialogFocus(dialog, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, FALSE);
            return TRUE;
        case VK_RETURN:
        {
            HWND focused = FocusedItem(dialog);
            Press(dialog,
                  focused && IsPushButton(focused) ? static_cast<int>(focused->id) : DefaultButtonId(dialog));
            return TRUE;
        }
        case VK_ESCAPE:
            Press(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    }
    const bool letterOrDigit = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    if (msg->message != WM_SYSKEYDOWN || !letterOrDigit) return FALSE;
    for (HWND item : dialog->children)
    {
        if (IsClass(item, "BUTTON") && IsShownAndEnabled(item) && Mnemonic(item->title) == key)
        {
            Press(dialog, static_cast<int>(item->id));
            break;
        }
    }
    // Alt with a letter no button underlines does nothing in a dialog.
    return TRUE;
}
