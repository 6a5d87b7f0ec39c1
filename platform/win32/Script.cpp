// Scripted answers of the user, and the records of menus, boxes, dialogs and shell calls.
#include "platform/win32/ScriptState.h"

#include "platform/win32/WindowState.h"

namespace quova::win32
{

ScriptState& Scripts()
{
    static ScriptState* scripts = new ScriptState();
    return *scripts;
}

void ScriptMenuAnswer(MenuAnswer answer)
{
    Scripts().menus.push_back(std::move(answer));
}

void ScriptMessageBoxAnswer(int answer)
{
    Scripts().messageBoxes.push_back({DialogStep::Press(answer)});
}

void ScriptMessageBox(std::vector<DialogStep> steps)
{
    Scripts().messageBoxes.push_back(std::move(steps));
}

void ScriptDialog(std::vector<DialogStep> steps)
{
    Scripts().dialogs.push_back(std::move(steps));
}

void ScriptFileDialogAnswer(std::string path)
{
    Scripts().files.push_back(std::move(path));
}

void ScriptColorAnswer(COLORREF colour)
{
    Scripts().colours.push_back(colour);
}

void ScriptShellExecuteResult(intptr_t result)
{
    Scripts().shellResult = result;
}

void ScriptOnline(bool online)
{
    Scripts().online = online;
}

const std::vector<ShownMenu>& ShownMenus()
{
    return Scripts().shownMenus;
}

const std::vector<ShownMessageBox>& ShownMessageBoxes()
{
    return Scripts().shownMessageBoxes;
}

const std::vector<ShownDialog>& ShownDialogs()
{
    return Scripts().shownDialogs;
}

const std::vector<ShellCall>& ShellCalls()
{
    return Scripts().shellCalls;
}

size_t PendingScriptedAnswers()
{
    const ScriptState& s = Scripts();
    return s.menus.size() + s.messageBoxes.size() + s.dialogs.size() + s.files.size() + s.colours.size();
}

void ResetScripts()
{
    Scripts() = ScriptState{};
    ResetRegistry();
}

} // namespace quova::win32
