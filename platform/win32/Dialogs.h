#pragma once
// Message boxes, modal dialogs and the common dialogs of the headless window layer.
//
// What this stand-in implements:
//  [x] DialogBoxParamA over dialog templates registered with RegisterDialogTemplateA (in place of
//      dialog resources): a dialog window with child items of the classes "EDIT", "COMBOBOX",
//      "BUTTON" and "STATIC"; WM_INITDIALOG to the dialog procedure (answered TRUE, the first item
//      that is not a label gets the keys, a text field with its whole text selected; answered
//      FALSE, the procedure gave them itself, e.g. with WM_NEXTDLGCTL), then the scripted steps
//      (type a text, select a list entry, press a button: WM_COMMAND, press keys), until
//      EndDialog. When the script runs out the user presses Cancel (WM_COMMAND IDCANCEL); a dialog
//      that still stays open is closed with the result 0. A template that is not registered: -1.
//      When the dialog is gone the keys go back to the window that had them
//  [x] the dialog manager's keys (IsDialogMessageA, which the message loop calls for every key
//      press meant for a dialog): Tab and Shift+Tab move the keys between the items that take
//      them (text fields, lists, buttons) in the order of the template; Return presses the push
//      button that has the keys, else the default button (BS_DEFPUSHBUTTON; IDOK without one);
//      Escape is IDCANCEL; Alt with the letter a button's caption marks with "&" presses it (the
//      letter is drawn underlined). A push button or a list takes the keys when pressed; the
//      button that has them shows a frame inside its border, and Space presses it; the arrows,
//      Home and End choose a list's entry
//  [x] MessageBoxA: a dialog of the layer laid out for the text and the buttons of its type (the
//      first the default; "&Yes", "&No", "&Abort", "&Retry", "&Ignore" underline a letter). Its
//      user is the script of the input source (WindowSystem.h: a button, or steps such as keys);
//      with nothing scripted, or with a scripted button the box does not offer, the user cancels:
//      IDOK for MB_OK, IDNO for MB_YESNO, IDABORT for MB_ABORTRETRYIGNORE, otherwise IDCANCEL.
//      Every box is recorded (owner, text, caption, type, answer)
//  [x] EndDialog, SetDlgItemTextA, GetDlgItemTextA, SendDlgItemMessageA, and the combo-box
//      messages CB_ADDSTRING, CB_SETCURSEL, CB_GETCURSEL, CB_GETCOUNT, CB_GETLBTEXT,
//      CB_GETLBTEXTLEN, CB_RESETCONTENT. A combo box's window is its closed face, one line of the
//      controls' font high at the top of the rectangle it is made with; the rest of that rectangle
//      is room for the dropped list only
//  [x] item rectangles are pixels of a layout made for the controls' font (ControlPainter.h): a
//      label must be as wide as its text in that font
//  [x] GetOpenFileNameA / GetSaveFileNameA and ChooseColorA: the scripted path or colour, else the
//      user cancels (FALSE)
//  [ ] dialog templates from binary resources, WS_TABSTOP and WS_GROUP, mnemonics of labels

#include "platform/types/Win32Types.h"
#include "platform/win32/Window.h"

#include <string>
#include <vector>

// MessageBoxA types and answers.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr UINT MB_ICONINFORMATION = 0x00000040;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Combo-box messages.
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr LRESULT CB_ERR = -1;

// Combo-box and button styles the templates use.
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_TYPEMASK = 0x000F;

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// Shows a message box owned by `owner` and returns the button pressed (see above).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// One item of a dialog template.
struct DialogItemTemplate
{
    int id;                // the item's id (IDOK, IDCANCEL or the program's own)
    std::string className; // "EDIT", "COMBOBOX", "BUTTON" or "STATIC"
    std::string text;      // initial text (a button's or label's caption)
    DWORD style;           // item styles besides WS_CHILD | WS_VISIBLE
    RECT rect;             // position in the dialog's client area
};

// A dialog layout, registered under a name or an integer id in place of a dialog resource.
struct DialogTemplate
{
    std::string title;
    int width = 0;
    int height = 0;
    std::vector<DialogItemTemplate> items;
};

// Registers (or replaces) the template `name` (a text or MAKEINTRESOURCEA id) of a module.
// Call at start-up, from one thread, before the dialog is shown.
void RegisterDialogTemplateA(HINSTANCE instance, LPCSTR name, const DialogTemplate& dialogTemplate);

// Runs the dialog `templateName` modally over `parent`: WM_INITDIALOG (wParam: the first item,
// lParam: initParam), the script, and returns EndDialog's result; -1 when the template or the
// procedure is missing.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC dialogProc,
                        LPARAM initParam);
// The dialog manager's handling of a message for `dialog` or an item in it (see above): TRUE when
// it was the dialog's key and is handled, so it must be neither translated nor dispatched.
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
// Ends the modal dialog with `result` once the current message is handled. FALSE for a window
// that is not a running dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
// Copies up to maxCount - 1 characters of the item's text and a zero; returns the count copied
// (0 when the item does not exist).
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int maxCount);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);

// The common file dialogs.
struct OPENFILENAMEA
{
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPSTR lpstrFile;
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPVOID lpfnHook;
    LPCSTR lpTemplateName;
    LPVOID pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};

inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

// The scripted path goes into lpstrFile (with nFileOffset / nFileExtension); FALSE when the user
// cancels or the buffer is too small for the path.
BOOL GetOpenFileNameA(OPENFILENAMEA* ofn);
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn);

struct CHOOSECOLORA
{
    DWORD lStructSize;
    HWND hwndOwner;
    HWND hInstance;
    COLORREF rgbResult;
    COLORREF* lpCustColors;
    DWORD Flags;
    LPARAM lCustData;
    LPVOID lpfnHook;
    LPCSTR lpTemplateName;
};

inline constexpr DWORD CC_RGBINIT = 0x00000001;
inline constexpr DWORD CC_FULLOPEN = 0x00000002;

// The scripted colour goes into rgbResult; FALSE when the user cancels.
BOOL ChooseColorA(CHOOSECOLORA* cc);
