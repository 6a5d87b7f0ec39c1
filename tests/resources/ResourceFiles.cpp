#include "tests/resources/ResourceFiles.h"

#include "graphics/PngLoader.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace
{
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}
} // namespace

std::string SourceRoot()
{
    return QUOVA_SOURCE_DIR;
}

std::optional<std::string> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::unique_ptr<RasterBitmap> LoadCheckoutPng(const std::string& path)
{
    return std::unique_ptr<RasterBitmap>(LoadPngFile((SourceRoot() + "/" + path).c_str()));
}

std::vector<ListedResource> ParseResourceList(const std::string& text)
{
    std::vector<ListedResource> list;
    for (std::string line : Split(text, '\n'))
    {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        ListedResource r;
        std::string id, extra;
        if (!(fields >> r.type)) continue;
        if (!(fields >> id >> r.path) || (fields >> extra) ||
            id.find_first_not_of("0123456789") != std::string::npos)
            r.id = -1;
        else
            r.id = std::atoi(id.c_str());
        list.push_back(r);
    }
    return list;
}

std::vector<RasterRect> ParseSkin(const std::string& text)
{
    std::vector<RasterRect> rects;
    for (const std::string& line : Split(text, '\n'))
    {
        if (line.find('/') != std::string::npos) continue;
        std::vector<std::string> fields;
        for (const std::string& f : Split(line, ' '))
            if (!f.empty()) fields.push_back(f);
        if (fields.size() < 2) continue;
        int x1 = std::atoi(fields[0].c_str()), y1 = std::atoi(fields[1].c_str());
        int x2 = fields.size() >= 4 ? std::atoi(fields[2].c_str()) : 0;
        int y2 = fields.size() >= 4 ? std::atoi(fields[3].c_str()) : 0;
        if (fields.size() == 5)
        {
            int n = std::atoi(fields[4].c_str()), w = x2 - x1;
            for (int k = 0; k < n; ++k)
                rects.push_back({x1 + k * w, y1, x2 + k * w, y2});
        }
        else
            rects.push_back({x1, y1, x2, y2});
    }
    return rects;
}

std::vector<ChordRow> ParseChordTable(const std::string& text)
{
    std::vector<ChordRow> rows;
    for (const std::string& line : Split(text, '\n'))
    {
        if (line.find('/') != std::string::npos) continue;
        std::vector<std::string> fields = Split(line, ',');
        if (fields.size() < 2) continue;
        ChordRow row{fields[0], {}};
        for (size_t i = 1; i < fields.size(); ++i)
            row.values.push_back(std::atoi(fields[i].c_str()));
        rows.push_back(row);
    }
    return rows;
}
