#pragma once

#include <cstdint>
#include <string>

// The seven machine-wide options, kept in "settings.qva" in the data folder's
// "data" sub-folder: seven lines "true" or "false", in the order of Option.
// They apply to every instance and are independent of projects and presets.
struct GlobalSettings
{
    enum Option
    {
        kMidiNoteNames = 0,           // "Enable MIDI note names"
        kStartNotesImmediately = 1,   // "Start notes immediately"
        kUseOnlyOrderOnOff = 2,       // "Use only ORDER on/off"
        kTransposeAsSemitones = 3,    // "Transpose as semitones"
        kTransposeAllOutputNotes = 4, // "Transpose all output notes"
        kDisableControlZone = 5,      // "Disable Control Zone"
        kGateLengthInSteps = 6,       // "Gate length in steps"
        kOptionCount = 7,
    };

    uint8_t options[kOptionCount] = {0, 0, 0, 0, 0, 0, 0}; // each 0 or 1

    bool Get(int option) const { return option >= 0 && option < kOptionCount && options[option] != 0; }
};

// The settings file's path: the "data" folder path followed by "settings.qva";
// "" when the data folder is unavailable.
std::string GetSettingsFilePath();

// Reads the first seven lines of the settings file into lines (each without
// its line feed and without one trailing carriage return; missing lines stay
// empty). Makes the "data" folder first. When the file does not exist it is
// created with seven "false" lines and every line stays empty. Returns false
// when the file could not be read (the lines are then empty); never throws.
bool ReadSettingsFile(std::string lines[GlobalSettings::kOptionCount]);

// Fills the record from the file: an option is on exactly when its line is
// "true" (case-sensitive); anything else, a missing line included, is off.
void ReadGlobalSettings(GlobalSettings* settings);

// Replaces the settings file with the lines, each followed by a line feed.
// The new content is written beside the file and moved over it, so a failed
// write keeps the old content. Returns whether the file now holds the lines.
bool WriteSettingsFile(const std::string* lines, int count);

// Writes the record as seven "true"/"false" lines.
bool WriteGlobalSettings(const GlobalSettings& settings);
