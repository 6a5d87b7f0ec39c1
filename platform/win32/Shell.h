#pragma once
// Shell, process and system queries of the headless layer.
//
// What this stand-in implements:
//  [x] SHGetSpecialFolderPathA: CSIDL_COMMON_APPDATA is $XDG_DATA_HOME when it is an absolute
//      path, else $HOME/.local/share (else the password database's home); CSIDL_DESKTOP and
//      CSIDL_DESKTOPDIRECTORY are ~/Desktop. No trailing slash; folders are joined with '/'.
//      With `create` the folder is made (with its parents) when missing. FALSE when no home is
//      known or the path does not fit MAX_PATH
//  [x] GetModuleFileNameA: the running program (null module) or the shared object / program that
//      holds the module's record, resolved to an absolute path
//  [x] GetVersion: a Windows NT family value (top bit clear)
//  [x] ShellExecuteA and InternetGetConnectedState: nothing is opened and nothing is dialled; the
//      answers come from the input source's script (WindowSystem.h). With nothing scripted the
//      machine is offline (FALSE) and opening fails with SE_ERR_NOASSOC (31). Every call is
//      recorded

#include "platform/types/Win32Types.h"

inline constexpr int MAX_PATH = 260;

inline constexpr int CSIDL_DESKTOP = 0x0000;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
inline constexpr int CSIDL_COMMON_APPDATA = 0x0023;

inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SE_ERR_NOASSOC = 31;

// Writes the folder into path (at least MAX_PATH bytes); TRUE on success.
BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR path, int csidl, BOOL create);
// Copies the module's path (up to size - 1 characters and a zero). Returns the length copied; when
// the path does not fit it is cut, the result is `size` and the error ERROR_INSUFFICIENT_BUFFER.
// 0 on failure.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// The platform version word: major in the low byte, minor in the next, build in the high word,
// top bit clear (Windows NT family).
DWORD GetVersion();
// "Opens" a file or address: records the call and returns the scripted value (above 32 means
// success; see above for the default). The result is an instance handle in form only.
HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand);
// TRUE when the scripted machine is online; *flags receives 0.
BOOL InternetGetConnectedState(DWORD* flags, DWORD reserved);
