#pragma once
// Internal: the scripted answers of the user and the records of what the layer showed.

#include "platform/win32/WindowSystem.h"

#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace quova::win32
{

struct ScriptState
{
    std::deque<MenuAnswer> menus;
    std::deque<std::vector<DialogStep>> messageBoxes;
    std::deque<std::vector<DialogStep>> dialogs;
    std::deque<std::string> files;
    std::deque<COLORREF> colours;
    intptr_t shellResult = 31; // SE_ERR_NOASSOC: nothing can be opened on a headless machine
    bool online = false;

    std::vector<ShownMenu> shownMenus;
    std::vector<ShownMessageBox> shownMessageBoxes;
    std::vector<ShownDialog> shownDialogs;
    std::vector<ShellCall> shellCalls;
};

ScriptState& Scripts();

// The registry's existing keys ("HKLM\\SOFTWARE\\WINE" form: root tag, upper-case path); guarded,
// since a probe may come from any thread.
std::mutex& RegistryLock();
std::set<std::string>& RegistryKeys();
void ResetRegistry();

// Mouse buttons held when a popup menu opened: the user lets them go inside the menu, so their
// release never reaches a window.
void SwallowHeldButtonReleases();

} // namespace quova::win32
