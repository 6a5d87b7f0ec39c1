// The global options and settings.qva in a temporary data folder: created when missing, read
// strictly, rewritten at once when an option changes, unaffected by states, and harmless when the
// data folder cannot be used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/ControlTargetTable.h"
#include "engine/EngineHost.h"
#include "plugin/DataFolder.h"
#include "plugin/GlobalSettings.h"
#include "tests/plugin/PluginTestSupport.h"
#include "views/ParameterIndex.h"

namespace
{

using quova::test::ReadBytes;
using quova::test::StateBytes;
using quova::test::TempDataFolder;

const char* const kAllFalse = "false\nfalse\nfalse\nfalse\nfalse\nfalse\nfalse\n";

bool ZoneOn(Tobel& plug)
{
    return plug.GetEngineHost().GetControlTargetTable()->IsZoneOn();
}

TEST(Settings, DataFolderPathUsesSlashes)
{
    TempDataFolder folder;
    EXPECT_EQ(GetDataFolderPath("data"), folder.Root().string() + "/Tobel/Quova/data/");
    EXPECT_EQ(GetDataFolderPath("presets/chordmemory"),
              folder.Root().string() + "/Tobel/Quova/presets/chordmemory/");
    EXPECT_EQ(GetSettingsFilePath(), folder.Root().string() + "/Tobel/Quova/data/settings.qva");
}

TEST(Settings, AMissingFileIsCreatedWithSevenFalseLines)
{
    TempDataFolder folder;
    ASSERT_FALSE(std::filesystem::exists(folder.SettingsFile()));
    Tobel plug(nullptr);
    EXPECT_EQ(folder.ReadSettings(), kAllFalse);
    for (int i = 0; i < GlobalSettings::kOptionCount; ++i)
        EXPECT_FALSE(plug.GetGlobalSettings().Get(i));
    EXPECT_TRUE(ZoneOn(plug));
}

TEST(Settings, OnlyAnExactTrueSwitchesAnOptionOn)
{
    TempDataFolder folder;
    GlobalSettings settings;
    folder.WriteSettings("TRUE\ntrue \n\ntrue\r\ntrue\nx\ntrue\n");
    ReadGlobalSettings(&settings);
    const uint8_t expected[7] = {0, 0, 0, 1, 1, 0, 1}; // CR LF line ends count as line ends
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(settings.options[i], expected[i]) << i;

    folder.WriteSettings("true\ntrue\ntrue"); // three lines, the last without a line feed
    ReadGlobalSettings(&settings);
    const uint8_t expectedShort[7] = {1, 1, 1, 0, 0, 0, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(settings.options[i], expectedShort[i]) << i;
}

TEST(Settings, OptionsTakeEffectAtConstruction)
{
    TempDataFolder folder;
    folder.WriteSettings("true\ntrue\ntrue\ntrue\ntrue\ntrue\ntrue\n");
    Tobel plug(nullptr);
    EXPECT_FALSE(ZoneOn(plug)); // sixth line: "Disable Control Zone"
    EXPECT_TRUE(plug.NoteNamesEnabled());
    EXPECT_TRUE(plug.GetEngineHost().GetFlagByte(EngineHost::kStartNotesImmediately));
    EXPECT_TRUE(plug.OnlyOrderOnOff());
    EXPECT_TRUE(plug.TransposeAsSemitones());
    EXPECT_TRUE(plug.TransposeAllOutputNotes());
    for (int index : quova::param::kOptionSwitches)
        EXPECT_EQ(plug.GetParameter(index)->Value(), 1.0) << index;
}

TEST(Settings, ChangingAnOptionRewritesTheFileAtOnce)
{
    TempDataFolder folder;
    Tobel plug(nullptr);
    plug.SetGlobalOption(GlobalSettings::kDisableControlZone, 1.0);
    EXPECT_FALSE(ZoneOn(plug));
    EXPECT_EQ(folder.ReadSettings(), "false\nfalse\nfalse\nfalse\nfalse\ntrue\nfalse\n");
    plug.SetGlobalOption(GlobalSettings::kGateLengthInSteps, 1.0);
    EXPECT_FALSE(ZoneOn(plug)); // another option leaves the zone alone
    plug.SetGlobalOption(GlobalSettings::kGateLengthInSteps, 0.0);
    EXPECT_FALSE(ZoneOn(plug));
    plug.SetGlobalOption(GlobalSettings::kDisableControlZone, 0.0);
    EXPECT_TRUE(ZoneOn(plug));
    plug.SetGlobalOption(GlobalSettings::kMidiNoteNames, 1.0);
    EXPECT_EQ(folder.ReadSettings(), "true\nfalse\nfalse\nfalse\nfalse\nfalse\nfalse\n");
    plug.SetGlobalOption(7, 1.0); // no such option
    plug.SetGlobalOption(-1, 1.0);
    EXPECT_EQ(folder.ReadSettings(), "true\nfalse\nfalse\nfalse\nfalse\nfalse\nfalse\n");
}

TEST(Settings, StatesAndResetsNeverChangeTheOptions)
{
    TempDataFolder folder;
    Tobel plug(nullptr);
    const auto stateWithoutOptions = StateBytes(plug);
    plug.SetGlobalOption(GlobalSettings::kStartNotesImmediately, 1.0);
    plug.SetGlobalOption(GlobalSettings::kUseOnlyOrderOnOff, 1.0);
    ASSERT_GT(ReadBytes(plug, stateWithoutOptions), 0);
    EXPECT_TRUE(plug.GetEngineHost().GetFlagByte(EngineHost::kStartNotesImmediately));
    EXPECT_TRUE(plug.OnlyOrderOnOff());
    EXPECT_EQ(plug.GetParameter(30607)->Value(), 1.0);
    EXPECT_EQ(plug.GetParameter(56725)->Value(), 1.0);
    plug.ResetToInitialState();
    EXPECT_EQ(plug.GetParameter(30607)->Value(), 1.0);
    EXPECT_EQ(folder.ReadSettings(), "false\ntrue\ntrue\nfalse\nfalse\nfalse\nfalse\n");
    // The state written now carries the options' switch values.
    const auto withOptions = StateBytes(plug);
    double second;
    std::memcpy(&second, &withOptions[8235 + 8], 8);
    EXPECT_EQ(second, 1.0);
}

TEST(Settings, AnUnusableDataFolderFallsBackToDefaults)
{
    TempDataFolder folder;
    // A file where the data folder's parent should be: nothing can be created below it.
    std::ofstream(folder.Root() / "Tobel") << "not a folder";
    GlobalSettings settings;
    settings.options[2] = 1;
    ReadGlobalSettings(&settings);
    EXPECT_EQ(settings.options[2], 0);
    EXPECT_FALSE(WriteGlobalSettings(settings));
    Tobel plug(nullptr); // constructs with every option off, no exception
    EXPECT_TRUE(ZoneOn(plug));
    plug.SetGlobalOption(GlobalSettings::kDisableControlZone, 1.0); // applied, not saved
    EXPECT_FALSE(ZoneOn(plug));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.Root() / "Tobel"));
}

TEST(Settings, AFailedWriteKeepsTheOldContent)
{
    TempDataFolder folder;
    folder.WriteSettings("true\n");
    // A folder in the way of the new file's name makes the write fail before anything is replaced.
    std::filesystem::create_directories(folder.SettingsFile().string() + ".new/blocker");
    GlobalSettings settings;
    EXPECT_FALSE(WriteGlobalSettings(settings));
    EXPECT_EQ(folder.ReadSettings(), "true\n");
}

} // namespace
