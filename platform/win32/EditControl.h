#pragma once
// The built-in "EDIT" window class of the headless window layer: a text field.
//
// What this stand-in implements:
//  [x] creation text from the window name; styles ES_LEFT / ES_CENTER / ES_RIGHT, ES_MULTILINE
//  [x] WM_SETTEXT, WM_GETTEXT (up to wParam - 1 characters and a zero; returns the count),
//      WM_GETTEXTLENGTH, WM_SETFONT / WM_GETFONT, EM_SETSEL (-1 end = to the end, -1 start =
//      no selection), EM_GETSEL, EM_LIMITTEXT / EM_SETLIMITTEXT (0 = the largest limit),
//      EM_GETLIMITTEXT
//  [x] typing: WM_CHAR replaces the selection (refused when the limit would be passed), backspace
//      deletes the selection or the character before the caret; Enter in a multi-line field breaks
//      the line ("\r\n"); WM_KEYDOWN moves the caret (left, right, home, end) and deletes (Delete);
//      every change notifies the parent (WM_COMMAND, EN_CHANGE)
//  [x] WM_PAINT draws the text with the field's font through the GDI layer (DrawTextA)
//  [x] the mouse: a press gives the field the keys and puts the caret at the character boundary
//      nearest to the pointer, a drag with the button held selects, a double click selects the
//      word (a run of letters and digits, of blanks or of punctuation)
//  [ ] scrolling, undo, the clipboard, caret blinking

#include "platform/types/Win32Types.h"

inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_MULTILINE = 0x0004;

inline constexpr UINT EM_GETSEL = 0x00B0;
inline constexpr UINT EM_SETSEL = 0x00B1;
inline constexpr UINT EM_LIMITTEXT = 0x00C5;
inline constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
inline constexpr UINT EM_GETLIMITTEXT = 0x00D5;
