// The two preset boxes: menus, choosing, Init, stepping, and chord-memory sets.
#include <gtest/gtest.h>

#include "PresetTestSupport.h"
#include "engine/NoteList.h"
#include "framework/IStateChunk.h"
#include "gui/IPopupMenu.h"
#include "presets/ChordMemoryPresetHandler.h"
#include "presets/PresetHandler.h"
#include "presets/PresetLoader.h"

namespace
{

const IRectangle kBoxRect{600, 20, 760, 36};
const IMouseModifiers kLeft{true, false};

class PresetBoxTest : public ::testing::Test
{
protected:
    PresetBoxTest() { host_.editor = &graphics_; }

    void WritePreset(const char* relative, const char* name, uint8_t stateByte)
    {
        WriteGzipBytes(folder_.Presets() / relative, PresetFileBytes(name, "", {stateByte}));
    }
    std::unique_ptr<PresetHandler> MakePresetBox()
    {
        auto box = std::make_unique<PresetHandler>(&host_, &loader_, nullptr, kBoxRect);
        box->InitFolderMenu();
        return box;
    }
    void Choose(CommonPresetHandler& box, int id)
    {
        graphics_.answers.push_back(id);
        box.OnMouseButtonDown(kBoxRect.left + 3, kBoxRect.top + 3, kLeft);
        loader_.Join();
    }
    std::vector<uint8_t> AppliedBytes()
    {
        std::vector<uint8_t> bytes;
        for (const auto& state : host_.appliedStates)
            bytes.insert(bytes.end(), state.begin(), state.end());
        return bytes;
    }

    TempDataFolder folder_;
    FakePresetHost host_;
    ScriptedGraphics graphics_;
    PresetLoader loader_{&host_};
};

} // namespace

TEST_F(PresetBoxTest, ChoosingAFileShowsItsNameAndLoadsIt)
{
    WritePreset("Factory/Acid.t2z", "Header Name", 7);
    auto box = MakePresetBox();
    EXPECT_EQ(box->GetShownText(), "------");
    Choose(*box, 1000);
    ASSERT_EQ(graphics_.shownAt.size(), 1u);
    EXPECT_EQ(graphics_.shownAt[0].left, kBoxRect.left);
    EXPECT_EQ(graphics_.shownAt[0].bottom, kBoxRect.bottom);
    EXPECT_EQ(box->GetShownText(), "Acid"); // the entry's text, not the header's name
    EXPECT_EQ(box->GetFolderMenu()->GetChosenName(), "Acid");
    EXPECT_EQ(AppliedBytes(), std::vector<uint8_t>{7});
    EXPECT_STREQ(host_.texts.name, "Header Name");
}

TEST_F(PresetBoxTest, DismissingTheMenuLoadsNothingAgain)
{
    WritePreset("Factory/Acid.t2z", "A", 7);
    auto box = MakePresetBox();
    Choose(*box, 1000);
    Choose(*box, -1);
    EXPECT_EQ(host_.appliedStates.size(), 1u);
    EXPECT_EQ(host_.resets, 0);
}

TEST_F(PresetBoxTest, InitResetsThePlugInAndShowsDashes)
{
    WritePreset("Factory/Acid.t2z", "A", 7);
    auto box = MakePresetBox();
    Choose(*box, 1000);
    Choose(*box, 1);
    EXPECT_EQ(host_.resets, 1);
    EXPECT_EQ(box->GetShownText(), "------");
    EXPECT_EQ(host_.appliedStates.size(), 1u);
}

TEST_F(PresetBoxTest, PlainPresetFilesLoadToo)
{
    WriteBytes(folder_.Presets() / "User" / "Plain.t2", PresetFileBytes("P", "", {4, 2}));
    auto box = MakePresetBox();
    Choose(*box, 1000);
    EXPECT_EQ(AppliedBytes(), (std::vector<uint8_t>{4, 2}));
}

TEST_F(PresetBoxTest, AChoiceWhileAPresetIsAppliedShowsItsNameButDoesNotLoad)
{
    WritePreset("Factory/A.t2z", "A", 1);
    WritePreset("Factory/B.t2z", "B", 2);
    auto box = MakePresetBox();
    host_.HoldApplying();
    graphics_.answers.push_back(1000);
    box->OnMouseButtonDown(kBoxRect.left, kBoxRect.top, kLeft);
    ASSERT_TRUE(host_.WaitUntilApplying());
    graphics_.answers.push_back(1001);
    box->OnMouseButtonDown(kBoxRect.left, kBoxRect.top, kLeft);
    EXPECT_EQ(box->GetShownText(), "B");
    host_.Release();
    loader_.Join();
    EXPECT_EQ(AppliedBytes(), std::vector<uint8_t>{1});
}

TEST_F(PresetBoxTest, SteppingWrapsAroundTheFilesOfTheWholeTree)
{
    WritePreset("Factory/A.t2z", "A", 1);
    WritePreset("User/1 bass/B.t2z", "B", 2);
    WritePreset("User/C.t2z", "C", 3);
    auto box = MakePresetBox();
    box->StepToPreviousItem(); // nothing chosen yet: the last file
    loader_.Join();
    EXPECT_EQ(box->GetShownText(), "C");
    box->StepToNextItem(); // wraps to the first
    loader_.Join();
    EXPECT_EQ(box->GetShownText(), "A");
    EXPECT_TRUE(box->LoadNextPreset());
    loader_.Join();
    EXPECT_EQ(box->GetShownText(), "B");
    EXPECT_TRUE(box->LoadPreviousPreset());
    loader_.Join();
    EXPECT_EQ(box->GetShownText(), "A");
    EXPECT_EQ(AppliedBytes(), (std::vector<uint8_t>{3, 1, 2, 1}));
}

TEST_F(PresetBoxTest, AnEmptyNameLeavesTheShownText)
{
    auto box = MakePresetBox();
    box->SetShownName("Loaded");
    box->SetShownName("");
    EXPECT_EQ(box->GetShownText(), "Loaded");
}

TEST_F(PresetBoxTest, AChosenChordSetReplacesTheChordMemory)
{
    const auto bytes = LittleEndianWords({2, 12, 3, 0, 4, 7, 14, 1, 2});
    WriteBytes(folder_.ChordMemory() / "Factory" / "Triads.cmb", bytes);
    WriteBytes(folder_.ChordMemory() / "Factory" / "Broken.cmb", LittleEndianWords({16, 12, 3, 0}));
    host_.chords.SetSlotNote(9, 5, true);
    ChordMemoryPresetHandler box(&host_, nullptr, kBoxRect);
    ASSERT_EQ(box.GetFolderMenu()->GetRootMenu()->CountFlatItems(), 2);

    Choose(box, 1000); // Broken.cmb comes first by name: refused
    EXPECT_TRUE(host_.chords.SlotHasNote(9, 5));
    EXPECT_EQ(host_.chordSetsLoaded, 0);

    Choose(box, 1001);
    EXPECT_EQ(box.GetShownText(), "Triads");
    EXPECT_TRUE(host_.chords.SlotHasNote(0, 4));
    EXPECT_TRUE(host_.chords.SlotHasNote(1, 2));
    EXPECT_FALSE(host_.chords.SlotHasNote(9, 5));
    EXPECT_EQ(host_.chordSetsLoaded, 1);

    // The chord box's blank entry (id 1) does nothing.
    Choose(box, 1);
    EXPECT_EQ(box.GetShownText(), "Triads");
}

// After a save the box shows the saved file, and the previous and next buttons step from it, not
// from the file chosen before the save; in both boxes.
TEST_F(PresetBoxTest, AfterASaveThePreviousAndNextButtonsStepFromTheSavedFile)
{
    WritePreset("User/1 bass/A.t2z", "A", 1);
    WritePreset("User/1 bass/C.t2z", "C", 3);
    auto box = MakePresetBox();
    box->StepToNextItem();
    loader_.Join();
    ASSERT_EQ(box->GetShownText(), "A");
    IStateChunk file;
    const std::vector<uint8_t> bytes = PresetFileBytes("B", "", {2});
    file.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_TRUE(box->SavePresetAs(file, "B", 0));
    EXPECT_EQ(box->GetShownText(), "B");
    box->StepToNextItem();
    loader_.Join();
    EXPECT_EQ(box->GetShownText(), "C");
    box->StepToPreviousItem();
    box->StepToPreviousItem();
    loader_.Join();
    EXPECT_EQ(box->GetShownText(), "A");

    const auto set = LittleEndianWords({1, 12, 1, 0});
    WriteBytes(folder_.ChordMemory() / "User" / "Alpha.cmb", set);
    WriteBytes(folder_.ChordMemory() / "User" / "Gamma.cmb", set);
    ChordMemoryPresetHandler chordBox(&host_, nullptr, kBoxRect);
    chordBox.StepToNextItem();
    ASSERT_EQ(chordBox.GetShownText(), "Alpha");
    ASSERT_TRUE(chordBox.SaveChordMemoryAs("Beta"));
    EXPECT_EQ(chordBox.GetShownText(), "Beta");
    chordBox.StepToNextItem();
    EXPECT_EQ(chordBox.GetShownText(), "Gamma");
}
