// The committed resource list names every resource the plug-in loads, under the ids it loads
// them by, and every listed file exists; the chord table holds the eight built-in chords.
#include "platform/resources/Resources.h"
#include "tests/resources/ResourceFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

namespace
{
struct Expected
{
    const char* type;
    int id;
    const char* path;
};

// Every resource the plug-in constructor and the editor ask for.
const Expected kExpected[] = {
    {"TEXTFILE", 100, "resources/skin/Quova.skin"},
    {"TEXTFILE", 145, "resources/misc/chordmemory.res"},
    {"TEXTFILE", 114, "resources/fonts/Calibri_12px.fnt"},
    {"TEXTFILE", 116, "resources/fonts/Calibri_14px.fnt"},
    {"TEXTFILE", 120, "resources/fonts/Calibri_12px_white.fnt"},
    {"TEXTFILE", 140, "resources/fonts/Calibri_10px.fnt"},
    {"TEXTFILE", 150, "resources/fonts/Calibri_12px_black.fnt"},
    {"PNG", 113, "resources/fonts/Calibri_12px.png"},
    {"PNG", 139, "resources/fonts/Calibri_10px.png"},
    {"PNG", 119, "resources/fonts/Calibri_12px_white.png"},
    {"PNG", 115, "resources/fonts/Calibri_14px.png"},
    {"PNG", 149, "resources/fonts/Calibri_12px_black.png"},
    {"PNG", 101, "resources/images/background.png"},
    {"PNG", 102, "resources/images/ptnviewStepOnoff_23x13.png"},
    {"PNG", 103, "resources/images/noteliststrip_21x8_30frames.png"},
    {"PNG", 104, "resources/images/ptnview_63x15.png"},
    {"PNG", 105, "resources/images/About.png"},
    {"PNG", 106, "resources/images/freebutton_38x19.png"},
    {"PNG", 107, "resources/images/buttonOnOff_27x23.png"},
    {"PNG", 108, "resources/images/bipolar_knob_with_ring_127frames.png"},
    {"PNG", 109, "resources/images/unipolar_knob_with_ring_127frames.png"},
    {"PNG", 111, "resources/images/button_27x23.png"},
    {"PNG", 112, "resources/images/incomingnote_27x9_30frames.png"},
    {"PNG", 122, "resources/images/boxbuttonLeft_27x14.png"},
    {"PNG", 123, "resources/images/resizebutton_15x11.png"},
    {"PNG", 124, "resources/images/boxbuttonOK_27x14.png"},
    {"PNG", 125, "resources/images/boxbuttonRight_27x14.png"},
    {"PNG", 126, "resources/images/boxbuttonInfo_30x14.png"},
    {"PNG", 127, "resources/images/buttonTeach_27x23.png"},
    {"PNG", 128, "resources/images/editClear_33x27.png"},
    {"PNG", 129, "resources/images/editCopy_33x27.png"},
    {"PNG", 130, "resources/images/editDraw_33x27.png"},
    {"PNG", 131, "resources/images/editPaste_33x27.png"},
    {"PNG", 132, "resources/images/editRand_33x27.png"},
    {"PNG", 133, "resources/images/editSelect_33x27.png"},
    {"PNG", 134, "resources/images/lockbutton_21x21.png"},
    {"PNG", 135, "resources/images/panicbutton_29x19.png"},
    {"PNG", 136, "resources/images/SbuttonLeft_23x21.png"},
    {"PNG", 137, "resources/images/SbuttonRight_23x21.png"},
    {"PNG", 138, "resources/images/Sbutton_23x21.png"},
    {"PNG", 141, "resources/images/ptnviewloopstart_24x15.png"},
    {"PNG", 142, "resources/images/ptnviewloopend_24x15.png"},
    {"PNG", 143, "resources/images/ptnviewCC_19x15.png"},
    {"PNG", 144, "resources/images/basenoteled_16x8.png"},
    {"PNG", 146, "resources/images/unipolar_knob_with_ring_5frames.png"},
    {"PNG", 147, "resources/images/bipolar_knob_with_ring_25frames.png"},
    {"PNG", 148, "resources/images/unipolar_knob_with_ring_23frames.png"},
    {"PNG", 151, "resources/images/boxbuttonSettings_48x14.png"},
};

std::vector<ListedResource> CommittedList()
{
    std::optional<std::string> text = ReadFileBytes(SourceRoot() + "/resources/resources.txt");
    return text ? ParseResourceList(*text) : std::vector<ListedResource>{};
}
} // namespace

TEST(ResourceList, NamesEveryResourceThePluginLoads)
{
    std::vector<ListedResource> list = CommittedList();
    ASSERT_FALSE(list.empty()) << "resources/resources.txt is missing or empty";
    for (const Expected& e : kExpected)
    {
        bool found = false;
        for (const ListedResource& r : list)
            found |= r.type == e.type && r.id == e.id && r.path == e.path;
        EXPECT_TRUE(found) << e.type << " " << e.id << " " << e.path << " is not listed";
    }
    EXPECT_EQ(list.size(), std::size(kExpected)) << "the list holds resources nothing loads";
}

TEST(ResourceList, EveryLineIsWellFormedUniqueAndResolvesToAFile)
{
    std::set<std::pair<std::string, int>> seen;
    for (const ListedResource& r : CommittedList())
    {
        EXPECT_GE(r.id, 1) << "malformed line for " << r.path;
        EXPECT_LE(r.id, 65535) << r.path;
        EXPECT_TRUE(seen.insert({r.type, r.id}).second) << r.type << " " << r.id << " is listed twice";
        std::filesystem::path file = std::filesystem::path(SourceRoot()) / r.path;
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file << " does not exist";
        EXPECT_GT(std::filesystem::file_size(file), 0u) << file;
    }
}

TEST(ResourceList, ListedResourcesAreTheWholeResourceFolder)
{
    std::set<std::string> listed{"resources/resources.txt"};
    for (const ListedResource& r : CommittedList())
        listed.insert(r.path);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SourceRoot() + "/resources"))
    {
        if (!entry.is_regular_file()) continue;
        std::string relative = std::filesystem::relative(entry.path(), SourceRoot()).generic_string();
        EXPECT_TRUE(listed.count(relative)) << relative << " is in resources/ but not in the list";
    }
}

TEST(ResourceList, EveryResourceIsBuiltIntoThePluginModuleUnchanged)
{
    for (const ListedResource& r : CommittedList())
    {
        HRSRC found =
            FindResourceA(PluginModule(), MAKEINTRESOURCEA(static_cast<WORD>(r.id)), r.type.c_str());
        ASSERT_NE(found, nullptr) << r.type << " " << r.id << " is not in the module; rerun CMake";
        std::optional<std::string> file = ReadFileBytes(SourceRoot() + "/" + r.path);
        ASSERT_TRUE(file) << r.path;
        ASSERT_EQ(SizeofResource(PluginModule(), found), file->size()) << r.path;
        const void* bytes = LockResource(LoadResource(PluginModule(), found));
        EXPECT_EQ(std::string(static_cast<const char*>(bytes), file->size()), *file) << r.path;
    }
}

TEST(ChordTable, HoldsTheEightBuiltInChordsInOrder)
{
    std::optional<std::string> text = ReadFileBytes(SourceRoot() + "/resources/misc/chordmemory.res");
    ASSERT_TRUE(text);
    std::vector<ChordRow> rows = ParseChordTable(*text);
    const ChordRow expected[] = {
        {"Major", {0, 12, 16, 19, 24}},           {"Major 6", {0, 12, 16, 19, 21, 24}},
        {"Major 7", {0, 7, 12, 19, 22, 24}},      {"Major 9", {5, 12, 14, 16, 19, 23}},
        {"Minor", {0, 12, 15, 19, 24}},           {"Minor 6", {0, 12, 15, 19, 21, 24}},
        {"Minor 7", {0, 10, 12, 15, 19, 22, 24}}, {"Minor 9", {0, 3, 12, 14, 19, 22, 24}},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i)
    {
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].values, expected[i].values) << expected[i].name;
    }
    EXPECT_EQ(text->find('\r'), std::string::npos) << "lines end in a line feed alone";
}

TEST(SkinText, StartsWithACommentAndNamesEveryRectangle)
{
    std::optional<std::string> text = ReadFileBytes(SourceRoot() + "/resources/skin/Quova.skin");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->rfind("//", 0), 0u) << "the first line is a comment";
    // Every data line follows a name line.
    std::istringstream in(*text);
    std::string line, previous;
    while (std::getline(in, line))
    {
        if (line.find('/') == std::string::npos && !line.empty())
        {
            EXPECT_NE(previous.find('/'), std::string::npos) << "no name line before: " << line;
        }
        previous = line;
    }
}
