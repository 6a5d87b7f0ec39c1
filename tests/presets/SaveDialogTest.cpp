// The two "Save preset" dialogs, driven as a user would through the platform's test driver.
#include <gtest/gtest.h>

#include "PresetTestSupport.h"
#include "framework/IStateChunk.h"
#include "gui/IPopupMenu.h"
#include "platform/testing/PlatformDriver.h"
#include "platform/win32/ControlPainter.h"
#include "platform/win32/Input.h"
#include "platform/win32/WindowState.h"
#include "presets/ChordMemoryFile.h"
#include "presets/ChordMemoryPresetHandler.h"
#include "presets/GzipFile.h"
#include "presets/PresetFileHeader.h"
#include "presets/PresetHandler.h"
#include "presets/PresetLoader.h"
#include "presets/SavePresetDialogs.h"

using quova::testing::DialogStep;
using quova::testing::PlatformDriver;

namespace
{

class SaveDialogTest : public ::testing::Test
{
protected:
    SaveDialogTest()
    {
        graphics_.window = driver_.CreateHostFrame(1000, 565);
        host_.editor = &graphics_;
        PresetInfo::SetField(host_.texts.name, "Old");
        PresetInfo::SetField(host_.texts.author, "Ann");
        RegisterSavePresetDialogs(nullptr);
        box_.InitFolderMenu();
    }

    PresetFileHeader SavedHeader(const std::filesystem::path& path, std::vector<uint8_t>* state)
    {
        IStateChunk chunk;
        EXPECT_TRUE(ReadGzipFile(path.string(), -1, &chunk));
        state->assign(chunk.Data() + PresetFileHeader::kSize, chunk.Data() + chunk.Size());
        return PresetFileHeader::Parse(chunk.Data(), chunk.Size());
    }

    PlatformDriver driver_;
    TempDataFolder folder_;
    FakePresetHost host_;
    ScriptedGraphics graphics_;
    PresetLoader loader_{&host_};
    PresetHandler box_{&host_, &loader_, nullptr, IRectangle{600, 20, 760, 36}};
};

} // namespace

TEST_F(SaveDialogTest, SavingAPresetWritesItIntoItsCategoryFolder)
{
    const std::string description(300, 'd');
    driver_.RunDialog({DialogStep::Select(kSaveDialogTypeId, 1),
                       DialogStep::Type(kSaveDialogNameId, "My Lead 1"),
                       DialogStep::Type(kSaveDialogAuthorId, "Bob"),
                       DialogStep::Type(kSaveDialogDescriptionId, description), DialogStep::Press(IDOK)});
    EXPECT_EQ(OpenSavePresetDialog(&box_), 1);

    ASSERT_EQ(driver_.Dialogs().size(), 1u);
    const auto& shown = driver_.Dialogs()[0];
    EXPECT_EQ(shown.title, "Save preset");
    EXPECT_EQ(shown.initialTexts.at(kSaveDialogNameId), "Old");
    EXPECT_EQ(shown.initialTexts.at(kSaveDialogAuthorId), "Ann");
    EXPECT_EQ(shown.initialLists.at(kSaveDialogTypeId),
              (std::vector<std::string>{"1 bass", "2 lead", "3 rhythm", "4 misc"}));
    EXPECT_EQ(shown.initialSelections.at(kSaveDialogTypeId), 0);

    const auto path = folder_.Presets() / "User" / "2 lead" / "My Lead 1.t2z";
    ASSERT_TRUE(std::filesystem::exists(path));
    std::vector<uint8_t> state;
    const PresetFileHeader header = SavedHeader(path, &state);
    EXPECT_EQ(header.parameterCount, 56738u);
    EXPECT_STREQ(header.texts.name, "My Lead 1");
    EXPECT_STREQ(header.texts.author, "Bob");
    EXPECT_EQ(std::string(header.texts.description), description.substr(0, 254));
    EXPECT_EQ(header.stateLength, host_.stateToWrite.size());
    EXPECT_EQ(state, host_.stateToWrite);
    EXPECT_STREQ(host_.texts.author, "Bob");
    EXPECT_EQ(box_.GetShownText(), "My Lead 1");
    const IPopupMenu* root = box_.GetFolderMenu()->GetRootMenu();
    ASSERT_EQ(root->CountFlatItems(), 1);
    EXPECT_EQ(std::string(root->GetFlatItem(0)->GetText()), "My Lead 1");
}

TEST_F(SaveDialogTest, AShortNameKeepsTheDialogOpenWithTheKeysInTheNameField)
{
    // A click on OK takes the keys; after the refusal the name field has them again.
    LONG_PTR focus = 0;
    char typed[32] = {};
    const auto clickOk = DialogStep::Inspect(
        [&](HWND dialog)
        {
            driver_.Click(GetDlgItem(dialog, IDOK), 5, 5);
            focus = GetWindowLongPtrA(GetFocus(), GWLP_ID);
            driver_.TypeText("Bass");
            GetDlgItemTextA(dialog, kSaveDialogNameId, typed, sizeof typed);
        });
    driver_.RunDialog({DialogStep::Type(kSaveDialogNameId, "abc"), clickOk});
    EXPECT_EQ(OpenSavePresetDialog(&box_), IDCANCEL); // the script ran out: the user cancelled
    EXPECT_FALSE(std::filesystem::exists(folder_.Presets() / "User" / "1 bass" / "abc.t2z"));
    EXPECT_STREQ(host_.texts.name, "Old");
    EXPECT_EQ(focus, kSaveDialogNameId);
    EXPECT_STREQ(typed, "Bass");
}

TEST_F(SaveDialogTest, AnExistingFileIsOverwrittenOnlyAfterTheUserAgrees)
{
    const auto existing = folder_.Presets() / "User" / "3 rhythm" / "Taken.t2z";
    WriteBytes(existing, {1, 2, 3});
    driver_.RunDialog({DialogStep::Type(kSaveDialogNameId, "Taken"), DialogStep::Press(IDOK)});
    driver_.AnswerMessageBox(IDNO);
    EXPECT_EQ(OpenSavePresetDialog(&box_), IDCANCEL);
    ASSERT_EQ(driver_.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver_.MessageBoxes()[0].text, "Do you want to overwrite the existing file?");
    EXPECT_EQ(driver_.MessageBoxes()[0].caption, "File exists!");
    EXPECT_EQ(ReadBytes(existing), (std::vector<uint8_t>{1, 2, 3}));

    // The question is asked for a file of that name in any category; saying yes saves into the
    // chosen category.
    driver_.RunDialog({DialogStep::Type(kSaveDialogNameId, "Taken"), DialogStep::Press(IDOK)});
    driver_.AnswerMessageBox(IDYES);
    EXPECT_EQ(OpenSavePresetDialog(&box_), IDOK);
    EXPECT_TRUE(std::filesystem::exists(folder_.Presets() / "User" / "1 bass" / "Taken.t2z"));
}

TEST_F(SaveDialogTest, ANameWithForbiddenCharactersIsSavedAsPreset1)
{
    WriteBytes(folder_.Presets() / "User" / "1 bass" / "Preset 1.t2z", {9});
    // The overwrite question concerns the name the file really gets.
    driver_.RunDialog({DialogStep::Type(kSaveDialogNameId, "My/Bass"), DialogStep::Press(IDOK)});
    driver_.AnswerMessageBox(IDCANCEL);
    EXPECT_EQ(OpenSavePresetDialog(&box_), IDCANCEL);
    EXPECT_EQ(driver_.MessageBoxes().size(), 1u);
    EXPECT_EQ(ReadBytes(folder_.Presets() / "User" / "1 bass" / "Preset 1.t2z"), std::vector<uint8_t>{9});
    EXPECT_FALSE(std::filesystem::exists(folder_.Presets() / "User" / "1 bass" / "My"));
}

TEST_F(SaveDialogTest, SavingAChordSetWritesTheChordMemory)
{
    host_.chords.SetSlotNote(0, 0, true);
    host_.chords.SetSlotNote(0, 7, true);
    ChordMemoryPresetHandler chordBox(&host_, nullptr, IRectangle{600, 40, 760, 56});
    driver_.RunDialog({DialogStep::Type(kSaveDialogNameId, "Fifths"), DialogStep::Press(IDOK)});
    EXPECT_EQ(OpenSaveChordMemoryDialog(&chordBox), IDOK);
    const auto path = folder_.ChordMemory() / "User" / "Fifths.cmb";
    std::vector<int32_t> words = {16, 12, 2, 0, 7};
    for (int i = 1; i < 16; ++i)
        words.insert(words.end(), {12, 0});
    EXPECT_EQ(ReadBytes(path), LittleEndianWords(words));
    EXPECT_EQ(chordBox.GetShownText(), "Fifths");

    // The saved set can be chosen at once, and the next save of the name asks first.
    EXPECT_EQ(chordBox.GetFolderMenu()->GetRootMenu()->CountFlatItems(), 1);
    driver_.RunDialog({DialogStep::Type(kSaveDialogNameId, "Fifths"), DialogStep::Press(IDOK)});
    driver_.AnswerMessageBox(IDNO);
    EXPECT_EQ(OpenSaveChordMemoryDialog(&chordBox), IDCANCEL);
    EXPECT_EQ(driver_.MessageBoxes().size(), 1u);
}

namespace
{

std::string ItemText(HWND dialog, int id)
{
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// What is wrong with a shown dialog's layout: controls whose drawn areas overlap or leave the
// dialog, labels and buttons whose text in the controls' font does not fit, fields lower than a line.
std::vector<std::string> LayoutFaults(HWND dialog)
{
    struct Control
    {
        std::string kind, text;
        RECT r;
    };
    std::vector<Control> controls;
    RECT client{};
    GetClientRect(dialog, &client);
    RECT origin{};
    GetWindowRect(dialog, &origin);
    for (HWND item : dialog->children)
    {
        Control c;
        char text[256] = {};
        GetClassNameA(item, text, sizeof text);
        c.kind = text;
        GetWindowTextA(item, text, sizeof text);
        for (const char* t = text; *t != '\0'; ++t)
            if (*t != '&') c.text += *t;
        GetWindowRect(item, &c.r);
        c.r = RECT{c.r.left - origin.left, c.r.top - origin.top, c.r.right - origin.left,
                   c.r.bottom - origin.top};
        controls.push_back(c);
    }
    std::vector<std::string> faults;
    const int line = quova::win32::LineHeight();
    for (size_t i = 0; i < controls.size(); ++i)
    {
        const Control& c = controls[i];
        const std::string name = c.kind + " \"" + c.text + "\"";
        if (c.r.left < 0 || c.r.top < 0 || c.r.right > client.right || c.r.bottom > client.bottom)
            faults.push_back(name + " leaves the dialog");
        const int margin = c.kind == "BUTTON" ? 4 : (c.kind == "STATIC" ? 0 : 2);
        const int width = c.r.right - c.r.left, height = c.r.bottom - c.r.top;
        if (quova::win32::LabelWidth(c.text) > width - margin || line > height - margin)
            faults.push_back(name + " is cut");
        for (size_t k = 0; k < i; ++k)
        {
            const RECT& o = controls[k].r;
            if (c.r.left < o.right && o.left < c.r.right && c.r.top < o.bottom && o.top < c.r.bottom)
                faults.push_back(name + " overlaps " + controls[k].kind + " \"" + controls[k].text + "\"");
        }
    }
    return faults;
}

} // namespace

TEST_F(SaveDialogTest, BothDialogsShowEveryControlWholeAndApartWithTheNameReadyForTyping)
{
    std::vector<std::string> faults;
    std::string typed;
    int listWidth = 0;
    const auto inspect = DialogStep::Inspect(
        [&](HWND dialog)
        {
            driver_.Pump();
            faults = LayoutFaults(dialog);
            // The name field has the keys, its text selected: typing replaces it.
            driver_.TypeText("ArdTest2");
            typed = ItemText(dialog, kSaveDialogNameId);
            // The Type list drops down at least as wide as its box and the fields.
            if (HWND type = GetDlgItem(dialog, kSaveDialogTypeId))
            {
                RECT box{}, field{};
                GetWindowRect(type, &box);
                GetWindowRect(GetDlgItem(dialog, kSaveDialogNameId), &field);
                driver_.Click(type, 5, 5);
                ASSERT_FALSE(driver_.Menus().empty());
                listWidth = driver_.Menus().back().minWidth;
                EXPECT_GE(listWidth, box.right - box.left);
                EXPECT_GE(listWidth, field.right - field.left);
            }
        });
    driver_.RunDialog({inspect});
    OpenSavePresetDialog(&box_);
    EXPECT_EQ(faults, std::vector<std::string>{});
    EXPECT_EQ(typed, "ArdTest2");
    EXPECT_GT(listWidth, 0);
    ChordMemoryPresetHandler chordBox(&host_, nullptr, IRectangle{600, 40, 760, 56});
    driver_.RunDialog({inspect});
    OpenSaveChordMemoryDialog(&chordBox);
    EXPECT_EQ(faults, std::vector<std::string>{});
    EXPECT_EQ(typed, "ArdTest2");
}

TEST_F(SaveDialogTest, TheKeysWalkTheFieldsFromTheTopAndReturnSavesInBothDialogs)
{
    std::vector<LONG_PTR> walked;
    const auto walk = DialogStep::Inspect(
        [&](HWND)
        {
            walked.push_back(GetWindowLongPtrA(GetFocus(), GWLP_ID));
            for (int i = 0; i < 7; ++i)
            {
                driver_.PressKey(VK_TAB);
                walked.push_back(GetWindowLongPtrA(GetFocus(), GWLP_ID));
            }
            driver_.TypeText("Key Lead");
        });
    driver_.RunDialog({walk, DialogStep::Key(VK_RETURN)});
    EXPECT_EQ(OpenSavePresetDialog(&box_), IDOK);
    EXPECT_EQ(walked, (std::vector<LONG_PTR>{kSaveDialogNameId, kSaveDialogAuthorId, kSaveDialogDescriptionId,
                                             kSaveDialogUsageId, IDOK, IDCANCEL, kSaveDialogTypeId,
                                             kSaveDialogNameId}));
    EXPECT_TRUE(std::filesystem::exists(folder_.Presets() / "User" / "1 bass" / "Key Lead.t2z"));

    ChordMemoryPresetHandler chordBox(&host_, nullptr, IRectangle{600, 40, 760, 56});
    driver_.RunDialog(
        {DialogStep::Inspect([&](HWND) { driver_.TypeText("Key Set"); }), DialogStep::Key(VK_RETURN)});
    EXPECT_EQ(OpenSaveChordMemoryDialog(&chordBox), IDOK);
    EXPECT_TRUE(std::filesystem::exists(folder_.ChordMemory() / "User" / "Key Set.cmb"));
    driver_.RunDialog({DialogStep::Key(VK_ESCAPE)});
    EXPECT_EQ(OpenSaveChordMemoryDialog(&chordBox), IDCANCEL);
}

TEST_F(SaveDialogTest, ARightPressOnTheBoxOpensItsSaveDialog)
{
    driver_.RunDialog({DialogStep::Press(IDCANCEL)});
    box_.OnMouseButtonDown(610, 25, IMouseModifiers(false, true));
    EXPECT_EQ(driver_.Dialogs().size(), 1u);
    EXPECT_TRUE(graphics_.shownAt.empty()); // no menu
}
