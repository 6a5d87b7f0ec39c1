// The built-in text resources: the skin text and chord table formats, their readers through a
// loader and through the editor object, and the real texts built into the plug-in's module.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/ChordMemory.h"
#include "gui/IEditorWindow.h"
#include "gui/IGraphics.h"
#include "platform/resources/Resources.h"
#include "plugin/ChordTableReader.h"
#include "plugin/SkinLayout.h"
#include "plugin/TextResource.h"

namespace
{

std::vector<IRectangle> SkinOf(const std::string& text)
{
    SkinLayout layout;
    AppendSkinText(&layout, text);
    return layout.Rectangles();
}

using Rects = std::vector<IRectangle>;

// A loader over texts held by the test, recording every id asked for.
struct FakeTexts
{
    std::map<int, std::string> texts;
    std::vector<int> asked;
    TextResourceLoader Loader()
    {
        return [this](int id) -> const char*
        {
            asked.push_back(id);
            auto it = texts.find(id);
            return it == texts.end() ? nullptr : it->second.c_str();
        };
    }
};

// An editor object without a window whose text resources are the test's; records (id, name).
class TextGraphics : public IGraphics
{
public:
    TextGraphics() : IGraphics(nullptr, 1000, 565, 30) {}
    bool PresentBackBuffer(const IRectangle&) override { return true; }
    void EndTextEntry() override {}
    int ShowAlert(const char*, const char*, uint32_t) override { return 0; }
    IPopupMenu* ShowPopupMenu(IPopupMenu*, const IRectangle&) override { return nullptr; }
    void ShowTextEntry(IControl*, const ITextStyle&, const IRectangle&, const char*, IParameter*) override {}
    void GetHostPath(IString*) override {}
    void GetPluginPath(IString*) override {}
    void GetDesktopPath(IString*) override {}
    bool ShowFileDialog(bool, const char*, const char*, IString*) override { return false; }
    bool ShowColorDialog(IColorARGB*) override { return false; }
    bool OpenWebLink(const char*, const char*, const char*, const char*) override { return false; }
    void* GetWindowHandle() override { return nullptr; }
    const char* FindTextResource(int id, const char* name) override
    {
        asked.emplace_back(id, name != nullptr ? name : "(null)");
        auto it = texts.find(id);
        return it == texts.end() ? nullptr : it->second.c_str();
    }
    RasterBitmap* DecodeBitmapResource(int, const char*) override { return nullptr; }
    void* OpenEditorWindow(void*) override { return nullptr; }
    void CloseEditorWindow() override {}

    std::map<int, std::string> texts;
    std::vector<std::pair<int, std::string>> asked;
};

std::vector<std::string> Names(const ChordMemory& memory)
{
    std::vector<std::string> names;
    for (int i = 0; i < memory.ChordTableSize(); ++i)
        names.push_back(memory.GetChordTableEntry(i)->name);
    return names;
}

// ---- skin text ------------------------------------------------------------------------------------

TEST(SkinText, ARepeatLineLaysItsRectanglesSideBySide)
{
    EXPECT_EQ(SkinOf("10 20 30 40 3"), (Rects{{10, 20, 30, 40}, {30, 20, 50, 40}, {50, 20, 70, 40}}));
    EXPECT_EQ(SkinOf("26 58 58 67 4"),
              (Rects{{26, 58, 58, 67}, {58, 58, 90, 67}, {90, 58, 122, 67}, {122, 58, 154, 67}}));
    // A right edge left of the left edge repeats leftwards by the (negative) width.
    EXPECT_EQ(SkinOf("30 0 20 5 2"), (Rects{{30, 0, 20, 5}, {20, 0, 10, 5}}));
}

TEST(SkinText, CountsOfZeroOrLessGiveNothingAndShortLinesLeaveRightAndBottomZero)
{
    EXPECT_EQ(SkinOf("10 20 30 40 0"), Rects{});
    EXPECT_EQ(SkinOf("10 20 30 40 -2"), Rects{});
    EXPECT_EQ(SkinOf("5 6"), (Rects{{5, 6, 0, 0}}));
    EXPECT_EQ(SkinOf("1 2 3"), (Rects{{1, 2, 0, 0}}));
    EXPECT_EQ(SkinOf("1 2 3 4"), (Rects{{1, 2, 3, 4}}));
    // Six fields or more are one rectangle; the extra fields are not a count.
    EXPECT_EQ(SkinOf("1 2 3 4 5 6"), (Rects{{1, 2, 3, 4}}));
}

TEST(SkinText, CommentsNamesAndShortLinesAreSkipped)
{
    const std::string text = "// a comment line\n"
                             "knob_gate/\n"
                             "1 2 3/4 5\n" // a slash anywhere makes it a comment, numbers or not
                             "on/off_pattern_step_>32\n"
                             "7\n"
                             "\n"
                             "   \n"
                             "8 9 10 11\n";
    EXPECT_EQ(SkinOf(text), (Rects{{8, 9, 10, 11}}));
    EXPECT_EQ(SkinOf(""), Rects{});
}

TEST(SkinText, BlanksAndLineEndsAreTolerated)
{
    EXPECT_EQ(SkinOf("1 2 3 4\r\n5 6 7 8\r\n"), (Rects{{1, 2, 3, 4}, {5, 6, 7, 8}}));
    EXPECT_EQ(SkinOf("  10\t20   30 40  \r\n"), (Rects{{10, 20, 30, 40}}));
    // A blank before the carriage return must not turn a four-field line into a zero count.
    EXPECT_EQ(SkinOf("10 20 30 40 2 \r\n"), (Rects{{10, 20, 30, 40}, {30, 20, 50, 40}}));
    // No line feed after the last line.
    EXPECT_EQ(SkinOf("0 0 1000 565"), (Rects{{0, 0, 1000, 565}}));
}

TEST(SkinText, NumbersConvertLikeTheCLibraryAndSaturate)
{
    EXPECT_EQ(SkinOf("12px abc 30 40"), (Rects{{12, 0, 30, 40}}));
    EXPECT_EQ(SkinOf("-5 +7 1 2"), (Rects{{-5, 7, 1, 2}}));
    EXPECT_EQ(SkinOf("99999999999 -99999999999 1 2"), (Rects{{INT_MAX, INT_MIN, 1, 2}}));
    // Repeating a huge width stays inside the int range instead of overflowing.
    const Rects wide = SkinOf("0 0 2000000000 10 3");
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(wide[1], (IRectangle{2000000000, 0, INT_MAX, 10}));
    EXPECT_EQ(wide[2], (IRectangle{INT_MAX, 0, INT_MAX, 10}));
    EXPECT_EQ(SkinOf("0 0 1 1 99999999999").size(), static_cast<size_t>(kMaxSkinRepeat));
}

// ---- reading the skin ------------------------------------------------------------------------------

TEST(ReadSkin, AMissingResourceLeavesTheLayoutAsItWas)
{
    FakeTexts none;
    SkinLayout layout;
    EXPECT_FALSE(ReadSkinLayout(&layout, none.Loader()));
    EXPECT_TRUE(layout.IsEmpty());
    EXPECT_EQ(none.asked, (std::vector<int>{100}));

    AppendSkinText(&layout, "1 2 3 4");
    EXPECT_FALSE(ReadSkinLayout(&layout, none.Loader()));
    EXPECT_EQ(layout.Rectangles(), (Rects{{1, 2, 3, 4}}));
    EXPECT_FALSE(ReadSkinLayout(nullptr, none.Loader()));
    EXPECT_FALSE(ReadSkinLayout(&layout, TextResourceLoader()));
    EXPECT_FALSE(ReadSkinLayout(&layout, static_cast<IGraphics*>(nullptr)));
}

TEST(ReadSkin, AFoundResourceReplacesTheLayout)
{
    FakeTexts skin;
    skin.texts[100] = "// skin\n0 0 10 10\n10 0 20 10 2\n";
    skin.texts[145] = "1 1 1 1\n"; // another resource's text must not be read
    SkinLayout layout;
    AppendSkinText(&layout, "7 7 7 7");
    ASSERT_TRUE(ReadSkinLayout(&layout, skin.Loader()));
    EXPECT_EQ(layout.Rectangles(), (Rects{{0, 0, 10, 10}, {10, 0, 20, 10}, {20, 0, 30, 10}}));
    // Reading again gives the same layout, not a doubled one.
    ASSERT_TRUE(ReadSkinLayout(&layout, skin.Loader()));
    EXPECT_EQ(layout.Size(), 3);
    EXPECT_EQ(layout.Get(3), nullptr);
    EXPECT_TRUE(layout.At(-1).IsEmpty());
}

TEST(ReadSkin, ThroughTheEditorObjectAsksForTheSkinByIdAndName)
{
    TextGraphics graphics;
    graphics.texts[100] = "3 4 5 6";
    SkinLayout layout;
    ASSERT_TRUE(ReadSkinLayout(&layout, &graphics));
    EXPECT_EQ(layout.Rectangles(), (Rects{{3, 4, 5, 6}}));
    ASSERT_EQ(graphics.asked.size(), 1u);
    EXPECT_EQ(graphics.asked[0], (std::pair<int, std::string>{100, "resources/skin/Quova.skin"}));
}

// ---- chord table text ------------------------------------------------------------------------------

TEST(ChordText, ANamedLineGivesItsValuesInOrder)
{
    const std::vector<ChordTableEntry> entries = ParseChordTable("Sus4,0,5,7\nMajor 6,0,12,16,19,21,24\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "Sus4");
    EXPECT_EQ(entries[0].notes, (std::vector<int>{0, 5, 7}));
    EXPECT_EQ(entries[1].name, "Major 6"); // blanks in a name are kept
    EXPECT_EQ(entries[1].notes, (std::vector<int>{0, 12, 16, 19, 21, 24}));
}

TEST(ChordText, SlashLinesAndNameOnlyLinesAreSkipped)
{
    const std::vector<ChordTableEntry> entries = ParseChordTable("// Chord table, comma or not\n"
                                                                 "7/9,0,4,7\n"
                                                                 "Lonely\n"
                                                                 "\n"
                                                                 "Dim,0,3,6\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Dim");
    EXPECT_EQ(entries[0].notes, (std::vector<int>{0, 3, 6}));
}

TEST(ChordText, MalformedValuesBecomeZeroOrSaturate)
{
    const std::vector<ChordTableEntry> entries = ParseChordTable("Odd,,x,12th, -3,99999999999\r\nEmpty,\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].notes, (std::vector<int>{0, 0, 12, -3, INT_MAX}));
    EXPECT_EQ(entries[1].name, "Empty");
    EXPECT_EQ(entries[1].notes, (std::vector<int>{0}));
}

// ---- reading the chord table -----------------------------------------------------------------------

TEST(ReadChords, AMissingResourceLeavesTheTableAsItWas)
{
    FakeTexts none;
    ChordMemory memory;
    memory.AddChordTableEntry({"Kept", {0, 4}});
    EXPECT_FALSE(ReadChordTable(&memory, none.Loader()));
    EXPECT_EQ(none.asked, (std::vector<int>{145}));
    EXPECT_EQ(Names(memory), (std::vector<std::string>{"Kept"}));
    EXPECT_FALSE(ReadChordTable(nullptr, none.Loader()));
    EXPECT_FALSE(ReadChordTable(&memory, static_cast<IGraphics*>(nullptr)));
}

TEST(ReadChords, AFoundResourceReplacesTheTable)
{
    TextGraphics graphics;
    graphics.texts[145] = "A,1\nB,2,3\n";
    ChordMemory memory;
    memory.AddChordTableEntry({"Old", {0}});
    ASSERT_TRUE(ReadChordTable(&memory, &graphics));
    EXPECT_EQ(Names(memory), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(memory.GetChordTableEntry(1)->notes, (std::vector<int>{2, 3}));
    ASSERT_EQ(graphics.asked.size(), 1u);
    EXPECT_EQ(graphics.asked[0], (std::pair<int, std::string>{145, "resources/misc/chordmemory.res"}));
    // A found but empty text empties the table.
    graphics.texts[145] = "";
    ASSERT_TRUE(ReadChordTable(&memory, &graphics));
    EXPECT_EQ(memory.ChordTableSize(), 0);
}

// ---- the texts built into the module ---------------------------------------------------------------

TEST(ModuleTexts, TextResourcesAreFoundByIdAndEndWithAZero)
{
    const TextResourceLoader load = ModuleTextResources(PluginModule());
    for (int id : {100, 145, 114, 116, 120, 140, 150})
    {
        const char* text = load(id);
        ASSERT_NE(text, nullptr) << id;
        HRSRC found = FindResourceA(PluginModule(), MAKEINTRESOURCEA(static_cast<WORD>(id)), "TEXTFILE");
        EXPECT_EQ(std::strlen(text), SizeofResource(PluginModule(), found)) << id;
        EXPECT_NE(TextResourceName(id), nullptr) << id;
    }
    // Images are not text; unknown and impossible ids find nothing.
    for (int id : {101, 113, 0, -1, 999, 70000})
        EXPECT_EQ(load(id), nullptr) << id;
    EXPECT_EQ(TextResourceName(113), nullptr);
    EXPECT_STREQ(TextResourceName(140), "resources/fonts/Calibri_10px.fnt");
}

void ExpectBuiltInSkin(const SkinLayout& layout)
{
    ASSERT_EQ(layout.Size(), 169);
    const IRectangle background = layout.At(168);
    EXPECT_EQ(background.Width(), 1000);
    EXPECT_EQ(background, (IRectangle{0, 0, 1000, 565}));
    // The repeated rows lie side by side: incoming-note indicators 27..30, step switches 37..68,
    // and the three scene rows of 16.
    for (auto [first, count] : {std::pair{27, 4}, {37, 32}, {70, 16}, {86, 16}, {102, 16}})
    {
        const IRectangle head = layout.At(first);
        ASSERT_GT(head.Width(), 0) << first;
        for (int k = 1; k < count; ++k)
        {
            const IRectangle r = layout.At(first + k);
            EXPECT_EQ(r.left, head.left + k * head.Width()) << first + k;
            EXPECT_EQ(r.Width(), head.Width()) << first + k;
            EXPECT_EQ(r.top, head.top) << first + k;
            EXPECT_EQ(r.bottom, head.bottom) << first + k;
        }
    }
    // Every rectangle lies inside the editor.
    for (int i = 0; i < layout.Size(); ++i)
    {
        const IRectangle r = layout.At(i);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 1000 && r.bottom <= 565) << i;
    }
}

TEST(ModuleTexts, TheBuiltInSkinGives169RectanglesEndingWithTheWholeEditor)
{
    SkinLayout layout;
    ASSERT_TRUE(ReadSkinLayout(&layout, ModuleTextResources(PluginModule())));
    ExpectBuiltInSkin(layout);
    IEditorWindow editor(nullptr, 1000, 565, 0); // the editor object's own loader finds it too
    SkinLayout viaEditor;
    ASSERT_TRUE(ReadSkinLayout(&viaEditor, &editor));
    EXPECT_EQ(viaEditor.Rectangles(), layout.Rectangles());
}

TEST(ModuleTexts, TheBuiltInChordTableHasItsEightRowsInOrder)
{
    ChordMemory memory;
    ASSERT_TRUE(ReadChordTable(&memory, ModuleTextResources(PluginModule())));
    const std::vector<std::pair<std::string, std::vector<int>>> expected = {
        {"Major", {0, 12, 16, 19, 24}},           {"Major 6", {0, 12, 16, 19, 21, 24}},
        {"Major 7", {0, 7, 12, 19, 22, 24}},      {"Major 9", {5, 12, 14, 16, 19, 23}},
        {"Minor", {0, 12, 15, 19, 24}},           {"Minor 6", {0, 12, 15, 19, 21, 24}},
        {"Minor 7", {0, 10, 12, 15, 19, 22, 24}}, {"Minor 9", {0, 3, 12, 14, 19, 22, 24}},
    };
    ASSERT_EQ(memory.ChordTableSize(), 8);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(memory.GetChordTableEntry(i)->name, expected[i].first) << i;
        EXPECT_EQ(memory.GetChordTableEntry(i)->notes, expected[i].second) << i;
    }
}

} // namespace
