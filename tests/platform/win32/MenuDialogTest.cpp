// Popup menus, message boxes and modal dialogs answered by the script.
#include "RecordingWindow.h"

#include "platform/win32/Dialogs.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/Input.h"
#include "platform/win32/Menu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace quova::win32::test;
using quova::testing::DialogStep;
using quova::testing::MouseButton;

namespace
{

class MenuTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        frame = driver.CreateHostFrame(400, 300, 100, 50);
        editor = MakeChild(frame, 1, 0, 0, 300, 200);
        // "Init", an empty entry, "Factory" > "1 bass" > Preset A (1000) / Preset B (1001, grey),
        // a separator and "User" with Preset C (1002).
        menu = CreatePopupMenu();
        HMENU factory = CreatePopupMenu();
        HMENU bass = CreatePopupMenu();
        HMENU user = CreatePopupMenu();
        AppendMenuA(bass, MF_STRING, 1000, "Preset A");
        AppendMenuA(bass, MF_STRING | MF_GRAYED, 1001, "Preset B");
        AppendMenuA(factory, MF_POPUP, reinterpret_cast<UINT_PTR>(bass), "1 bass");
        AppendMenuA(user, MF_STRING | MF_CHECKED, 1002, "Preset C");
        AppendMenuA(menu, MF_STRING, 1, "Init");
        AppendMenuA(menu, MF_STRING, 2, "");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(factory), "Factory");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(user), "User");
    }
    void TearDown() override
    {
        DestroyMenu(menu);
        WindowFixture::TearDown();
    }

    UINT_PTR Track()
    {
        return static_cast<UINT_PTR>(
            TrackPopupMenu(menu, TPM_NONOTIFY | TPM_RETURNCMD, 120, 90, 0, editor, nullptr));
    }

    HWND frame = nullptr;
    HWND editor = nullptr;
    HMENU menu = nullptr;
};

} // namespace

TEST_F(MenuTest, WithNothingScriptedTheUserDismissesTheMenu)
{
    EXPECT_EQ(Track(), 0u);
    ASSERT_EQ(driver.Menus().size(), 1u);
    const auto& shown = driver.Menus()[0];
    EXPECT_EQ(shown.x, 120);
    EXPECT_EQ(shown.y, 90);
    EXPECT_EQ(shown.owner, editor);
    EXPECT_EQ(shown.chosen, 0u);
    ASSERT_EQ(shown.entries.size(), 5u);
    EXPECT_EQ(shown.entries[0].text, "Init");
    EXPECT_EQ(shown.entries[2].submenu[0].text, "1 bass");
    EXPECT_EQ(shown.entries[2].submenu[0].submenu[1].flags, MF_STRING | MF_GRAYED);
    EXPECT_EQ(shown.entries[3].flags, MF_SEPARATOR);
    EXPECT_EQ(shown.entries[4].submenu[0].flags & MF_CHECKED, MF_CHECKED);
}

TEST_F(MenuTest, ScriptedChoicesByIdOrByTextsAreAnsweredInOrder)
{
    driver.ChooseMenuItem(UINT_PTR{1002});
    driver.ChooseMenuItem(std::vector<std::string>{"Factory", "1 bass", "Preset A"});
    driver.DismissMenu();
    driver.ChooseMenuItem(UINT_PTR{1});
    EXPECT_EQ(Track(), 1002u);
    EXPECT_EQ(Track(), 1000u);
    EXPECT_EQ(Track(), 0u);
    EXPECT_EQ(Track(), 1u);
    EXPECT_EQ(driver.UnusedAnswers(), 0u);
    EXPECT_EQ(driver.Menus()[1].chosen, 1000u);
}

TEST_F(MenuTest, EntriesAUserCannotPickDismissTheMenu)
{
    driver.ChooseMenuItem(UINT_PTR{1001});                           // grey
    driver.ChooseMenuItem(UINT_PTR{4711});                           // not in the menu
    driver.ChooseMenuItem(std::vector<std::string>{"Factory"});      // a submenu header
    driver.ChooseMenuItem(std::vector<std::string>{"User", "Nope"}); // no such entry
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Track(), 0u) << i;
}

TEST_F(MenuTest, WithoutReturnCommandTheChoiceIsPostedToTheOwner)
{
    driver.ChooseMenuItem(UINT_PTR{2});
    Log().clear();
    EXPECT_TRUE(TrackPopupMenu(menu, TPM_LEFTALIGN, 0, 0, 0, editor, nullptr));
    EXPECT_TRUE(Of(editor, WM_COMMAND).empty());
    driver.Pump();
    auto commands = Of(editor, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 2);
    EXPECT_FALSE(TrackPopupMenu(menu, TPM_LEFTALIGN, 0, 0, 0, editor, nullptr)) << "dismissed";
}

TEST_F(MenuTest, TheReleaseOfTheButtonThatOpenedTheMenuStaysInTheMenu)
{
    SetHandler(
        [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& result)
        {
            if (h == editor && msg == WM_RBUTTONDOWN)
            {
                SetCapture(h);
                Track();
                result = 0;
                return true;
            }
            return false;
        });
    driver.Click(editor, 10, 10, MouseButton::Right);
    EXPECT_TRUE(Of(editor, WM_RBUTTONUP).empty());
    EXPECT_EQ(GetCapture(), nullptr) << "the menu took the capture";
    EXPECT_EQ(GetKeyState(VK_RBUTTON), 0);
    driver.Click(editor, 10, 10, MouseButton::Left);
    EXPECT_EQ(Of(editor, WM_LBUTTONUP).size(), 1u) << "later releases arrive as usual";
}

TEST_F(MenuTest, MenusAndSubmenusAreDestroyedTogether)
{
    HMENU outer = CreatePopupMenu();
    HMENU inner = CreatePopupMenu();
    EXPECT_TRUE(AppendMenuA(outer, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "sub"));
    EXPECT_FALSE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "again"))
        << "already attached";
    EXPECT_EQ(GetMenuItemCount(outer), 1);
    EXPECT_TRUE(DestroyMenu(outer));
    EXPECT_EQ(GetMenuItemCount(inner), -1);
    EXPECT_FALSE(DestroyMenu(inner));
    EXPECT_EQ(TrackPopupMenu(outer, TPM_RETURNCMD, 0, 0, 0, editor, nullptr), 0);
}

namespace
{

class DialogTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        DialogTemplate t;
        t.title = "Save preset";
        t.width = 300;
        t.height = 200;
        t.items = {{10013, "COMBOBOX", "", CBS_DROPDOWNLIST, {10, 10, 150, 100}},
                   {10004, "EDIT", "", 0, {10, 40, 150, 60}},
                   {10001, "EDIT", "", 0, {10, 70, 150, 90}},
                   {IDOK, "BUTTON", "&OK", BS_DEFPUSHBUTTON, {10, 150, 80, 170}},
                   {IDCANCEL, "BUTTON", "&Cancel", BS_PUSHBUTTON, {90, 150, 160, 170}}};
        RegisterDialogTemplateA(nullptr, "SAVEPRESET", t);
    }
};

struct SaveResult
{
    int category = -1;
    std::string name;
    std::string author;
    int asked = 0;
    HWND owner = nullptr;
};

SaveResult* gSave = nullptr;

// The shape of a save dialog: fill the fields, check on OK, ask before overwriting.
INT_PTR SaveProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
    {
        gSave = reinterpret_cast<SaveResult*>(lParam);
        for (const char* c : {"1 bass", "2 lead", "3 rhythm", "4 misc"})
            SendDlgItemMessageA(dlg, 10013, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c));
        SendDlgItemMessageA(dlg, 10013, CB_SETCURSEL, 0, 0);
        SetDlgItemTextA(dlg, 10001, "Someone");
        SendDlgItemMessageA(dlg, 10004, EM_LIMITTEXT, 31, 0);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK)
    {
        char name[32];
        GetDlgItemTextA(dlg, 10004, name, sizeof name);
        if (std::strlen(name) < 4) return TRUE; // stays open
        if (std::string(name) == "Taken")
        {
            ++gSave->asked;
            if (MessageBoxA(dlg, "Do you want to overwrite the existing file?", "File exists!", MB_YESNO) !=
                IDYES)
                return TRUE;
        }
        char author[255];
        GetDlgItemTextA(dlg, 10001, author, sizeof author);
        gSave->name = name;
        gSave->author = author;
        gSave->category = static_cast<int>(SendDlgItemMessageA(dlg, 10013, CB_GETCURSEL, 0, 0));
        EndDialog(dlg, 1);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL)
    {
        EndDialog(dlg, 2);
        return TRUE;
    }
    return FALSE;
}

} // namespace

TEST_F(DialogTest, MessageBoxesAnswerAsScriptedOrAsAUserWhoCancels)
{
    EXPECT_EQ(MessageBoxA(editor, "Note", "Info", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(editor, "Overwrite?", "File exists!", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(editor, "Go on?", nullptr, MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(MessageBoxA(editor, "Go on?", nullptr, MB_YESNOCANCEL), IDCANCEL);
    driver.AnswerMessageBox(IDYES);
    driver.AnswerMessageBox(IDYES); // not a button of an OK / Cancel box
    EXPECT_EQ(MessageBoxA(editor, "Overwrite?", "File exists!", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(editor, "Go on?", "", MB_OKCANCEL), IDCANCEL);
    ASSERT_EQ(driver.MessageBoxes().size(), 6u);
    EXPECT_EQ(driver.MessageBoxes()[1].text, "Overwrite?");
    EXPECT_EQ(driver.MessageBoxes()[1].caption, "File exists!");
    EXPECT_EQ(driver.MessageBoxes()[2].caption, "Error") << "the platform's caption for none";
    EXPECT_EQ(driver.MessageBoxes()[4].answer, IDYES);
    EXPECT_EQ(driver.MessageBoxes()[0].owner, editor);

    // The keyboard: Return presses the first button (or the one Tab moved to), Alt with the
    // underlined letter its button, Escape cancels.
    driver.RunMessageBox({DialogStep::Key(VK_RETURN)});
    EXPECT_EQ(MessageBoxA(editor, "Overwrite?", "File exists!", MB_YESNOCANCEL), IDYES);
    driver.RunMessageBox({DialogStep::Key(VK_TAB), DialogStep::Key(VK_RETURN)});
    EXPECT_EQ(MessageBoxA(editor, "Overwrite?", "File exists!", MB_YESNOCANCEL), IDNO);
    driver.RunMessageBox({DialogStep::Key('N', false, true)});
    EXPECT_EQ(MessageBoxA(editor, "Overwrite?", "File exists!", MB_YESNO), IDNO);
    driver.RunMessageBox({DialogStep::Key(VK_ESCAPE)});
    EXPECT_EQ(MessageBoxA(editor, "Overwrite?", "File exists!", MB_YESNOCANCEL), IDCANCEL);
}

TEST_F(DialogTest, ScriptedDialogFillsFieldsSelectsAndPressesOk)
{
    SaveResult result;
    std::string seenName;
    HWND dialog = nullptr;
    HWND owner = nullptr;
    driver.RunDialog({DialogStep::Select(10013, 2), DialogStep::Press(IDOK), // name too short: stays open
                      DialogStep::Type(10004, "My Bass 1 with a name far longer than thirty-one"),
                      DialogStep::Inspect(
                          [&](HWND dlg)
                          {
                              char buffer[64];
                              GetDlgItemTextA(dlg, 10004, buffer, sizeof buffer);
                              seenName = buffer;
                              dialog = dlg;
                              owner = GetParent(dlg);
                          }),
                      DialogStep::Press(IDOK)});
    INT_PTR r = DialogBoxParamA(nullptr, "SAVEPRESET", editor, SaveProc, reinterpret_cast<LPARAM>(&result));
    EXPECT_EQ(r, 1);
    EXPECT_EQ(result.category, 2);
    EXPECT_EQ(result.name, "My Bass 1 with a name far longe") << "the field's limit of 31 applies to typing";
    EXPECT_EQ(seenName, result.name);
    EXPECT_EQ(result.author, "Someone");
    ASSERT_EQ(driver.Dialogs().size(), 1u);
    const auto& shown = driver.Dialogs()[0];
    EXPECT_EQ(shown.title, "Save preset");
    EXPECT_EQ(shown.initialTexts.at(10001), "Someone");
    EXPECT_EQ(shown.initialLists.at(10013),
              (std::vector<std::string>{"1 bass", "2 lead", "3 rhythm", "4 misc"}));
    EXPECT_EQ(shown.initialSelections.at(10013), 0);
    EXPECT_EQ(shown.finalTexts.at(10013), "3 rhythm");
    EXPECT_EQ(shown.result, 1);
    EXPECT_EQ(owner, editor) << "the dialog is owned by the window it was opened over";
    EXPECT_FALSE(IsWindow(dialog)) << "no dialog window is left";
}

TEST_F(DialogTest, AQuestionAnsweredNoKeepsTheDialogOpenAndCancelEndsIt)
{
    SaveResult result;
    driver.RunDialog({DialogStep::Type(10004, "Taken"), DialogStep::Press(IDOK), DialogStep::Press(IDOK)});
    driver.AnswerMessageBox(IDNO);
    driver.AnswerMessageBox(IDYES);
    EXPECT_EQ(DialogBoxParamA(nullptr, "SAVEPRESET", editor, SaveProc, reinterpret_cast<LPARAM>(&result)), 1);
    EXPECT_EQ(result.asked, 2);
    EXPECT_EQ(result.name, "Taken");

    // Nothing scripted: the user cancels.
    SaveResult second;
    EXPECT_EQ(DialogBoxParamA(nullptr, "SAVEPRESET", editor, SaveProc, reinterpret_cast<LPARAM>(&second)), 2);
    EXPECT_EQ(second.name, "");
    // A dialog that ignores Cancel is closed with 0.
    EXPECT_EQ(
        DialogBoxParamA(
            nullptr, "SAVEPRESET", editor, +[](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0),
        0);
    EXPECT_TRUE(driver.Dialogs().back().abandoned);
    EXPECT_EQ(DialogBoxParamA(nullptr, "MISSING", editor, SaveProc, 0), -1);
    EXPECT_EQ(DialogBoxParamA(nullptr, "SAVEPRESET", editor, nullptr, 0), -1);
}

TEST_F(DialogTest, KeysWalkTheItemsInOrderAndPressTheButtons)
{
    std::vector<LONG_PTR> walked;
    const auto note =
        DialogStep::Inspect([&](HWND) { walked.push_back(GetWindowLongPtrA(GetFocus(), GWLP_ID)); });
    SaveResult result;
    driver.RunDialog({note,
                      DialogStep::Key(VK_DOWN), // the list that has the keys chooses the next entry
                      DialogStep::Key(VK_TAB),
                      note,
                      DialogStep::Key(VK_TAB),
                      note,
                      DialogStep::Key(VK_TAB),
                      note,
                      DialogStep::Key(VK_TAB),
                      note,
                      DialogStep::Key(VK_TAB),
                      note,
                      DialogStep::Key(VK_TAB, true),
                      note,
                      DialogStep::Key(VK_TAB, true),
                      note,
                      DialogStep::Key(VK_TAB, true),
                      note,
                      DialogStep::Key(VK_TAB, true),
                      note,
                      DialogStep::Key('L', true),
                      DialogStep::Key('O'),
                      DialogStep::Key('N'),
                      DialogStep::Key('G'),
                      DialogStep::Key(VK_RETURN)});
    EXPECT_EQ(DialogBoxParamA(nullptr, "SAVEPRESET", editor, SaveProc, reinterpret_cast<LPARAM>(&result)), 1);
    EXPECT_EQ(walked, (std::vector<LONG_PTR>{10013, 10004, 10001, IDOK, IDCANCEL, 10013, IDCANCEL, IDOK,
                                             10001, 10004}));
    EXPECT_EQ(result.category, 1);
    EXPECT_EQ(result.name, "Long") << "Tab into a field selects its text, so typing replaced it";

    // Return on a button that has the keys presses that button; Escape and Alt+C are Cancel.
    driver.RunDialog({DialogStep::Key(VK_TAB, true), DialogStep::Key(VK_RETURN)});
    EXPECT_EQ(DialogBoxParamA(nullptr, "SAVEPRESET", editor, SaveProc, reinterpret_cast<LPARAM>(&result)), 2);
    driver.RunDialog({DialogStep::Key(VK_ESCAPE)});
    EXPECT_EQ(DialogBoxParamA(nullptr, "SAVEPRESET", editor, SaveProc, reinterpret_cast<LPARAM>(&result)), 2);
    driver.RunDialog({DialogStep::Key('C', false, true)});
    EXPECT_EQ(DialogBoxParamA(nullptr, "SAVEPRESET", editor, SaveProc, reinterpret_cast<LPARAM>(&result)), 2);

    // Alt+O asks; the question's Escape keeps the dialog open with the keys where they were, and
    // its Return (the first button) lets the save go on.
    SaveResult taken;
    driver.RunDialog({DialogStep::Type(10004, "Taken"), DialogStep::Key('O', false, true),
                      DialogStep::Key('O', false, true)});
    driver.RunMessageBox({DialogStep::Key(VK_ESCAPE)});
    driver.RunMessageBox({DialogStep::Key(VK_RETURN)});
    EXPECT_EQ(DialogBoxParamA(nullptr, "SAVEPRESET", editor, SaveProc, reinterpret_cast<LPARAM>(&taken)), 1);
    EXPECT_EQ(taken.asked, 2);
    EXPECT_EQ(taken.name, "Taken");
    EXPECT_EQ(driver.UnusedAnswers(), 0u);
}

TEST_F(DialogTest, TheFirstFieldGetsTheKeysWithItsWholeTextSelected)
{
    DialogTemplate t;
    t.title = "Save preset";
    t.width = 300;
    t.height = 100;
    t.items = {{-1, "STATIC", "Preset name", 0, {10, 10, 100, 30}},
               {10004, "EDIT", "", 0, {110, 10, 290, 30}},
               {IDOK, "BUTTON", "&OK", BS_DEFPUSHBUTTON, {110, 60, 190, 85}}};
    RegisterDialogTemplateA(nullptr, "NAMEONLY", t);
    std::string typed;
    bool focused = false;
    driver.RunDialog({DialogStep::Inspect(
        [&](HWND dlg)
        {
            focused = GetFocus() == GetDlgItem(dlg, 10004); // not the label before it
            driver.TypeText("ArdTest2");
            char buffer[32];
            GetDlgItemTextA(dlg, 10004, buffer, sizeof buffer);
            typed = buffer;
        })});
    DialogBoxParamA(
        nullptr, "NAMEONLY", editor,
        +[](HWND dlg, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR
        {
            if (msg == WM_INITDIALOG) SetDlgItemTextA(dlg, 10004, "ArdTest1");
            if (msg == WM_COMMAND) EndDialog(dlg, LOWORD(wParam));
            return msg == WM_INITDIALOG || msg == WM_COMMAND;
        },
        0);
    EXPECT_TRUE(focused);
    EXPECT_EQ(typed, "ArdTest2") << "typing replaced the selected text";
}

TEST_F(DialogTest, DialogItemCallsOnMissingItemsFailQuietly)
{
    EXPECT_FALSE(SetDlgItemTextA(editor, 4242, "x"));
    char buffer[4] = "abc";
    EXPECT_EQ(GetDlgItemTextA(editor, 4242, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(SendDlgItemMessageA(editor, 4242, CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(EndDialog(editor, 1)) << "not a dialog";
}

TEST_F(DialogTest, FileAndColourDialogsAnswerAsScriptedOrCancel)
{
    char file[32] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    driver.AnswerFileDialog("/home/me/Desktop/a.t2z");
    EXPECT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_STREQ(file, "/home/me/Desktop/a.t2z");
    EXPECT_EQ(ofn.nFileOffset, 17);
    EXPECT_EQ(ofn.nFileExtension, 19);
    driver.AnswerFileDialog("/a/path/that/does/not/fit/into/32/bytes");
    EXPECT_FALSE(GetOpenFileNameA(&ofn));

    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.rgbResult = RGB(1, 2, 3);
    EXPECT_FALSE(ChooseColorA(&cc));
    EXPECT_EQ(cc.rgbResult, RGB(1, 2, 3));
    driver.AnswerColor(RGB(10, 20, 30));
    EXPECT_TRUE(ChooseColorA(&cc));
    EXPECT_EQ(cc.rgbResult, RGB(10, 20, 30));
    cc.lStructSize = 3;
    EXPECT_FALSE(ChooseColorA(&cc));
}
