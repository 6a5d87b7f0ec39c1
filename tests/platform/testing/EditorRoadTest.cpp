// The driver against a small editor window written the way the editor's window layer works: a
// window class with double clicks, a redraw timer, painting from a back buffer, mouse capture, a
// text field with a replaced procedure committed or cancelled at the next tick, and a popup menu.
#include "platform/testing/PlatformDriver.h"

#include "platform/gdi/Gdi.h"
#include "platform/testing/SurfacePng.h"
#include "platform/win32/Dialogs.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/Input.h"
#include "platform/win32/Menu.h"
#include "platform/win32/Paint.h"
#include "platform/win32/Timer.h"
#include "platform/win32/Window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using quova::testing::MouseButton;
using quova::testing::PlatformDriver;

namespace
{

constexpr int kWidth = 120;
constexpr int kHeight = 80;

struct MiniEditor
{
    HWND window = nullptr;
    HDC backDC = nullptr;
    HBITMAP back = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* pixels = nullptr;
    RECT dirty{0, 0, 0, 0}; // what the next tick invalidates
    uint32_t colour = 0xFF000000;
    std::vector<std::string> events;
    // Text entry: 0 none, 1 editing, 3 cancel, 4 commit.
    HWND field = nullptr;
    WNDPROC fieldOldProc = nullptr;
    int entryState = 0;
    std::string committed;

    MiniEditor()
    {
        backDC = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader =
            BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        back = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<uint32_t*>(bits);
        previous = SelectObject(backDC, reinterpret_cast<HGDIOBJ>(back));
    }
    ~MiniEditor()
    {
        if (IsWindow(window)) DestroyWindow(window);
        SelectObject(backDC, previous);
        DeleteObject(reinterpret_cast<HGDIOBJ>(back));
        DeleteDC(backDC);
    }
    MiniEditor(const MiniEditor&) = delete;
    MiniEditor& operator=(const MiniEditor&) = delete;

    void Fill(const RECT& r)
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                pixels[y * kWidth + x] = colour;
    }

    void CloseField()
    {
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fieldOldProc));
        DestroyWindow(field);
        field = nullptr;
    }

    static MiniEditor* From(HWND h)
    {
        return reinterpret_cast<MiniEditor*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    }

    static LRESULT FieldProc(HWND h, UINT msg, WPARAM w, LPARAM l)
    {
        MiniEditor* e = From(GetParent(h));
        if (!e || h != e->field) return DefWindowProcA(h, msg, w, l);
        if (msg == WM_KEYDOWN && w == VK_RETURN)
        {
            e->entryState = 4;
            return 0;
        }
        if (msg == WM_SETFOCUS) e->entryState = 1;
        if (msg == WM_KILLFOCUS) e->entryState = 3;
        if (msg == WM_CHAR && w != 8 && !(w >= '0' && w <= '9') && w != '.' && w != '-' && w != '+') return 0;
        return CallWindowProcA(e->fieldOldProc, h, msg, w, l);
    }

    void OpenField(const char* text)
    {
        field = CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_CENTER, 10, 10, 41,
                                17, window, reinterpret_cast<HMENU>(uintptr_t{99}), nullptr, nullptr);
        SendMessageA(field, EM_SETSEL, 0, -1);
        SendMessageA(field, EM_LIMITTEXT, 7, 0);
        fieldOldProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc)));
        SetFocus(field);
    }

    static LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l)
    {
        if (msg == WM_CREATE)
        {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(l);
            SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
            SetTimer(h, 2, 1000 / 30, nullptr);
            SetFocus(h);
            return 0;
        }
        MiniEditor* e = From(h);
        if (!e || e->window != h) return DefWindowProcA(h, msg, w, l);
        if (e->field && e->entryState == 1 && (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN))
        {
            e->entryState = 3;
            return 0;
        }
        auto at = [&](const char* what)
        {
            e->events.push_back(std::string(what) + " " + std::to_string(GET_X_LPARAM(l)) + "," +
                                std::to_string(GET_Y_LPARAM(l)) + ((w & MK_SHIFT) ? " shift" : "") +
                                ((GetKeyState(VK_MENU) < 0) ? " alt" : ""));
        };
        switch (msg)
        {
        case WM_LBUTTONDOWN:
            SetFocus(h);
            SetCapture(h);
            at("down");
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            at("up");
            return 0;
        case WM_LBUTTONDBLCLK:
            at("double");
            return 0;
        case WM_MOUSEMOVE:
            if ((w & MK_LBUTTON) && GetCapture() == h && !e->field) at("drag");
            return 0;
        case WM_MOUSEWHEEL:
            if (e->field)
                e->entryState = 3;
            else
                e->events.push_back("wheel " + std::to_string(GET_WHEEL_DELTA_WPARAM(w) / 120));
            return 0;
        case WM_RBUTTONDOWN:
        {
            POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            ClientToScreen(h, &p);
            HMENU m = CreatePopupMenu();
            AppendMenuA(m, MF_STRING, 1, "Red");
            AppendMenuA(m, MF_STRING, 2, "Green");
            auto id = TrackPopupMenu(m, TPM_NONOTIFY | TPM_RETURNCMD, p.x, p.y, 0, h, nullptr);
            DestroyMenu(m);
            e->events.push_back("menu " + std::to_string(id));
            if (id == 1) e->colour = 0xFFFF0000;
            if (id == 2) e->colour = 0xFF00FF00;
            return 0;
        }
        case WM_TIMER:
            if (w != 2) return 0;
            if (e->field && e->entryState == 3)
                e->CloseField();
            else if (e->field && e->entryState == 4)
            {
                char text[33];
                SendMessageA(e->field, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
                e->committed = text;
                e->CloseField();
            }
            e->entryState = 0;
            if (e->dirty.right > e->dirty.left)
            {
                InvalidateRect(h, &e->dirty, FALSE);
                e->dirty = RECT{0, 0, 0, 0};
                UpdateWindow(h);
            }
            return 0;
        case WM_PAINT:
        {
            RECT r{};
            if (GetUpdateRect(h, &r, FALSE))
            {
                e->Fill(r);
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(h, &ps);
                BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, e->backDC, r.left, r.top,
                       SRCCOPY);
                EndPaint(h, &ps);
            }
            return 0;
        }
        default:
            return DefWindowProcA(h, msg, w, l);
        }
    }

    bool Open(HWND parent)
    {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = Proc;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = "QuovaWndClass";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "QuovaWndClass", "Quova", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                 parent, nullptr, nullptr, this);
        return window != nullptr;
    }
};

class EditorRoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = driver.CreateHostFrame(200, 150, 300, 200);
        ASSERT_TRUE(editor.Open(frame));
        driver.Pump(); // first paint of the new window
    }

    PlatformDriver driver;
    HWND frame = nullptr;
    MiniEditor editor;
};

} // namespace

TEST_F(EditorRoadTest, TimerTicksPaintTheChangedAreaIntoTheWindow)
{
    EXPECT_EQ(driver.TimerInterval(editor.window, 2), 33u);
    EXPECT_EQ(GetFocus(), editor.window);
    editor.colour = 0xFF2040C0;
    editor.dirty = RECT{10, 20, 30, 25};
    EXPECT_EQ(driver.AdvanceTime(32), 0);
    EXPECT_EQ(driver.Pixel(editor.window, 10, 20) & 0xFFFFFF, 0u);
    EXPECT_EQ(driver.AdvanceTime(1), 1);
    EXPECT_EQ(driver.Pixel(editor.window, 10, 20) & 0xFFFFFF, 0x2040C0u);
    EXPECT_EQ(driver.Pixel(editor.window, 29, 24) & 0xFFFFFF, 0x2040C0u);
    EXPECT_EQ(driver.Pixel(editor.window, 30, 24) & 0xFFFFFF, 0u);
    PixelSurface whole = driver.Composite(frame);
    EXPECT_EQ(whole.At(15, 22) & 0xFFFFFF, 0x2040C0u);

    std::vector<unsigned char> png;
    EXPECT_TRUE(
        EncodePixelsPng(whole.pixels.data(), whole.width, whole.height, whole.width, png, PngAlpha::Opaque));
    EXPECT_GT(png.size(), 8u);
}

TEST_F(EditorRoadTest, MouseGesturesArriveAsTheWindowSystemDeliversThem)
{
    driver.HoldModifiers(true, false, true);
    driver.Click(editor.window, 5, 6);
    driver.HoldModifiers(false, false, false);
    driver.Drag(editor.window, 10, 10, 10, -20, 2);
    driver.DoubleClick(editor.window, 40, 40);
    driver.Wheel(editor.window, 1, 1, -1);
    EXPECT_EQ(editor.events, (std::vector<std::string>{"down 5,6 shift alt", "up 5,6 shift alt", "down 10,10",
                                                       "drag 10,-5", "drag 10,-20", "up 10,-20", "down 40,40",
                                                       "up 40,40", "double 40,40", "up 40,40", "wheel -1"}));
}

TEST_F(EditorRoadTest, TextEntryCommitsOnEnterAtTheNextTick)
{
    editor.OpenField("0.50");
    EXPECT_EQ(editor.entryState, 1) << "the field has the focus";
    driver.TypeText("x1.25");
    driver.PressKey(VK_RETURN);
    EXPECT_EQ(editor.entryState, 4);
    EXPECT_TRUE(editor.committed.empty()) << "nothing happens before the tick";
    driver.AdvanceTime(33);
    EXPECT_EQ(editor.committed, "1.25");
    EXPECT_EQ(editor.field, nullptr);
    EXPECT_EQ(GetDlgItem(editor.window, 99), nullptr);
}

TEST_F(EditorRoadTest, AClickElsewhereOrTheWheelCancelsTheEntry)
{
    editor.OpenField("3");
    driver.Click(editor.window, 100, 70);
    EXPECT_EQ(editor.entryState, 3);
    EXPECT_EQ(editor.events, (std::vector<std::string>{"up 100,70"}))
        << "the press is swallowed, not the release";
    driver.AdvanceTime(33);
    EXPECT_EQ(editor.field, nullptr);
    EXPECT_TRUE(editor.committed.empty());

    editor.OpenField("3");
    driver.Wheel(editor.window, 2, 2, 1); // the field has the focus: the turn reaches the editor through it
    EXPECT_EQ(editor.entryState, 3);
    driver.AdvanceTime(33);
    EXPECT_EQ(editor.field, nullptr);
}

TEST_F(EditorRoadTest, PopupMenuAnswersComeFromTheScript)
{
    driver.ChooseMenuItem(std::vector<std::string>{"Green"});
    driver.Click(editor.window, 50, 30, MouseButton::Right);
    driver.Click(editor.window, 50, 30, MouseButton::Right);
    EXPECT_EQ(editor.events, (std::vector<std::string>{"menu 2", "menu 0"}));
    EXPECT_EQ(editor.colour, 0xFF00FF00u);
    ASSERT_EQ(driver.Menus().size(), 2u);
    EXPECT_EQ(driver.Menus()[0].x, 350);
    EXPECT_EQ(driver.Menus()[0].y, 230);
}

TEST(PlatformDriverTest, EachDriverStartsFromAnEmptySystem)
{
    HWND left = nullptr;
    {
        PlatformDriver first;
        left = first.CreateHostFrame(10, 10);
        first.AnswerMessageBox(IDYES);
        EXPECT_EQ(first.UnusedAnswers(), 1u);
    }
    PlatformDriver second;
    EXPECT_FALSE(IsWindow(left));
    EXPECT_EQ(second.UnusedAnswers(), 0u);
    EXPECT_EQ(second.Menus().size(), 0u);
    EXPECT_EQ(MessageBoxA(nullptr, "?", "?", MB_YESNO), IDNO);
    EXPECT_EQ(second.Surface(left).width, 0);
    EXPECT_EQ(second.Pixel(left, 0, 0), 0u);
}
