// The preset boxes joined to the plug-in: stepping through saved presets by the box buttons and by
// the control zone's actions, "Init", and the box names a state carries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "PluginTestSupport.h"
#include "engine/ActionDispatcher.h"
#include "engine/EngineHost.h"
#include "framework/IParameter.h"
#include "framework/IStateChunk.h"
#include "gui/IPopupMenu.h"
#include "presets/ChordMemoryPresetHandler.h"
#include "presets/PresetFileHeader.h"
#include "presets/PresetHandler.h"
#include "presets/PresetLoader.h"
#include "presets/SavePresetDialogs.h"
#include "views/ParameterIndex.h"

namespace
{

using namespace quova::param;
using quova::test::FakeHost;
using quova::test::TempDataFolder;

class PresetWiring : public ::testing::Test
{
protected:
    void SetUp() override { plug = std::make_unique<Tobel>(&FakeHost::Callback); }

    double Volume() { return plug->GetParameter(kGlobalVolume)->GetNormalizedValue(); }
    // Saves the plug-in's state as a user preset with the global volume at normalised value.
    void SavePreset(const char* name, double volume)
    {
        plug->SetParameterFromGUI(kGlobalVolume, volume);
        ASSERT_TRUE(BuildPresetFile(plug->GetPresetBox(), name, "Tester", "", "", 0));
    }
    void Wait() { plug->GetPresetLoader()->Join(); }

    TempDataFolder data;
    FakeHost host;
    std::unique_ptr<Tobel> plug;
};

TEST_F(PresetWiring, BoxButtonsAndControlZoneActionsStepThroughTheSavedPresets)
{
    SavePreset("Alpha", 0.25);
    SavePreset("Beta", 0.75);
    ActionDispatcher& actions = *plug->GetEngineHost().GetDispatcher();

    actions.Dispatch(ActionDispatcher::kNextPreset);
    Wait();
    const std::string first = plug->GetPresetBoxName();
    ASSERT_TRUE(first == "Alpha" || first == "Beta") << first;
    EXPECT_EQ(std::string(plug->GetPresetInfo().name), first);
    EXPECT_DOUBLE_EQ(Volume(), first == "Alpha" ? 0.25 : 0.75);

    actions.Dispatch(ActionDispatcher::kPreviousPreset);
    Wait();
    const std::string second = plug->GetPresetBoxName();
    EXPECT_NE(second, first);
    EXPECT_DOUBLE_EQ(Volume(), second == "Alpha" ? 0.25 : 0.75);

    // The box's right button: with two presets the next one is the first again.
    plug->ApplyParameter(kBoxRight, 1.0);
    Wait();
    EXPECT_EQ(plug->GetPresetBoxName(), first);
    EXPECT_EQ(std::string(plug->GetPresetInfo().author), "Tester");
    EXPECT_FALSE(plug->PresetLoadingFlag().load());
}

TEST_F(PresetWiring, InitShowsTheEmptyNameAndKeepsTheGlobalOptions)
{
    plug->SetGlobalOption(GlobalSettings::kTransposeAsSemitones, 1.0);
    SavePreset("Gamma", 0.5);
    plug->GetPresetBox()->SetShownName("Gamma");
    plug->ResetToInitialState();
    EXPECT_EQ(plug->GetPresetBoxName(), "------");
    EXPECT_EQ(plug->GetPresetInfo().name[0], 0);
    EXPECT_TRUE(plug->GetGlobalSettings().Get(GlobalSettings::kTransposeAsSemitones));
}

TEST_F(PresetWiring, TheStateCarriesTheBoxNames)
{
    plug->GetChordMemoryBox()->ChangeText("Jazz Voicings");
    PresetInfo info;
    PresetInfo::SetField(info.name, "Night Drive");
    plug->SetPresetInfo(info);
    const std::vector<uint8_t> state = quova::test::StateBytes(*plug);

    Tobel other(&FakeHost::Callback);
    ASSERT_GE(quova::test::ReadBytes(other, state), 0);
    EXPECT_EQ(other.GetChordMemoryBoxName(), "Jazz Voicings");
    EXPECT_EQ(other.GetPresetBoxName(), "Night Drive");

    // A state without a preset name leaves the box showing what it showed.
    plug->SetPresetInfo(PresetInfo{});
    ASSERT_GE(quova::test::ReadBytes(other, quova::test::StateBytes(*plug)), 0);
    EXPECT_EQ(other.GetPresetBoxName(), "Night Drive");
    EXPECT_EQ(other.GetPresetInfo().name[0], 0);
}

TEST_F(PresetWiring, AFileOfTheHeaderAloneAppliesTheInitialStateWithTheHeadersTexts)
{
    PresetInfo texts;
    PresetInfo::SetField(texts.name, "Bare Header");
    PresetInfo::SetField(texts.author, "Zed");
    IStateChunk file;
    ASSERT_TRUE(
        BuildPresetFileChunk(texts, static_cast<uint32_t>(plug->NParameters()), IStateChunk(), &file));
    ASSERT_EQ(file.Size(), PresetFileHeader::kSize);
    const std::filesystem::path path = data.Root() / "Bare.t2z"; // plain bytes read as they are
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.Data()), file.Size());

    const IParameter& volume = *plug->GetParameter(kGlobalVolume);
    plug->SetParameterFromGUI(kGlobalVolume, 0.25);
    ASSERT_NE(volume.Value(), volume.GetDefault());
    ASSERT_TRUE(plug->GetPresetBox()->OpenChosenFile(path.string(), "Bare"));
    Wait();
    EXPECT_EQ(volume.Value(), volume.GetDefault());
    EXPECT_EQ(std::string(plug->GetPresetInfo().name), "Bare Header");
    EXPECT_EQ(std::string(plug->GetPresetInfo().author), "Zed");
    // The box keeps the name of the file chosen.
    EXPECT_EQ(plug->GetPresetBoxName(), "Bare");
    EXPECT_NE(plug->GetStatusText(), kPresetLoadFailedText);
}

TEST_F(PresetWiring, FolderLinksBackToThePresetFolderListItsPresetsOnce)
{
    const std::filesystem::path user = data.Root() / "Tobel" / "Quova" / "presets" / "User";
    std::filesystem::create_directories(user);
    std::ofstream(user / "Solo.t2z") << "x";
    for (const char* link : {"again", "and again", "once more"})
        std::filesystem::create_directory_symlink(user, user / link);

    Tobel other(&FakeHost::Callback); // scans the folders as it builds the editor
    const IPopupMenu* menu = other.GetPresetBox()->GetFolderMenu()->GetUserMenu();
    ASSERT_EQ(menu->CountItems(), 1);
    EXPECT_STREQ(menu->GetItem(0)->GetText(), "Solo");
}

} // namespace
