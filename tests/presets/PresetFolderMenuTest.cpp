// Folder menus over a temporary data folder, names of saved files, and the search for them.
#include <gtest/gtest.h>

#include "PresetTestSupport.h"
#include "framework/IStateChunk.h"
#include "gui/IPopupMenu.h"
#include "presets/IndexChangedListener.h"
#include "presets/PresetFolderMenu.h"
#include "presets/PresetNames.h"

namespace
{

// Writes what the menu hands over: the chunk's bytes, raw or as a plain "compressed" file.
class RecordingListener : public IndexChangedListener
{
public:
    void OnNameChosen(const std::string& name) override { names.push_back(name); }
    bool WriteToStream(std::ostream& out, const IStateChunk*) override
    {
        out << "raw";
        return !failWrites && static_cast<bool>(out);
    }
    bool ReadFromStream(std::istream&, const std::string&) override { return true; }
    bool WriteCompressedFile(const std::string& path, const IStateChunk*) override
    {
        if (failWrites) return false;
        WriteBytes(path, {1, 2, 3});
        written.push_back(path);
        return true;
    }
    void LoadFile(int64_t, const std::string&, const std::string&) override {}

    std::vector<std::string> names;
    std::vector<std::string> written;
    bool failWrites = false;
};

std::vector<std::string> Texts(const IPopupMenu* menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < menu->CountItems(); ++i)
        texts.emplace_back(menu->GetItem(i)->GetText());
    return texts;
}

class PresetFolderMenuTest : public ::testing::Test
{
protected:
    std::string Root() const { return folder_.Presets().string() + "/"; }
    std::string ChordRoot() const { return folder_.ChordMemory().string() + "/"; }

    TempDataFolder folder_;
    RecordingListener listener_;
};

} // namespace

TEST_F(PresetFolderMenuTest, AFreshDataFolderGetsItsFoldersAndOnlyTheFixedEntries)
{
    PresetFolderMenu presets(Root(), ".t2", ".t2z", true, &listener_);
    PresetFolderMenu chords(ChordRoot(), ".cmb", "", false, &listener_);
    for (const auto& path : {folder_.Presets() / "Factory", folder_.Presets() / "User",
                             folder_.ChordMemory() / "Factory", folder_.ChordMemory() / "User"})
    {
        EXPECT_TRUE(std::filesystem::is_directory(path)) << path;
    }
    const IPopupMenu* root = presets.GetRootMenu();
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"Init", "", "Factory", "User"}));
    EXPECT_EQ(root->GetItem(0)->GetId(), 1);
    EXPECT_TRUE(root->GetItem(1)->HasFlag(IPopupMenuEntry::kSeparator));
    EXPECT_EQ(root->GetItem(2)->GetId(), 3);
    EXPECT_EQ(root->GetItem(3)->GetId(), 4);
    EXPECT_EQ(presets.GetFactoryMenu()->CountItems(), 0);
    EXPECT_EQ(presets.GetUserMenu()->CountItems(), 0);
    EXPECT_EQ(Texts(chords.GetRootMenu()), (std::vector<std::string>{"", "Factory", "User"}));
    EXPECT_EQ(chords.GetRootMenu()->GetItem(1)->GetId(), 2);
}

TEST_F(PresetFolderMenuTest, SubFoldersBecomeSubmenusAndFilesGetIdsFromOneThousand)
{
    WriteBytes(folder_.Presets() / "User" / "2 lead" / "Saw Lead.t2z", {0});
    WriteBytes(folder_.Presets() / "User" / "2 lead" / "acid.t2z", {0});
    WriteBytes(folder_.Presets() / "User" / "notes.txt", {0});
    WriteBytes(folder_.Presets() / "User" / "Plain.t2", {0});
    WriteBytes(folder_.Presets() / "User" / "Zed" / "Zero.t2z", {0});
    WriteBytes(folder_.Presets() / "Factory" / "Bassline.t2z", {0});
    PresetFolderMenu menu(Root(), ".t2", ".t2z", true, &listener_);

    // Sub-folders first, then files, each in name order without regard to case.
    EXPECT_EQ(Texts(menu.GetFactoryMenu()), (std::vector<std::string>{"Bassline"}));
    EXPECT_EQ(Texts(menu.GetUserMenu()), (std::vector<std::string>{"2 lead", "Zed", "Plain"}));
    const IPopupMenu* lead = menu.GetUserMenu()->GetItem(0)->GetSubmenu();
    ASSERT_NE(lead, nullptr);
    EXPECT_EQ(Texts(lead), (std::vector<std::string>{"acid", "Saw Lead"}));

    // The arrows' order is the menus' order: depth first, Factory before User.
    const IPopupMenu* root = menu.GetRootMenu();
    ASSERT_EQ(root->CountFlatItems(), 5);
    std::vector<std::pair<std::string, int>> flat;
    for (int i = 0; i < root->CountFlatItems(); ++i)
        flat.emplace_back(root->GetFlatItem(i)->GetText(), root->GetFlatItem(i)->GetId());
    EXPECT_EQ(flat,
              (std::vector<std::pair<std::string, int>>{
                  {"Bassline", 1000}, {"acid", 1001}, {"Saw Lead", 1002}, {"Zero", 1003}, {"Plain", 1004}}));
    EXPECT_EQ(menu.PathOf(lead->GetItem(0)), (folder_.Presets() / "User" / "2 lead" / "acid.t2z").string());
    EXPECT_EQ(menu.PathOf(menu.GetUserMenu()->GetItem(0)), ""); // a folder entry has no file
    EXPECT_EQ(root->FindItemById(1002)->GetText(), std::string("Saw Lead"));
}

TEST_F(PresetFolderMenuTest, FolderLinksAreFollowedButEveryFolderIsListedOnce)
{
    const std::filesystem::path user = folder_.Presets() / "User";
    WriteBytes(user / "Own.t2z", {0});
    WriteBytes(folder_.Root() / "elsewhere" / "Far.t2z", {0});
    std::filesystem::create_directory_symlink(folder_.Root() / "elsewhere", user / "linked");
    // Two links back to the folder itself made the scan grow exponentially with its depth.
    std::filesystem::create_directory_symlink(user, user / "loop a");
    std::filesystem::create_directory_symlink(user, user / "loop b");
    WriteBytes(folder_.Presets() / "Factory" / "Base.t2z", {0});
    std::filesystem::create_directory_symlink(user, folder_.Presets() / "Factory" / "to user");

    PresetFolderMenu menu(Root(), ".t2", ".t2z", true, &listener_);
    EXPECT_EQ(Texts(menu.GetFactoryMenu()), (std::vector<std::string>{"to user", "Base"}));
    const IPopupMenu* throughLink = menu.GetFactoryMenu()->GetItem(0)->GetSubmenu();
    ASSERT_NE(throughLink, nullptr);
    EXPECT_EQ(Texts(throughLink), (std::vector<std::string>{"linked", "Own"}));
    // The user folder was listed through the factory's link already.
    EXPECT_TRUE(Texts(menu.GetUserMenu()).empty());
    EXPECT_EQ(menu.GetRootMenu()->CountFlatItems(), 3);

    // The existence check of the save dialogs follows the same links and ends as well.
    EXPECT_TRUE(FindFileRecursive("Far", user.string()));
    EXPECT_TRUE(FindFileRecursive("Own", (folder_.Presets() / "Factory").string()));
    EXPECT_FALSE(FindFileRecursive("Missing", user.string()));
}

TEST_F(PresetFolderMenuTest, TheChordBoxListsOnlyItsOwnExtension)
{
    WriteBytes(folder_.ChordMemory() / "Factory" / "Jazz.cmb", {0});
    WriteBytes(folder_.ChordMemory() / "Factory" / "noextension", {0});
    WriteBytes(folder_.ChordMemory() / "Factory" / "Song.t2z", {0});
    PresetFolderMenu menu(ChordRoot(), ".cmb", "", false, &listener_);
    EXPECT_EQ(Texts(menu.GetFactoryMenu()), (std::vector<std::string>{"Jazz"}));
}

TEST_F(PresetFolderMenuTest, SavingCreatesTheCategoryFolderAndAddsOneEntry)
{
    WriteBytes(folder_.Presets() / "User" / "Loose.t2z", {0});
    PresetFolderMenu menu(Root(), ".t2", ".t2z", true, &listener_);
    IStateChunk chunk;
    IPopupMenuEntry* entry = menu.SaveToUserFolder("My Bass 1", 0, &chunk);
    ASSERT_NE(entry, nullptr);
    const auto path = folder_.Presets() / "User" / "1 bass" / "My Bass 1.t2z";
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(menu.PathOf(entry), path.string());
    EXPECT_EQ(entry->GetId(), 1001);
    EXPECT_EQ(Texts(menu.GetUserMenu()), (std::vector<std::string>{"1 bass", "Loose"}));

    // Saving the same name again overwrites the file and keeps the one entry.
    EXPECT_EQ(menu.SaveToUserFolder("My Bass 1", 0, &chunk), entry);
    EXPECT_EQ(menu.GetRootMenu()->CountFlatItems(), 2);

    // A name with a slash cannot leave the folder: it is saved as "Preset 1".
    IPopupMenuEntry* vetted = menu.SaveToUserFolder("../../evil", 3, &chunk);
    ASSERT_NE(vetted, nullptr);
    EXPECT_EQ(std::string(vetted->GetText()), "Preset 1");
    EXPECT_TRUE(std::filesystem::exists(folder_.Presets() / "User" / "4 misc" / "Preset 1.t2z"));

    // Saved files take their places in name order, in the menus and for the arrows.
    EXPECT_NE(menu.SaveToUserFolder("a Bass", 0, &chunk), nullptr);
    EXPECT_EQ(Texts(menu.GetUserMenu()), (std::vector<std::string>{"1 bass", "4 misc", "Loose"}));
    EXPECT_EQ(Texts(menu.GetUserMenu()->GetItem(0)->GetSubmenu()),
              (std::vector<std::string>{"a Bass", "My Bass 1"}));
    std::vector<std::string> flat;
    for (int i = 0; i < menu.GetRootMenu()->CountFlatItems(); ++i)
        flat.emplace_back(menu.GetRootMenu()->GetFlatItem(i)->GetText());
    EXPECT_EQ(flat, (std::vector<std::string>{"a Bass", "My Bass 1", "Preset 1", "Loose"}));
}

TEST_F(PresetFolderMenuTest, AFailedSaveLeavesTheMenuAndTheOldFile)
{
    WriteBytes(folder_.ChordMemory() / "User" / "Keep.cmb", {9, 9});
    PresetFolderMenu menu(ChordRoot(), ".cmb", "", false, &listener_);
    listener_.failWrites = true;
    EXPECT_EQ(menu.SaveToUserFolder("Keep", -1, nullptr), nullptr);
    EXPECT_EQ(ReadBytes(folder_.ChordMemory() / "User" / "Keep.cmb"), (std::vector<uint8_t>{9, 9}));
    EXPECT_FALSE(std::filesystem::exists(folder_.ChordMemory() / "User" / "Keep.cmb.tmp"));
    EXPECT_EQ(menu.GetRootMenu()->CountFlatItems(), 1);
}

TEST_F(PresetFolderMenuTest, WithoutADataFolderTheMenuHasOnlyItsFixedEntries)
{
    PresetFolderMenu menu("", ".t2", ".t2z", true, &listener_);
    EXPECT_EQ(Texts(menu.GetRootMenu()), (std::vector<std::string>{"Init", "", "Factory", "User"}));
    IStateChunk chunk;
    EXPECT_EQ(menu.SaveToUserFolder("Name", 0, &chunk), nullptr);
}

TEST(PresetNamesTest, OnlyLettersDigitsUnderscoresAndBlanksPass)
{
    EXPECT_EQ(IsValidPresetName("My Bass 1"), "My Bass 1");
    EXPECT_EQ(IsValidPresetName("under_score"), "under_score");
    EXPECT_EQ(IsValidPresetName("a/b"), "Preset 1");
    EXPECT_EQ(IsValidPresetName(".."), "Preset 1");
    EXPECT_EQ(IsValidPresetName("abc\n"), "Preset 1");
    EXPECT_EQ(IsValidPresetName("Bass\xc3\xa9"), "Preset 1");
    EXPECT_EQ(IsValidPresetName(""), "Preset 1");
}

TEST(PresetNamesTest, FindFileRecursiveMatchesBaseNamesInSubFolders)
{
    TempDataFolder folder;
    WriteBytes(folder.Root() / "User" / "2 lead" / "deep" / "Lead One.t2z", {0});
    const std::string user = (folder.Root() / "User").string();
    EXPECT_TRUE(FindFileRecursive("Lead One", user));
    EXPECT_TRUE(FindFileRecursive("Lead One", user + "/"));
    EXPECT_FALSE(FindFileRecursive("lead one", user)); // case matters
    EXPECT_FALSE(FindFileRecursive("2 lead", user));   // folders are not files
    EXPECT_FALSE(FindFileRecursive("Lead One", (folder.Root() / "missing").string()));
}
