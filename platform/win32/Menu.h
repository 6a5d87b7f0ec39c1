#pragma once
// Popup menus of the headless window layer.
//
// What this stand-in implements:
//  [x] CreatePopupMenu, AppendMenuA (MF_STRING, MF_SEPARATOR, MF_POPUP with a submenu handle in
//      place of the id, MF_GRAYED, MF_DISABLED, MF_CHECKED), GetMenuItemCount, DestroyMenu (which
//      destroys the submenus appended to it)
//  [x] TrackPopupMenu: nobody is there to pick, so the answer comes from the script of the input
//      source (quova::win32 menu script, WindowSystem.h): an entry chosen by id or by its texts, or
//      a dismissal. With nothing scripted the user dismisses the menu. A grey or disabled entry,
//      a separator, a submenu header or an id the menu lacks cannot be chosen: the menu is
//      dismissed. TPM_RETURNCMD returns the chosen id (0 when dismissed); without it the choice
//      is posted to the owner as WM_COMMAND and the result is TRUE when something was chosen
//      (TPM_NONOTIFY is accepted and changes nothing here)
//  [x] TrackPopupMenuEx: the same, with a rectangle the menu keeps clear of (TPMPARAMS'
//      rcExclude, screen coordinates: the field the menu belongs to), recorded with the menu and
//      handed to the desktop: a menu with no room below opens above the rectangle
//  [x] the layer's own TrackPopupMenuMinWidth: the same with a narrowest width (a drop-down list
//      is as wide as its box), recorded and handed on likewise
//  [x] the menu runs its own modal loop: it takes the mouse capture away, and a button held when it
//      opened is let go inside it, so that release never reaches a window
//  [x] every shown menu is recorded (entries, flags, ids, submenus, point, owner) for tests

#include "platform/types/Win32Types.h"

inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_SEPARATOR = 0x0800;

inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_VERTICAL = 0x0040;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

// A new empty popup menu; null only when memory runs out.
HMENU CreatePopupMenu();
// Appends an entry: the text and `idOrSubmenu` (a command id, or the HMENU of a submenu with
// MF_POPUP, which this menu then owns). FALSE for an invalid menu or submenu.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCSTR text);
// Number of entries, -1 for an invalid menu.
int GetMenuItemCount(HMENU menu);
// Destroys the menu and its submenus; FALSE for an invalid handle.
BOOL DestroyMenu(HMENU menu);
// Shows the menu at the screen point (x, y) for the owner window and waits for the user (the
// script). `reserved` must be 0; `rect` is ignored.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);

struct TPMPARAMS
{
    UINT cbSize;
    RECT rcExclude;
};
// TrackPopupMenu with a rectangle (screen coordinates) the menu keeps clear of; params may be null.
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);

namespace quova::win32
{
// TrackPopupMenuEx for a menu whose first level shows at least minWidth pixels wide: the list of a
// drop-down box, as wide as its box (params' rectangle).
BOOL TrackPopupMenuMinWidth(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params,
                            int minWidth);
} // namespace quova::win32
