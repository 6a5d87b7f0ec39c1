// The "EDIT" field: text, selection, limit, font, typing, notifications and replaced procedures.
#include "RecordingWindow.h"

#include "platform/gdi/Gdi.h"
#include "platform/win32/ControlPainter.h"
#include "platform/win32/Dialogs.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/Input.h"
#include "platform/win32/Paint.h"

#include <gtest/gtest.h>

#include <string>

using namespace quova::win32::test;

namespace
{

class EditControlTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        frame = driver.CreateHostFrame(400, 300);
        editor = MakeChild(frame, 1, 0, 0, 300, 200);
    }

    HWND MakeField(const char* text, DWORD align = ES_LEFT)
    {
        return CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | ES_MULTILINE | align, 10, 20, 61, 17,
                               editor, reinterpret_cast<HMENU>(uintptr_t{99}), nullptr, nullptr);
    }

    static std::string Text(HWND field)
    {
        char buffer[64];
        int n = static_cast<int>(
            SendMessageA(field, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)));
        return std::string(buffer, static_cast<size_t>(n));
    }

    static std::pair<DWORD, DWORD> Selection(HWND field)
    {
        DWORD a = 0, b = 0;
        SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return {a, b};
    }

    HWND frame = nullptr;
    HWND editor = nullptr;
};

} // namespace

TEST_F(EditControlTest, StartsWithItsWindowTextAndAnswersGetText)
{
    HWND field = MakeField("0.50");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(GetDlgItem(editor, 99), field);
    EXPECT_EQ(Text(field), "0.50");
    char small[3];
    EXPECT_EQ(SendMessageA(field, WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 2);
    EXPECT_STREQ(small, "0.");
    EXPECT_EQ(SendMessageA(field, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
    EXPECT_EQ(SendMessageA(field, WM_GETTEXTLENGTH, 0, 0), 4);
}

TEST_F(EditControlTest, SelectAllThenTypingReplacesTheText)
{
    HWND field = MakeField("0.50");
    SendMessageA(field, EM_SETSEL, 0, -1);
    DWORD a = 9, b = 9;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 4u);
    SetFocus(field);
    driver.TypeText("12");
    EXPECT_EQ(Text(field), "12");
    driver.PressKey(VK_BACK);
    EXPECT_EQ(Text(field), "1");
    driver.PressKey(VK_HOME);
    driver.TypeText("-");
    EXPECT_EQ(Text(field), "-1");
    driver.PressKey(VK_DELETE);
    EXPECT_EQ(Text(field), "-");
}

TEST_F(EditControlTest, TheMousePlacesTheCaretSelectsByDraggingAndSelectsAWordByDoubleClick)
{
    HWND field = CreateWindowExA(0, "EDIT", "ArdTest1 more", WS_CHILD | WS_VISIBLE, 10, 20, 160, 20, editor,
                                 reinterpret_cast<HMENU>(uintptr_t{98}), nullptr, nullptr);
    // The text starts inside a one-pixel border; a click a little either side of the boundary
    // after "Ard" puts the caret on it.
    const int afterArd = 1 + quova::win32::LabelWidth("Ard");
    for (int dx : {-2, 2})
    {
        driver.Click(field, afterArd + dx, 10);
        EXPECT_EQ(GetFocus(), field);
        EXPECT_EQ(Selection(field), (std::pair<DWORD, DWORD>{3, 3})) << dx;
    }
    driver.Click(field, 150, 10); // past the end of the text
    driver.TypeText("2");
    EXPECT_EQ(Text(field), "ArdTest1 more2");

    driver.Drag(field, 2, 10, afterArd, 10);
    EXPECT_EQ(Selection(field), (std::pair<DWORD, DWORD>{0, 3}));
    EXPECT_EQ(GetCapture(), nullptr);
    driver.DoubleClick(field, 1 + quova::win32::LabelWidth("ArdTest1 mo"), 10);
    EXPECT_EQ(Selection(field), (std::pair<DWORD, DWORD>{9, 14})) << "the word \"more2\"";
    driver.TypeText("x");
    EXPECT_EQ(Text(field), "ArdTest1 x");

    // In a multi-line field the pointer's line counts.
    HWND lines = MakeField("ab\r\ncd");
    SetWindowPos(lines, nullptr, 0, 0, 61, 40, SWP_NOMOVE | SWP_NOZORDER);
    driver.Click(lines, 50, 1 + quova::win32::LineHeight() + 3);
    EXPECT_EQ(Selection(lines), (std::pair<DWORD, DWORD>{6, 6}));
}

TEST_F(EditControlTest, TheLimitRefusesLongerText)
{
    HWND field = MakeField("");
    SendMessageA(field, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessageA(field, EM_GETLIMITTEXT, 0, 0), 3);
    SetFocus(field);
    driver.TypeText("12345");
    EXPECT_EQ(Text(field), "123");
    SendMessageA(field, EM_SETSEL, 1, 2);
    driver.TypeText("x");
    EXPECT_EQ(Text(field), "1x3") << "replacing a selection within the limit is allowed";
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("longer than three"));
    EXPECT_EQ(Text(field), "longer than three") << "the limit is for typing only";
}

TEST_F(EditControlTest, EnterBreaksTheLineOfAMultiLineFieldAndChangesAreReported)
{
    HWND field = MakeField("");
    SetFocus(field);
    Log().clear();
    driver.TypeText("a");
    driver.PressKey(VK_RETURN);
    EXPECT_EQ(Text(field), "a\r\n");
    auto commands = Of(editor, WM_COMMAND);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 99);
    EXPECT_EQ(HIWORD(commands[0].wParam), EN_CHANGE);
    EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(field));
}

TEST_F(EditControlTest, ReplacedProcedureFiltersCharactersAndSeesFocusChanges)
{
    // The pattern of a text-entry field: a filter in front of the field's own procedure.
    static WNDPROC previous = nullptr;
    static std::vector<UINT> seen;
    seen.clear();
    HWND field = MakeField("");
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        field, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(
            +[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT
            {
                if (m == WM_SETFOCUS || m == WM_KILLFOCUS || (m == WM_KEYDOWN && w == VK_RETURN))
                    seen.push_back(m);
                if (m == WM_CHAR && w != 8 && !(w >= '0' && w <= '9') && w != '.' && w != '-' && w != '+')
                    return 0; // refused
                return CallWindowProcA(previous, h, m, w, l);
            })));
    SetFocus(field);
    driver.TypeText("1a.5e");
    EXPECT_EQ(Text(field), "1.5");
    driver.PressKey(VK_RETURN);
    EXPECT_EQ(Text(field), "1.5") << "Enter's character is refused too";
    SetFocus(editor);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_SETFOCUS, WM_KEYDOWN, WM_KILLFOCUS}));
}

TEST_F(EditControlTest, KeepsItsFontAndDrawsItsTextWhenPainted)
{
    HWND field = MakeField("88", ES_CENTER);
    HFONT font = CreateFontA(14, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Verdana");
    ASSERT_NE(font, nullptr);
    SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(SendMessageA(field, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    UpdateWindow(field);
    const PixelSurface& s = driver.Surface(field);
    ASSERT_EQ(s.width, 61);
    ASSERT_EQ(s.height, 17);
    EXPECT_EQ(s.At(0, 0) & 0xFFFFFF, 0xFFFFFFu) << "a white field";
    int dark = 0, darkLeft = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if ((s.At(x, y) & 0xFF) < 128)
            {
                ++dark;
                if (x < 15) ++darkLeft;
            }
    EXPECT_GT(dark, 10) << "the digits are drawn";
    EXPECT_EQ(darkLeft, 0) << "centred, so nothing near the left edge";
    DestroyWindow(field);
    DeleteObject(reinterpret_cast<HGDIOBJ>(font));
}

TEST_F(EditControlTest, ButtonsReportAClickOnlyWhenReleasedOverThem)
{
    HWND button = CreateWindowExA(0, "BUTTON", "&OK", WS_CHILD | WS_VISIBLE, 100, 100, 40, 20, editor,
                                  reinterpret_cast<HMENU>(uintptr_t{1}), nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    Log().clear();
    driver.Click(button, 5, 5);
    auto commands = Of(editor, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 1);
    EXPECT_EQ(HIWORD(commands[0].wParam), BN_CLICKED);
    driver.Drag(button, 5, 5, 80, 5, 1); // pressed, then released beside it
    EXPECT_EQ(Of(editor, WM_COMMAND).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditControlTest, ComboBoxKeepsEntriesAndASelection)
{
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0, 80, 100,
                                 editor, reinterpret_cast<HMENU>(uintptr_t{2}), nullptr, nullptr);
    EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("1 bass")), 0);
    EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("2 lead")), 1);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), -1);
    EXPECT_EQ(Text(combo), "");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(Text(combo), "2 lead");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 5, 0), -1) << "out of range clears the selection";
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), -1);
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 7, 0), -1);
    EXPECT_FALSE(SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")));

    // The window is the shut face, one line high at the top; below it the parent gets the click.
    RECT face{};
    GetWindowRect(combo, &face);
    EXPECT_EQ(face.bottom - face.top, quova::win32::FaceHeight());
    Log().clear();
    driver.Click(editor, 20, 50);
    EXPECT_EQ(Of(editor, WM_LBUTTONDOWN).size(), 1u);
    EXPECT_TRUE(driver.Menus().empty()) << "the list did not drop";
}
