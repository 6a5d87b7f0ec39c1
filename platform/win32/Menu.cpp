// Popup menus: building, destroying, and TrackPopupMenu answered by the script.
#include "platform/win32/Menu.h"

#include "platform/win32/NativeDesktop.h"
#include "platform/win32/ScriptState.h"
#include "platform/win32/WindowState.h"

#include <algorithm>
#include <set>

struct PlatformMenu
{
    PlatformMenu() = default;
    PlatformMenu(const PlatformMenu&) = delete;
    PlatformMenu& operator=(const PlatformMenu&) = delete;

    struct Item
    {
        std::string text;
        UINT flags = 0;
        UINT_PTR id = 0;
        HMENU submenu = nullptr;
    };
    std::vector<Item> items;
    bool attached = false; // appended to another menu as a submenu
};

namespace quova::win32
{

namespace
{

std::set<HMENU>& LiveMenus()
{
    static std::set<HMENU>* menus = new std::set<HMENU>();
    return *menus;
}

bool Selectable(const PlatformMenu::Item& item)
{
    return !(item.flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP));
}

std::vector<MenuEntrySnapshot> Snapshot(HMENU menu)
{
    std::vector<MenuEntrySnapshot> out;
    for (const auto& item : menu->items)
    {
        MenuEntrySnapshot e;
        e.text = item.text;
        e.flags = item.flags;
        e.id = (item.flags & MF_POPUP) ? 0 : item.id;
        if (item.submenu) e.submenu = Snapshot(item.submenu);
        out.push_back(std::move(e));
    }
    return out;
}

// The id when an entry with it can be chosen (searching submenus that can be opened); else 0.
UINT_PTR ChoosableId(HMENU menu, UINT_PTR id)
{
    for (const auto& item : menu->items)
    {
        if (item.submenu)
        {
            if (!(item.flags & (MF_GRAYED | MF_DISABLED)))
                if (UINT_PTR found = ChoosableId(item.submenu, id)) return found;
            continue;
        }
        if (item.id == id && Selectable(item)) return id;
    }
    return 0;
}

UINT_PTR ChoosableByTexts(HMENU menu, const std::vector<std::string>& texts)
{
    HMENU level = menu;
    for (size_t i = 0; i < texts.size(); ++i)
    {
        const bool last = i + 1 == texts.size();
        const PlatformMenu::Item* hit = nullptr;
        for (const auto& item : level->items)
        {
            if (item.text == texts[i] && !(item.flags & MF_SEPARATOR))
            {
                hit = &item;
                break;
            }
        }
        if (!hit) return 0;
        if (last) return Selectable(*hit) ? hit->id : 0;
        if (!hit->submenu || (hit->flags & (MF_GRAYED | MF_DISABLED))) return 0;
        level = hit->submenu;
    }
    return 0;
}

void Destroy(HMENU menu)
{
    for (auto& item : menu->items)
        if (item.submenu && LiveMenus().count(item.submenu)) Destroy(item.submenu);
    LiveMenus().erase(menu);
    delete menu;
}

} // namespace

} // namespace quova::win32

using namespace quova::win32;

HMENU CreatePopupMenu()
{
    HMENU menu = new PlatformMenu();
    LiveMenus().insert(menu);
    return menu;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCSTR text)
{
    if (!menu || !LiveMenus().count(menu))
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    PlatformMenu::Item item;
    item.flags = flags;
    if (flags & MF_POPUP)
    {
        auto sub = reinterpret_cast<HMENU>(idOrSubmenu);
        if (!sub || sub == menu || !LiveMenus().count(sub) || sub->attached)
        {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        sub->attached = true;
        item.submenu = sub;
    }
    else
    {
        item.id = idOrSubmenu;
    }
    if (!(flags & MF_SEPARATOR)) item.text = text ? text : "";
    menu->items.push_back(std::move(item));
    return TRUE;
}

int GetMenuItemCount(HMENU menu)
{
    if (!menu || !LiveMenus().count(menu)) return -1;
    return static_cast<int>(menu->items.size());
}

BOOL DestroyMenu(HMENU menu)
{
    if (!menu || !LiveMenus().count(menu))
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Destroy(menu);
    return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT*)
{
    if (reserved != 0) return FALSE;
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params)
{
    return TrackPopupMenuMinWidth(menu, flags, x, y, owner, params, 0);
}

BOOL quova::win32::TrackPopupMenuMinWidth(HMENU menu, UINT flags, int x, int y, HWND owner,
                                          const TPMPARAMS* params, int minWidth)
{
    if (!menu || !LiveMenus().count(menu) || !IsWindow(owner)) return FALSE;
    ScriptState& scripts = Scripts();
    ShownMenu shown;
    shown.entries = Snapshot(menu);
    shown.x = x;
    shown.y = y;
    if (params != nullptr) shown.exclude = params->rcExclude;
    shown.minWidth = std::max(0, minWidth);
    shown.flags = flags;
    shown.owner = owner;

    MenuAnswer answer;
    if (NativeDesktop* desktop = DesktopShowing(owner))
    {
        // The user chooses on a real screen; only an entry that can be chosen counts.
        answer.kind = MenuAnswer::Kind::ById;
        answer.id = desktop->TrackMenu(shown.entries, x, y, shown.exclude, shown.minWidth, owner);
    }
    else if (!scripts.menus.empty())
    {
        answer = std::move(scripts.menus.front());
        scripts.menus.pop_front();
    }
    UINT_PTR chosen = 0;
    switch (answer.kind)
    {
    case MenuAnswer::Kind::Dismiss:
        break;
    case MenuAnswer::Kind::ById:
        chosen = answer.id ? ChoosableId(menu, answer.id) : 0;
        break;
    case MenuAnswer::Kind::ByTexts:
        chosen = ChoosableByTexts(menu, answer.texts);
        break;
    case MenuAnswer::Kind::ByFunction:
    {
        UINT_PTR id = answer.choose ? answer.choose(shown) : 0;
        chosen = id ? ChoosableId(menu, id) : 0;
        break;
    }
    }
    shown.chosen = chosen;
    scripts.shownMenus.push_back(std::move(shown));
    // The menu ran its own modal loop: buttons held when it opened were let go inside it.
    SwallowHeldButtonReleases();

    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen == 0) return FALSE;
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(static_cast<int>(chosen), 0), 0);
    return TRUE;
}
