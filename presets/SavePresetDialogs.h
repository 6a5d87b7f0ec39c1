// The two "Save preset" dialogs: one for pattern presets (category, name, author, description,
// usage) and one for chord-memory sets (name only), with what they run when confirmed.
//
// A name must have at least 4 characters (the dialog keeps at most 31); it is vetted with
// IsValidPresetName, and when a file of the vetted name exists anywhere in the user tree the user
// is asked before it is overwritten. A failed save says so in a message box and leaves the dialog
// open.
//
// The keyboard is the window layer's dialog manager's: Return or keypad Enter is "&OK", Escape
// "&Cancel", Alt+O and Alt+C press them, Tab and Shift+Tab walk the fields from the top down and
// then the buttons. The name field has the keys, its text selected, when a dialog opens.
//
// Threads: the editor's thread (the dialogs are modal).
#pragma once

#include <string>

#include "platform/win32/Dialogs.h"

class ChordMemoryPresetHandler;
class PresetHandler;
class PresetHost;

// Dialog item ids.
inline constexpr int kSaveDialogAuthorId = 10001;
inline constexpr int kSaveDialogDescriptionId = 10002;
inline constexpr int kSaveDialogUsageId = 10003;
inline constexpr int kSaveDialogNameId = 10004;
inline constexpr int kSaveDialogTypeId = 10013;
// Template names the dialogs are registered under.
inline constexpr const char* kSavePresetDialogName = "SAVE_PRESET";
inline constexpr const char* kSaveChordMemoryDialogName = "SAVE_CHORD_MEMORY";
// Texts the dialogs show.
inline constexpr const char* kOverwriteQuestion = "Do you want to overwrite the existing file?";
inline constexpr const char* kOverwriteCaption = "File exists!";
inline constexpr const char* kSaveFailedText = "The file could not be saved.";
// Longest texts taken from the fields.
inline constexpr int kSaveDialogNameChars = 31;
inline constexpr int kSaveDialogTextChars = 254;
inline constexpr int kMinPresetNameLength = 4;

// Registers both dialog layouts for module instance (once, at start-up).
void RegisterSavePresetDialogs(HINSTANCE instance);

// Runs the dialogs modally over the editor's window. Result 1: saved; 2: cancelled; 0: closed
// otherwise; -1: the dialog could not be shown (not registered).
INT_PTR OpenSavePresetDialog(PresetHandler* box);
INT_PTR OpenSaveChordMemoryDialog(ChordMemoryPresetHandler* box);

// The dialog procedures (lParam of WM_INITDIALOG: the box).
INT_PTR SavePresetDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR SaveChordMemoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Stores the texts as the plug-in's preset information (name up to 32, author up to 50,
// description and usage up to 254 characters; the author text follows), builds the preset file
// (header and the plug-in's state) and saves it through the box (SavePresetAs). False when the
// state or the file could not be written; the preset information is then put back.
bool BuildPresetFile(PresetHandler* box, const std::string& name, const std::string& author,
                     const std::string& description, const std::string& usage, int category);

// Whether a file of the name lies anywhere under the user preset folder ("presets/User") or
// the user chord-memory folder ("presets/chordmemory/User").
bool UserPresetExists(PresetHost* host, const std::string& name);
bool UserChordMemoryExists(PresetHost* host, const std::string& name);

// Moves window so that it is centred over its parent window (nothing without a parent).
void CenterWindowOnParent(HWND window);
