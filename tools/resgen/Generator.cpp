#include "tools/resgen/Generator.h"

#include "tools/resgen/ArtKit.h"
#include "tools/resgen/ImageCatalog.h"
#include "tools/resgen/PngWriter.h"
#include "tools/resgen/SkinLayout.h"

#include <filesystem>
#include <fstream>

namespace
{
constexpr const char* kSkinPath = "resources/skin/Quova.skin";
constexpr const char* kChordTablePath = "resources/misc/chordmemory.res";
constexpr uint16_t kSkinId = 100;
constexpr uint16_t kChordTableId = 145;

const std::vector<FontResource> kFonts = {
    {{"Calibri_12px", "Calibri", 12, Rgb(172, 212, 244)}, 114, 113},
    {{"Calibri_10px", "Calibri", 10, Rgb(226, 232, 239)}, 140, 139},
    {{"Calibri_12px_white", "Calibri", 12, Rgb(255, 255, 255)}, 120, 119},
    {{"Calibri_14px", "Calibri", 14, Rgb(152, 206, 255)}, 116, 115},
    {{"Calibri_12px_black", "Calibri", 12, Rgb(0, 0, 0)}, 150, 149},
};

std::string FontPath(const BitmapFontStyle& style, const char* extension)
{
    return "resources/fonts/" + style.baseName + extension;
}

bool WriteFile(const std::filesystem::path& path, const void* data, size_t size, std::string* error)
{
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out)
    {
        if (error) *error = "cannot write " + path.string();
        return false;
    }
    return true;
}

bool WriteText(const std::filesystem::path& path, const std::string& text, std::string* error)
{
    return WriteFile(path, text.data(), text.size(), error);
}

bool WriteImage(const std::filesystem::path& path, ImageCanvas& image, std::string* error)
{
    std::vector<uint8_t> png;
    if (!EncodePng(image.Bitmap(), &png))
    {
        if (error) *error = "cannot encode " + path.string();
        return false;
    }
    return WriteFile(path, png.data(), png.size(), error);
}
} // namespace

const std::vector<FontResource>& FontResources()
{
    return kFonts;
}

std::string ChordTableText()
{
    return "// Chord table: a name, then the chord's notes in semitones.\n"
           "Major,0,12,16,19,24\n"
           "Major 6,0,12,16,19,21,24\n"
           "Major 7,0,7,12,19,22,24\n"
           "Major 9,5,12,14,16,19,23\n"
           "Minor,0,12,15,19,24\n"
           "Minor 6,0,12,15,19,21,24\n"
           "Minor 7,0,10,12,15,19,22,24\n"
           "Minor 9,0,3,12,14,19,22,24\n";
}

std::string ResourceListText()
{
    std::string text =
        "# Resources built into the plug-in module: <type> <id> <path from the repository root>.\n"
        "# Written by tools/resgen together with the files it lists; regenerate, do not edit.\n";
    auto line = [&text](const char* type, uint16_t id, const std::string& path)
    { text += std::string(type) + " " + std::to_string(id) + " " + path + "\n"; };
    line("TEXTFILE", kSkinId, kSkinPath);
    line("TEXTFILE", kChordTableId, kChordTablePath);
    for (const FontResource& font : kFonts)
    {
        line("TEXTFILE", font.descriptionId, FontPath(font.style, ".fnt"));
        line("PNG", font.imageId, FontPath(font.style, ".png"));
    }
    for (const ImageEntry& image : ImageCatalog())
        line("PNG", image.id, image.path);
    return text;
}

bool GenerateResources(const GeneratorOptions& options, std::string* error)
{
    std::filesystem::path root(options.outputRoot);
    ArtKit kit;
    if (!kit.Load(options.fontFolder, error)) return false;

    for (const ImageEntry& image : ImageCatalog())
    {
        std::unique_ptr<ImageCanvas> strip = PaintStrip(kit, image);
        if (!WriteImage(root / image.path, *strip, error)) return false;
    }
    for (const FontResource& font : kFonts)
    {
        BitmapFontOutput output;
        if (!BuildBitmapFont(RegularFace(options.fontFolder), font.style, &output, error) ||
            !WriteImage(root / FontPath(font.style, ".png"), *output.image, error) ||
            !WriteText(root / FontPath(font.style, ".fnt"), output.description, error))
            return false;
    }
    return WriteText(root / kSkinPath, SkinText(), error) &&
           WriteText(root / kChordTablePath, ChordTableText(), error) &&
           WriteText(root / "resources/resources.txt", ResourceListText(), error);
}
