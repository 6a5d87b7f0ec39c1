// Modal dialogs over registered templates and message boxes (dialogs laid out here), worked by a
// desktop or by the script; file and colour dialogs.
#include "platform/win32/Dialogs.h"
#include "platform/win32/ControlPainter.h"
#include "platform/win32/NativeDesktop.h"
#include "platform/win32/Paint.h"

#include "platform/win32/EditControl.h"
#include "platform/win32/Input.h"
#include "platform/win32/ScriptState.h"
#include "platform/win32/WindowState.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <sstream>

namespace quova::win32
{

namespace
{

struct DialogState : WindowExtra
{
    DLGPROC proc = nullptr;
    bool ended = false;
    INT_PTR result = 0;
};

// The registered templates stand for the module's dialog resources: they stay for the life of the
// process, also when a test resets the window system.
std::map<std::string, DialogTemplate>& Templates()
{
    static auto* templates = new std::map<std::string, DialogTemplate>();
    return *templates;
}

std::string TemplateKey(LPCSTR name)
{
    if (!name) return {};
    if (IS_INTRESOURCE(name))
    {
        std::string key(1, '#');
        key.append(std::to_string(reinterpret_cast<uintptr_t>(name)));
        return key;
    }
    return name;
}

DialogState* DialogOf(HWND hwnd)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w || !w->windowClass || ClassKey(w->windowClass->name) != kDialogClassName || !w->extra)
        return nullptr;
    return static_cast<DialogState*>(w->extra.get());
}

// A message box: its text in lines over a row of buttons at the bottom right, laid out for the
// controls' font.
constexpr int kBoxButtonWidth = 80;
constexpr int kBoxButtonHeight = 24;
constexpr int kBoxButtonGap = 8;
constexpr int kBoxLineHeight = 18;
constexpr int kBoxMargin = 14;

struct BoxButton
{
    int id;
    const char* text; // "&" marks the letter that presses it with Alt
};

// The buttons a message box of this type offers, from the left; the first is the default.
std::vector<BoxButton> Buttons(UINT type)
{
    switch (type & MB_TYPEMASK)
    {
    case MB_OKCANCEL:
        return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL:
        return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
        return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    default:
        return {{IDOK, "OK"}};
    }
}

// The answer of a user who closes the box or presses Escape.
int CancelAnswer(UINT type)
{
    switch (type & MB_TYPEMASK)
    {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDCANCEL;
    }
}

DialogTemplate MessageBoxLayout(const std::string& text, const std::string& caption, UINT type)
{
    const std::vector<BoxButton> buttons = Buttons(type);
    const int buttonCount = static_cast<int>(buttons.size());
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    if (lines.empty()) lines.emplace_back();
    int width = buttonCount * (kBoxButtonWidth + kBoxButtonGap) + 2 * kBoxMargin;
    for (const auto& line : lines)
        width = std::max(width, LabelWidth(line) + 2 * kBoxMargin);
    const int textHeight = static_cast<int>(lines.size()) * kBoxLineHeight;

    DialogTemplate box;
    box.title = caption;
    box.width = width;
    box.height = kBoxMargin + textHeight + kBoxMargin + kBoxButtonHeight + kBoxMargin;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const int top = kBoxMargin + static_cast<int>(i) * kBoxLineHeight;
        box.items.push_back(
            DialogItemTemplate{-1 - static_cast<int>(i), "STATIC", lines[i], 0,
                               RECT{kBoxMargin, top, width - kBoxMargin, top + kBoxLineHeight}});
    }
    int left = width - kBoxMargin - buttonCount * (kBoxButtonWidth + kBoxButtonGap) + kBoxButtonGap;
    const int top = kBoxMargin + textHeight + kBoxMargin;
    for (const BoxButton& b : buttons)
    {
        const DWORD style = box.items.size() == lines.size() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        box.items.push_back(DialogItemTemplate{
            b.id, "BUTTON", b.text, style, RECT{left, top, left + kBoxButtonWidth, top + kBoxButtonHeight}});
        left += kBoxButtonWidth + kBoxButtonGap;
    }
    return box;
}

INT_PTR MessageBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG) return TRUE; // the default button gets the keys
    if (msg == WM_COMMAND)
    {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

std::string ItemText(HWND item)
{
    int length = static_cast<int>(SendMessageA(item, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied =
        static_cast<int>(SendMessageA(item, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<size_t>(copied));
    return text;
}

bool IsCombo(HWND item)
{
    return ClassKey(item->windowClass->name) == "COMBOBOX";
}

void SnapshotItems(HWND dialog, std::map<int, std::string>& texts,
                   std::map<int, std::vector<std::string>>* lists, std::map<int, int>* selections)
{
    for (HWND item : dialog->children)
    {
        const int id = static_cast<int>(item->id);
        texts[id] = ItemText(item);
        if (lists && IsCombo(item))
        {
            std::vector<std::string> entries;
            int count = static_cast<int>(SendMessageA(item, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i)
            {
                int len = static_cast<int>(SendMessageA(item, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
                std::string entry(static_cast<size_t>(len) + 1, '\0');
                SendMessageA(item, CB_GETLBTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(entry.data()));
                entry.resize(static_cast<size_t>(len));
                entries.push_back(entry);
            }
            (*lists)[id] = entries;
            (*selections)[id] = static_cast<int>(SendMessageA(item, CB_GETCURSEL, 0, 0));
        }
    }
}

void PressButton(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void RunStep(HWND dialog, const DialogStep& step)
{
    const bool onItem = step.kind == DialogStep::Kind::Type || step.kind == DialogStep::Kind::Select;
    HWND item = onItem ? GetDlgItem(dialog, step.id) : nullptr;
    switch (step.kind)
    {
    case DialogStep::Kind::Type:
        if (!item) return;
        if (ClassKey(item->windowClass->name) == "EDIT")
        {
            // The user empties the field and types, so the field's limit and any filter apply.
            SetFocus(item);
            SendMessageA(item, EM_SETSEL, 0, -1);
            SendMessageA(item, WM_CHAR, 8, 1);
            for (unsigned char c : step.text)
                SendMessageA(item, WM_CHAR, c, 1);
        }
        else
        {
            SendMessageA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.text.c_str()));
        }
        break;
    case DialogStep::Kind::Select:
        if (!item) return;
        SendMessageA(item, CB_SETCURSEL, static_cast<WPARAM>(step.index), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(step.id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item));
        break;
    case DialogStep::Kind::Press:
        PressButton(dialog, step.id);
        break;
    case DialogStep::Kind::Key:
        if (step.shift) InputKey(VK_SHIFT, true);
        if (step.alt) InputKey(VK_MENU, true);
        InputKey(step.key, true);
        InputKey(step.key, false);
        if (step.alt) InputKey(VK_MENU, false);
        if (step.shift) InputKey(VK_SHIFT, false);
        break;
    case DialogStep::Kind::Inspect:
        if (step.inspect) step.inspect(dialog);
        break;
    }
}

// Runs a dialog modally over parent: made from its layout, initialised, worked by the desktop that
// shows the parent or else by the next steps of the script (then Cancel), and destroyed; the keys
// then go back to the window that had them. Returns EndDialog's result (0 when it never ended);
// nothing when the window could not be made. With `shown`, the items' texts are recorded there.
std::optional<INT_PTR> RunModalDialog(const DialogTemplate& layout, HINSTANCE instance, HWND parent,
                                      DLGPROC dialogProc, LPARAM initParam,
                                      std::deque<std::vector<DialogStep>>& script, ShownDialog* shown)
{
    HWND before = GetFocus();
    if (!IsWindow(parent)) parent = nullptr;
    POINT origin{0, 0};
    if (parent) ClientToScreen(parent, &origin);
    HWND dialog = CreateWindowExA(0, kDialogClassName, layout.title.c_str(), WS_POPUP | WS_VISIBLE, origin.x,
                                  origin.y, layout.width, layout.height, parent, nullptr, instance, nullptr);
    if (!dialog) return std::nullopt;
    auto state = std::make_unique<DialogState>();
    DialogState* d = state.get();
    dialog->extra = std::move(state);
    HWND first = nullptr;
    for (const DialogItemTemplate& item : layout.items)
    {
        HWND h = CreateWindowExA(0, item.className.c_str(), item.text.c_str(),
                                 WS_CHILD | WS_VISIBLE | item.style, item.rect.left, item.rect.top,
                                 item.rect.right - item.rect.left, item.rect.bottom - item.rect.top, dialog,
                                 reinterpret_cast<HMENU>(static_cast<uintptr_t>(item.id)), instance, nullptr);
        // The dialog's keys first go to the first item that takes them: labels do not.
        if (h && !first && ClassKey(item.className) != "STATIC") first = h;
    }
    d->proc = dialogProc;

    if (dialogProc(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam) && IsWindow(first))
        FocusDialogItem(first);
    if (shown && IsWindow(dialog))
        SnapshotItems(dialog, shown->initialTexts, &shown->initialLists, &shown->initialSelections);

    std::vector<DialogStep> steps;
    if (NativeDesktop* desktop = IsWindow(dialog) ? DesktopShowing(parent) : nullptr)
        desktop->RunModal(dialog, [dialog, d] { return !IsWindow(dialog) || d->ended; });
    else if (!script.empty())
    {
        steps = std::move(script.front());
        script.pop_front();
        // A user who works in the new dialog has let go of the keys that opened it (Alt of Alt+O).
        for (int modifier : {VK_SHIFT, VK_CONTROL, VK_MENU})
            if (GetKeyState(modifier) < 0) InputKey(modifier, false);
    }
    for (const DialogStep& step : steps)
    {
        if (!IsWindow(dialog) || d->ended) break;
        RunStep(dialog, step);
        PumpMessages();
    }
    if (IsWindow(dialog) && !d->ended)
    {
        PressButton(dialog, IDCANCEL);
        PumpMessages();
    }
    INT_PTR result = 0;
    if (IsWindow(dialog))
    {
        if (shown)
        {
            SnapshotItems(dialog, shown->finalTexts, nullptr, nullptr);
            shown->abandoned = !d->ended;
        }
        result = d->ended ? d->result : 0;
        DestroyWindow(dialog);
    }
    if (shown) shown->result = result;
    if (IsWindow(before) && !GetFocus()) SetFocus(before);
    return result;
}

} // namespace

LRESULT DialogWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogState* d = DialogOf(hwnd);
    if (d && d->proc && d->proc(hwnd, msg, wParam, lParam)) return TRUE;
    if (msg == WM_PAINT)
    {
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps))
        {
            FillArea(hwnd->surface, ps.rcPaint, kFaceColour);
            EndPaint(hwnd, &ps);
        }
        return 0;
    }
    if (msg == WM_NEXTDLGCTL && d)
    {
        MoveDialogFocus(hwnd, wParam, lParam);
        return 0;
    }
    if (msg == WM_CLOSE && d)
    {
        // Closing a dialog is the Cancel button.
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace quova::win32

using namespace quova::win32;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    ShownMessageBox shown{owner, text ? text : "", caption ? caption : "Error", type, CancelAnswer(type)};
    const std::optional<INT_PTR> pressed =
        RunModalDialog(MessageBoxLayout(shown.text, shown.caption, type), nullptr, owner, MessageBoxProc, 0,
                       Scripts().messageBoxes, nullptr);
    for (const BoxButton& b : Buttons(type))
        if (pressed && b.id == *pressed) shown.answer = b.id;
    Scripts().shownMessageBoxes.push_back(shown);
    return shown.answer;
}

void RegisterDialogTemplateA(HINSTANCE, LPCSTR name, const DialogTemplate& dialogTemplate)
{
    std::string key = TemplateKey(name);
    if (!key.empty()) Templates()[key] = dialogTemplate;
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC dialogProc,
                        LPARAM initParam)
{
    const std::string key = TemplateKey(templateName);
    auto it = Templates().find(key);
    if (it == Templates().end() || !dialogProc)
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return -1;
    }
    const DialogTemplate layout = it->second;
    ShownDialog shown;
    shown.templateName = key;
    shown.title = layout.title;
    const std::optional<INT_PTR> result =
        RunModalDialog(layout, instance, parent, dialogProc, initParam, Scripts().dialogs, &shown);
    if (!result) return -1;
    Scripts().shownDialogs.push_back(std::move(shown));
    return *result;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    DialogState* d = DialogOf(dialog);
    if (!d) return FALSE;
    d->ended = true;
    d->result = result;
    return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int maxCount)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item)
    {
        if (buffer && maxCount > 0) buffer[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, buffer, maxCount));
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, msg, wParam, lParam) : 0;
}

namespace
{

BOOL FileDialog(OPENFILENAMEA* ofn)
{
    if (!ofn || ofn->lStructSize != sizeof(OPENFILENAMEA) || !ofn->lpstrFile) return FALSE;
    ScriptState& scripts = Scripts();
    if (scripts.files.empty()) return FALSE;
    std::string path = std::move(scripts.files.front());
    scripts.files.pop_front();
    if (path.size() + 1 > ofn->nMaxFile) return FALSE;
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    size_t slash = path.find_last_of("/\\");
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.find_last_of('.');
    ofn->nFileOffset = static_cast<WORD>(nameStart);
    ofn->nFileExtension =
        static_cast<WORD>(dot != std::string::npos && dot >= nameStart ? dot + 1 : path.size());
    return TRUE;
}

} // namespace

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn)
{
    return FileDialog(ofn);
}

BOOL GetSaveFileNameA(OPENFILENAMEA* ofn)
{
    return FileDialog(ofn);
}

BOOL ChooseColorA(CHOOSECOLORA* cc)
{
    if (!cc || cc->lStructSize != sizeof(CHOOSECOLORA)) return FALSE;
    ScriptState& scripts = Scripts();
    if (scripts.colours.empty()) return FALSE;
    cc->rgbResult = scripts.colours.front();
    scripts.colours.pop_front();
    return TRUE;
}
