#pragma once
// The seam between the window layer and a real desktop that shows its windows (the X11 backend in
// platform/x11/). The layer keeps doing the window work itself (windows, messages, timers, input
// routing, painting into surfaces); a desktop shows top-level windows' pixels on a screen, feeds
// the user's input back through the input calls of WindowSystem.h, and takes over the pieces the
// headless layer otherwise answers from scripts: popup menus, modal dialogs (message boxes are
// dialogs too) and the shell. It does so only for windows it shows; every other window keeps the headless
// answers.
//
// Threads: the user-interface thread only.

#include "platform/types/Win32Types.h"
#include "platform/win32/WindowSystem.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quova::win32
{

class NativeDesktop
{
public:
    virtual ~NativeDesktop() = default;
    // True when the top-level window `top` is shown by this desktop.
    virtual bool Shows(HWND top) = 0;
    // Runs a popup menu at the screen point until the user chooses an entry (its id) or dismisses
    // it (0). The menu keeps clear of `exclude` (screen coordinates; empty for none) where it can:
    // with no room below the point it opens above the rectangle. Its first level is at least
    // minWidth pixels wide.
    virtual UINT_PTR TrackMenu(const std::vector<MenuEntrySnapshot>& entries, int x, int y,
                               const RECT& exclude, int minWidth, HWND owner) = 0;
    // Shows the dialog window (made and initialised) and lets the user work in it until `ended`
    // answers true.
    virtual void RunModal(HWND dialog, const std::function<bool()>& ended) = 0;
    // Opens a file or web address with the desktop's opener; the ShellExecuteA result.
    virtual intptr_t Open(const std::string& operation, const std::string& file) = 0;
    // Part of a top-level window (in its client coordinates) shows new pixels.
    virtual void Damaged(HWND top, const RECT& area) = 0;
};

// Installs the desktop (null: none; the caller keeps it alive while installed).
void SetNativeDesktop(NativeDesktop* desktop);
// The desktop that shows the top-level window of `hwnd`, or null.
NativeDesktop* DesktopShowing(HWND hwnd);
// Tells the desktop showing `hwnd` that `area` (client coordinates of hwnd, clipped to it) changed.
void NoteDamage(HWND hwnd, const RECT& area);
// The top-level window above hwnd (hwnd itself when it is one); null for an invalid handle.
HWND TopLevelOf(HWND hwnd);

} // namespace quova::win32
