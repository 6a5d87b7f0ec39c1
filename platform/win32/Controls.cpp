// The built-in "COMBOBOX", "BUTTON" and "STATIC" classes, and the registration of every built-in
// class (with "EDIT" and the dialog class).
#include "platform/win32/Dialogs.h"
#include "platform/win32/Input.h"
#include "platform/win32/WindowState.h"

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

LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer)
{
    auto* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return 0;
    switch (msg)
    {
    case WM_LBUTTONDOWN:
        SetCapture(hwnd);
        return 0;
    case WM_LBUTTONUP:
    {
        const bool had = GetCapture() == hwnd;
        ReleaseCapture();
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if (had && x >= 0 && y >= 0 && x < Width(w) && y < Height(w) && w->parent)
            SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<int>(w->id), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
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
    return DefWindowProcA(hwnd, msg, wParam, lParam);
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
