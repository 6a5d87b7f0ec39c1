// The built-in "COMBOBOX", "BUTTON" and "STATIC" classes, and the registration of every built-in
// class (with "EDIT" and the dialog class).
#include "platform/gdi/Gdi.h"
#include "platform/win32/ControlPainter.h"
#include "platform/win32/Dialogs.h"
#include "platform/win32/Input.h"
#include "platform/win32/Menu.h"
#include "platform/win32/Paint.h"
#include "platform/win32/WindowState.h"

#include <algorithm>
#include <cstring>

namespace quova::win32
{

namespace
{

struct ComboState : WindowExtra
{
    std::vector<std::string> items;
    int selection = -1;
};

ComboState* ComboOf(PlatformWindow* w)
{
    if (!w->extra) w->extra = std::make_unique<ComboState>();
    return static_cast<ComboState*>(w->extra.get());
}

struct ButtonState : WindowExtra
{
    bool spaceDown = false; // Space went down while the button had the keys
};

ButtonState* ButtonOf(PlatformWindow* w)
{
    if (!w->extra) w->extra = std::make_unique<ButtonState>();
    return static_cast<ButtonState*>(w->extra.get());
}

bool IsButton(HWND hwnd)
{
    return hwnd && ClassKey(hwnd->windowClass->name) == "BUTTON";
}

// A push button shows as the default one while it has the keys; the button made the default does
// while no push button beside it has them (Return presses that one).
bool ShowsAsDefault(HWND hwnd)
{
    HWND focus = GetFocus();
    if (focus == hwnd) return true;
    const bool otherHasKeys = IsButton(focus) && focus->parent == hwnd->parent;
    return (hwnd->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && !otherHasKeys;
}

// The keys moved to or from a button: it and the buttons beside it may change their look.
void InvalidateButtonsBeside(HWND hwnd)
{
    if (!hwnd->parent)
    {
        InvalidateRect(hwnd, nullptr, FALSE);
        return;
    }
    for (HWND sibling : hwnd->parent->children)
        if (IsButton(sibling)) InvalidateRect(sibling, nullptr, FALSE);
}

// WM_COMMAND with the notification code to the parent.
void NotifyParent(HWND hwnd, WORD code)
{
    if (hwnd->parent)
        SendMessageA(hwnd->parent, WM_COMMAND, MAKEWPARAM(static_cast<int>(hwnd->id), code),
                     reinterpret_cast<LPARAM>(hwnd));
}

LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer)
{
    auto* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

// Paints a control: its face, then what `draw` adds on the window's surface.
template <typename Draw> void PaintControl(HWND hwnd, Draw draw)
{
    PAINTSTRUCT ps;
    if (!BeginPaint(hwnd, &ps)) return;
    draw(hwnd->surface, RECT{0, 0, Width(hwnd), Height(hwnd)});
    EndPaint(hwnd, &ps);
}

// A button's or label's caption, drawn by DrawCaption ("&" underlines the next letter).
std::string CaptionOf(HWND hwnd)
{
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// A drop-down list: the entries as a popup menu under the box, as wide as the box or wider, the
// chosen one selected.
void DropDown(HWND hwnd, std::vector<std::string>& items, int& selection)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    for (size_t i = 0; i < items.size(); ++i)
        AppendMenuA(menu, MF_STRING | (static_cast<int>(i) == selection ? MF_CHECKED : 0u), i + 1,
                    items[i].c_str());
    POINT p{0, Height(hwnd)};
    ClientToScreen(hwnd, &p);
    // With no room below the box, the list opens above it.
    POINT topRight{Width(hwnd), 0};
    ClientToScreen(hwnd, &topRight);
    const TPMPARAMS box{sizeof(TPMPARAMS), RECT{p.x, topRight.y, topRight.x, p.y}};
    // The list is at least as wide as its box.
    const auto chosen = static_cast<int>(TrackPopupMenuMinWidth(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL, p.x, p.y, hwnd, &box, Width(hwnd)));
    DestroyMenu(menu);
    if (chosen <= 0 || !IsWindow(hwnd) || chosen - 1 == selection) return;
    selection = chosen - 1;
    InvalidateRect(hwnd, nullptr, FALSE);
    NotifyParent(hwnd, CBN_SELCHANGE);
}

// The arrow keys, Home and End choose the entry before, after, first or last.
void SelectByKey(HWND hwnd, ComboState* c, int key)
{
    const int last = static_cast<int>(c->items.size()) - 1;
    if (last < 0) return;
    int selection = c->selection;
    if (key == VK_UP || key == VK_LEFT)
        selection = std::max(0, selection - 1);
    else if (key == VK_DOWN || key == VK_RIGHT)
        selection = std::min(last, selection + 1);
    else if (key == VK_HOME)
        selection = 0;
    else if (key == VK_END)
        selection = last;
    if (selection == c->selection) return;
    c->selection = selection;
    InvalidateRect(hwnd, nullptr, FALSE);
    NotifyParent(hwnd, CBN_SELCHANGE);
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return 0;
    ButtonState* b = ButtonOf(w);
    switch (msg)
    {
    case WM_PAINT:
        PaintControl(
            hwnd,
            [hwnd, b](PixelSurface& s, const RECT& r)
            {
                const bool pressed = GetCapture() == hwnd || b->spaceDown;
                FillArea(s, r, pressed ? kSelectionColour : kFaceColour);
                FrameArea(s, r, ShowsAsDefault(hwnd) ? kHotColour : kFrameColour);
                // The button that has the keys shows a frame inside its border.
                if (GetFocus() == hwnd)
                    FrameArea(s, RECT{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3}, kFrameColour);
                DrawCaption(s, CaptionOf(hwnd), r, kTextColour, DT_CENTER);
            });
        return 0;
    case WM_SETTEXT:
        InvalidateRect(hwnd, nullptr, FALSE);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        b->spaceDown = false;
        InvalidateButtonsBeside(hwnd);
        return 0;
    case WM_LBUTTONDOWN:
        // A press gives the button the keys, as it does a text field.
        if (GetFocus() != hwnd) SetFocus(hwnd);
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
    {
        const bool had = GetCapture() == hwnd;
        ReleaseCapture();
        InvalidateRect(hwnd, nullptr, FALSE);
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if (had && x >= 0 && y >= 0 && x < Width(w) && y < Height(w)) NotifyParent(hwnd, BN_CLICKED);
        return 0;
    }
    case WM_KEYDOWN:
        // Space presses the button that has the keys; it clicks when the key comes up.
        if (static_cast<int>(wParam) == VK_SPACE && !b->spaceDown)
        {
            b->spaceDown = true;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_KEYUP:
        if (static_cast<int>(wParam) == VK_SPACE && b->spaceDown)
        {
            b->spaceDown = false;
            InvalidateRect(hwnd, nullptr, FALSE);
            NotifyParent(hwnd, BN_CLICKED);
        }
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void AddBuiltIn(WindowSystemState& state, const char* name, UINT style, WNDPROC proc)
{
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->style = style;
    cls->proc = proc;
    cls->builtIn = true;
    state.classes[ClassKey(name)] = cls;
}

} // namespace

LRESULT ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return 0;
    ComboState* c = ComboOf(w);
    const auto index = static_cast<intptr_t>(wParam);
    const bool valid = index >= 0 && index < static_cast<intptr_t>(c->items.size());
    switch (msg)
    {
    case WM_CREATE:
        // The window is the closed face, one line high at the top of the rectangle it is made with;
        // the rest of that rectangle is only room for the dropped list.
        if (Height(w) > FaceHeight())
            SetWindowPos(hwnd, nullptr, 0, 0, Width(w), FaceHeight(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    case WM_PAINT:
        PaintControl(
            hwnd,
            [hwnd, c](PixelSurface& s, const RECT& r)
            {
                FillArea(s, r, kFieldColour);
                FrameArea(s, r, kFrameColour);
                // The list that has the keys shows its entry selected.
                if (GetFocus() == hwnd)
                    FillArea(s, RECT{r.left + 2, r.top + 2, r.right - 18, r.bottom - 2}, kSelectionColour);
                const std::string shown =
                    c->selection >= 0 ? c->items[static_cast<size_t>(c->selection)] : std::string();
                DrawLabel(s, shown, RECT{r.left + 4, r.top, r.right - 18, r.bottom}, kTextColour, DT_LEFT);
                DrawArrowDown(s, RECT{r.right - 18, r.top, r.right - 2, r.bottom}, kTextColour);
            });
        return 0;
    case WM_LBUTTONDOWN:
        if (GetFocus() != hwnd) SetFocus(hwnd);
        DropDown(hwnd, c->items, c->selection);
        return 0;
    case WM_KEYDOWN:
        SelectByKey(hwnd, c, static_cast<int>(wParam));
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case CB_ADDSTRING:
        c->items.emplace_back(lParam ? reinterpret_cast<const char*>(lParam) : "");
        return static_cast<LRESULT>(c->items.size() - 1);
    case CB_RESETCONTENT:
        c->items.clear();
        c->selection = -1;
        return 0;
    case CB_GETCOUNT:
        return static_cast<LRESULT>(c->items.size());
    case CB_SETCURSEL:
        c->selection = valid ? static_cast<int>(index) : -1;
        InvalidateRect(hwnd, nullptr, FALSE);
        return valid ? index : CB_ERR;
    case CB_GETCURSEL:
        return c->selection;
    case CB_GETLBTEXTLEN:
        return valid ? static_cast<LRESULT>(c->items[static_cast<size_t>(index)].size()) : CB_ERR;
    case CB_GETLBTEXT:
    {
        if (!valid || !lParam) return CB_ERR;
        const std::string& text = c->items[static_cast<size_t>(index)];
        std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case WM_GETTEXT:
        return CopyText(c->selection >= 0 ? c->items[static_cast<size_t>(c->selection)] : std::string(),
                        wParam, lParam);
    case WM_GETTEXTLENGTH:
        return c->selection >= 0 ? static_cast<LRESULT>(c->items[static_cast<size_t>(c->selection)].size())
                                 : 0;
    case WM_SETTEXT:
        return FALSE; // a drop-down list shows only its entries
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_PAINT:
        PaintControl(hwnd,
                     [hwnd](PixelSurface& s, const RECT& r)
                     {
                         FillArea(s, r, kFaceColour);
                         DrawCaption(s, CaptionOf(hwnd), r, kTextColour, DT_LEFT);
                     });
        return 0;
    case WM_SETTEXT:
        InvalidateRect(hwnd, nullptr, FALSE);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void RegisterBuiltInClasses(WindowSystemState& state)
{
    AddBuiltIn(state, "EDIT", CS_DBLCLKS, EditControlProc);
    AddBuiltIn(state, "COMBOBOX", CS_DBLCLKS, ComboBoxProc);
    AddBuiltIn(state, "BUTTON", CS_DBLCLKS, ButtonProc);
    AddBuiltIn(state, "STATIC", 0, StaticProc);
    AddBuiltIn(state, kDialogClassName, CS_DBLCLKS, DialogWindowProc);
}

} // namespace quova::win32
