#pragma once

#include <string>

// The plug-in's data folder on this machine: the platform's common
// application-data folder followed by "/Tobel/Quova/<sub-folder>/". Sub-folders
// in use: "data" (settings and control-zone files), "presets" and
// "presets/chordmemory". Folders are joined with '/'.
//
// Returns the path with its trailing '/', or "" when the platform cannot name
// the common application-data folder (callers then behave as if their file
// were missing). Never throws. Any thread.
std::string GetDataFolderPath(const std::string& subFolder);

// Makes sure a folder exists, with its parents. False when it cannot be made
// (read-only or missing root, a file in the way); never throws.
bool EnsureFolderExists(const std::string& path);
