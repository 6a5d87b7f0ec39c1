#pragma once
// Readers the resource tests share: files of the checkout, the resource list, and the skin and
// chord-table rules as the plug-in applies them.

#include "graphics/RasterBitmap.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The checkout's root folder.
std::string SourceRoot();
// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);
// A PNG of the checkout (path from the root) decoded with the raster library; null on failure.
std::unique_ptr<RasterBitmap> LoadCheckoutPng(const std::string& path);

struct ListedResource
{
    std::string type;
    int id;
    std::string path;
};
// The lines of a resource list ('#' comments and blank lines skipped); a malformed line gives an
// entry with id -1.
std::vector<ListedResource> ParseResourceList(const std::string& text);

// Skin text read by its rules: '/' lines skipped, blank-separated fields read with atoi, a
// fifth field repeating the rectangle side by side.
std::vector<RasterRect> ParseSkin(const std::string& text);

struct ChordRow
{
    std::string name;
    std::vector<int> values;
};
// Chord table read by its rules: '/' lines skipped, comma-separated, at least two fields.
std::vector<ChordRow> ParseChordTable(const std::string& text);
