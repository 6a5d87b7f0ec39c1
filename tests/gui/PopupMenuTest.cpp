// IPopupMenu: ids, insertion, the flat list and stepping, search, ownership.
#include <gtest/gtest.h>

#include "gui/IPopupMenu.h"

namespace
{

// A menu that reports its deletion.
struct CountedMenu : IPopupMenu
{
    explicit CountedMenu(int* deletions, int32_t idBase = 0) : IPopupMenu(idBase), deletions(deletions) {}
    ~CountedMenu() override { ++*deletions; }
    int* deletions;
};

IPopupMenuEntry* AddSelectable(IPopupMenu* menu, const char* text)
{
    return menu->AddItem(new IPopupMenuEntry(text, 0, true));
}

} // namespace

TEST(IPopupMenu, IdsCountEntriesAfterAdding)
{
    IPopupMenu menu;
    EXPECT_EQ(menu.GetChosenIndex(), -1);
    EXPECT_EQ(menu.AddTextItem("one")->GetId(), 1);
    EXPECT_EQ(menu.AddTextItem("two")->GetId(), 2);
    EXPECT_EQ(menu.AddTextItem("three")->GetId(), 3);
    IPopupMenuEntry* first = menu.AddTextItem("zero", 0);
    EXPECT_EQ(first->GetId(), 4);
    EXPECT_EQ(menu.GetItem(0), first);
    EXPECT_STREQ(menu.GetItem(1)->GetText(), "one");
    EXPECT_EQ(menu.GetItem(4), nullptr);
    IPopupMenuEntry* far = menu.AddTextItem("far", 99); // index clamped to the count: appended
    EXPECT_EQ(menu.GetItem(4), far);
    EXPECT_EQ(far->GetId(), 5);
    IPopupMenu other;
    EXPECT_EQ(other.AddItem(first), nullptr); // an entry belongs to one menu only

    IPopupMenu based(1000);
    EXPECT_EQ(based.AddTextItem("a")->GetId(), 1001);
    IPopupMenuEntry* separator = based.AddSeparator();
    EXPECT_TRUE(separator->HasFlag(IPopupMenuEntry::kSeparator));
    EXPECT_STREQ(separator->GetText(), "");
    based.AddTextItem("b");
    EXPECT_EQ(based.IndexWithoutSeparators(2), 1);
    EXPECT_EQ(based.IndexWithoutSeparators(1), 1);
}

TEST(IPopupMenu, StepChosenItemWrapsThroughTheFlatList)
{
    IPopupMenu root(999); // root ids 1000..1002, submenu ids 2001..2002
    IPopupMenuEntry* e0 = AddSelectable(&root, "a");
    IPopupMenuEntry* folder = root.AddTextItem("folder");
    auto* sub = new IPopupMenu(2000);
    ASSERT_TRUE(folder->SetSubmenu(sub));
    IPopupMenuEntry* e1 = AddSelectable(sub, "b"); // reaches the root's flat list
    IPopupMenuEntry* e2 = AddSelectable(sub, "c");
    IPopupMenuEntry* e3 = AddSelectable(&root, "d");
    ASSERT_EQ(root.CountFlatItems(), 4);
    EXPECT_EQ(sub->CountFlatItems(), 0);
    EXPECT_EQ(e0->GetId(), 1000);
    EXPECT_EQ(e1->GetId(), 2001);
    EXPECT_EQ(e3->GetId(), 1002);

    root.SetChosenIndex(5); // below 1000: nothing chosen yet
    EXPECT_EQ(root.StepChosenItem(true, false), e0);
    EXPECT_EQ(root.StepChosenItem(false, false), e3);
    EXPECT_EQ(root.GetChosenIndex(), 5);

    root.SetChosenIndex(e3->GetId());
    EXPECT_EQ(root.StepChosenItem(true, true), e0); // wraps to the first
    EXPECT_EQ(root.GetChosenIndex(), e0->GetId());
    EXPECT_EQ(root.StepChosenItem(false, true), e3); // wraps to the last
    EXPECT_EQ(root.StepChosenItem(false, true), e2);

    root.SetChosenIndex(4000); // no entry has it
    EXPECT_EQ(root.StepChosenItem(true, true), nullptr);
    EXPECT_EQ(root.GetChosenIndex(), 4000);
    IPopupMenu empty;
    EXPECT_EQ(empty.StepChosenItem(true, true), nullptr);
}

TEST(IPopupMenu, FindSearchesEachEntryThenItsSubmenu)
{
    IPopupMenu root;
    IPopupMenuEntry* first = root.AddTextItem("first");   // id 1
    IPopupMenuEntry* second = root.AddTextItem("second"); // id 2
    auto* firstSub = new IPopupMenu(10);
    auto* secondSub = new IPopupMenu(20);
    first->SetSubmenu(firstSub);
    second->SetSubmenu(secondSub);
    firstSub->AddTextItem("f1");                        // id 11
    IPopupMenuEntry* s1 = secondSub->AddTextItem("s1"); // id 21
    IPopupMenuEntry* s2 = secondSub->AddTextItem("s2"); // id 22
    auto* deep = new IPopupMenu(30);
    s2->SetSubmenu(deep);
    IPopupMenuEntry* d1 = deep->AddTextItem("d1"); // id 31

    EXPECT_EQ(root.FindItemById(21), s1);
    EXPECT_EQ(root.FindItemById(31), d1);
    EXPECT_EQ(root.FindItemById(2), second);
    EXPECT_EQ(root.FindItemById(99), nullptr);
    EXPECT_EQ(root.HighestItemId(), 31);
    EXPECT_EQ(deep->RootMenu(), &root);
    EXPECT_EQ(IPopupMenu().HighestItemId(), 0);

    // A second submenu for the same entry, or a menu already attached elsewhere, is refused.
    IPopupMenu spare;
    EXPECT_FALSE(first->SetSubmenu(&spare));
    EXPECT_FALSE(root.AddTextItem("x")->SetSubmenu(deep));
    EXPECT_EQ(spare.GetParentEntry(), nullptr);
}

TEST(IPopupMenu, DeletingTheRootDeletesEverySubmenu)
{
    int deletions = 0;
    auto* root = new CountedMenu(&deletions);
    auto* sub = new CountedMenu(&deletions);
    auto* subsub = new CountedMenu(&deletions);
    root->AddTextItem("a")->SetSubmenu(sub);
    sub->AddTextItem("b")->SetSubmenu(subsub);
    AddSelectable(subsub, "leaf");
    delete root;
    EXPECT_EQ(deletions, 3);
}
