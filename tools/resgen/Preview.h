#pragma once
// A preview of the editor for the people who draw it: the background with the first or second
// frame of every control image at its skin position, and sample texts set with the generated
// bitmap fonts the way the editor centres them. Not a resource; written only on request.

#include <string>

// Reads the generated resources under root and writes the preview PNG to outputPath.
bool WritePreview(const std::string& root, const std::string& outputPath, std::string* error);
