// Window classes, creation, destruction, window longs, geometry and enumeration.
#include "RecordingWindow.h"

#include "platform/win32/Input.h"
#include "platform/win32/Paint.h"
#include "platform/win32/Timer.h"
#include "platform/win32/WindowSystem.h"

#include <gtest/gtest.h>

#include <string>

using namespace quova::win32::test;
using quova::testing::PlatformDriver;

namespace
{

class WindowTest : public WindowFixture
{
};

LRESULT CountingProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    return DefWindowProcA(hwnd, msg, w, l);
}

} // namespace

TEST_F(WindowTest, ClassesRegisterOnceAndCannotGoWhileWindowsLive)
{
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "QuovaWndClass";
    EXPECT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(&wc), 0) << "a second registration of the same name fails";
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

    HWND w = CreateWindowExA(0, "quovawndclass", "Quova", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(w, nullptr) << "class names are compared without case";
    EXPECT_FALSE(UnregisterClassA("QuovaWndClass", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClassA("QuovaWndClass", nullptr));
    EXPECT_FALSE(UnregisterClassA("QuovaWndClass", nullptr));
    EXPECT_EQ(driver.ClassRegistrations("QuovaWndClass"), 1);
    EXPECT_EQ(driver.ClassUnregistrations("QuovaWndClass"), 1);

    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(RegisterClassA(nullptr), 0);
}

TEST_F(WindowTest, CreationSendsCreateWithTheCreationRecordBeforeReturning)
{
    int marker = 7;
    HWND seen = nullptr;
    void* param = nullptr;
    CREATESTRUCTA copy{};
    SetHandler(
        [&](HWND h, UINT msg, WPARAM, LPARAM l, LRESULT&)
        {
            if (msg == WM_CREATE)
            {
                seen = h;
                copy = *reinterpret_cast<CREATESTRUCTA*>(l);
                param = copy.lpCreateParams;
                SetWindowLongPtrA(h, GWLP_USERDATA, 1234);
            }
            return false;
        });
    HWND parent = MakeTopLevel(50, 60, 300, 200);
    HWND child = CreateWindowExA(0, "Recorder", "Quova", WS_CHILD | WS_VISIBLE, 10, 20, 100, 80, parent,
                                 reinterpret_cast<HMENU>(uintptr_t{99}), nullptr, &marker);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(seen, child);
    EXPECT_EQ(param, &marker);
    EXPECT_EQ(copy.cx, 100);
    EXPECT_EQ(copy.cy, 80);
    EXPECT_EQ(copy.hwndParent, parent);
    EXPECT_STREQ(copy.lpszName, "Quova");
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), 1234);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 99);
    EXPECT_EQ(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD, static_cast<LONG_PTR>(WS_CHILD));
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_EQ(GetParent(parent), nullptr);
    EXPECT_EQ(GetDlgItem(parent, 99), child);
    EXPECT_EQ(GetDlgItem(parent, 98), nullptr);

    RECT r{};
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.left, 60);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(r.right, 160);
    EXPECT_EQ(r.bottom, 160);
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_EQ(r.right, 100);
    EXPECT_EQ(r.bottom, 80);

    char name[8];
    EXPECT_EQ(GetClassNameA(child, name, sizeof name), 7);
    EXPECT_STREQ(name, "Recorde") << "cut to the buffer";
}

TEST_F(WindowTest, CreationFailsWhenCreateAnswersMinusOneOrTheParentIsMissing)
{
    SetHandler(
        [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result)
        {
            if (msg != WM_CREATE) return false;
            result = -1;
            return true;
        });
    EXPECT_EQ(MakeTopLevel(0, 0, 10, 10), nullptr);
    EXPECT_EQ(Log().back().msg, WM_DESTROY) << "the refused window is destroyed";
    SetHandler(nullptr);
    EXPECT_EQ(MakeChild(nullptr, 1, 0, 0, 5, 5), nullptr);
}

TEST_F(WindowTest, DestroyingSendsDestroyParentFirstAndInvalidatesEveryHandle)
{
    HWND parent = MakeTopLevel(0, 0, 100, 100);
    HWND child = MakeChild(parent, 1, 0, 0, 50, 50);
    HWND grandchild = MakeChild(child, 2, 0, 0, 10, 10);
    SetTimer(child, 2, 33, nullptr);
    SetFocus(grandchild);
    SetCapture(child);
    Log().clear();
    EXPECT_TRUE(DestroyWindow(parent));
    ASSERT_EQ(Log().size(), 4u);
    EXPECT_EQ(Log()[0].hwnd, grandchild);
    EXPECT_EQ(Log()[0].msg, WM_KILLFOCUS) << "the focus window hears that it loses the focus";
    EXPECT_EQ(Log()[1].hwnd, parent);
    EXPECT_EQ(Log()[1].msg, WM_DESTROY);
    EXPECT_EQ(Log()[2].hwnd, child);
    EXPECT_EQ(Log()[3].hwnd, grandchild);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(driver.TimerInterval(child, 2), 0u);
    EXPECT_EQ(SendMessageA(child, WM_USER, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(child));
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), 0);
}

TEST_F(WindowTest, AWindowClosedInsideItsOwnProcedureIsSafe)
{
    HWND w = MakeTopLevel(0, 0, 10, 10);
    bool stillValidInside = false;
    SetHandler(
        [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT&)
        {
            if (msg == WM_USER)
            {
                DestroyWindow(h);
                stillValidInside = IsWindow(h) != 0;
                return true;
            }
            return false;
        });
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_FALSE(stillValidInside);
    EXPECT_FALSE(IsWindow(w));

    HWND v = MakeTopLevel(0, 0, 10, 10);
    SendMessageA(v, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(v)) << "the default answer to WM_CLOSE destroys the window";
}

TEST_F(WindowTest, ReplacedProceduresChainThroughCallWindowProc)
{
    static WNDPROC previous = nullptr;
    static int filtered = 0;
    HWND w = MakeTopLevel(0, 0, 10, 10);
    previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT
                                                     {
                                                         if (m == WM_CHAR && wp == 'x')
                                                         {
                                                             ++filtered;
                                                             return 0;
                                                         }
                                                         return CallWindowProcA(previous, h, m, wp, lp);
                                                     })));
    ASSERT_NE(previous, nullptr);
    Log().clear();
    SendMessageA(w, WM_CHAR, 'x', 0);
    SendMessageA(w, WM_CHAR, 'y', 0);
    EXPECT_EQ(filtered, 1);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].wParam, WPARAM{'y'});
}

TEST_F(WindowTest, TextGoesThroughTheWindowProcedure)
{
    HWND w = MakeTopLevel(0, 0, 10, 10);
    EXPECT_TRUE(SetWindowTextA(w, "Save preset"));
    char buffer[5];
    EXPECT_EQ(GetWindowTextA(w, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "Save");
    EXPECT_EQ(SendMessageA(w, WM_GETTEXTLENGTH, 0, 0), 11);
}

TEST_F(WindowTest, SetWindowPosMovesResizesAndExposesTheNewArea)
{
    HWND parent = MakeTopLevel(0, 0, 400, 300);
    HWND w = MakeChild(parent, 1, 10, 10, 100, 50);
    ValidateRect(w, nullptr);
    ASSERT_TRUE(SetWindowPos(w, nullptr, 0, 0, 120, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(r.bottom - r.top, 40);
    EXPECT_EQ(driver.Surface(w).width, 120);
    EXPECT_EQ(driver.Surface(w).height, 40);
    ASSERT_TRUE(GetUpdateRect(w, &r, FALSE));
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 120);
    EXPECT_EQ(r.bottom, 40);

    SetWindowPos(w, nullptr, 30, 40, 0, 0, SWP_NOSIZE);
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 120);
}

TEST_F(WindowTest, EnumWindowsVisitsTopLevelWindowsUntilTold)
{
    HWND a = MakeTopLevel(0, 0, 10, 10);
    HWND b = MakeTopLevel(0, 0, 10, 10);
    MakeChild(a, 1, 0, 0, 5, 5);
    std::vector<HWND> seen;
    EnumWindows(
        +[](HWND h, LPARAM l) -> BOOL
        {
            reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], b) << "the newest window is on top";
    EXPECT_EQ(seen[1], a);

    seen.clear();
    EnumWindows(
        +[](HWND h, LPARAM l) -> BOOL
        {
            reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen.size(), 1u);

    DWORD pid = 0;
    EXPECT_EQ(GetWindowThreadProcessId(a, &pid), GetCurrentThreadId());
    EXPECT_EQ(pid, GetCurrentProcessId());
}

TEST_F(WindowTest, PostedMessagesWaitForTheLoopInOrder)
{
    HWND w = MakeTopLevel(0, 0, 10, 10);
    ValidateRect(w, nullptr);
    Log().clear();
    EXPECT_TRUE(PostMessageA(w, WM_USER + 1, 1, 0));
    EXPECT_TRUE(PostMessageA(w, WM_USER + 2, 2, 0));
    EXPECT_TRUE(Log().empty()) << "posting does not deliver";
    MSG m{};
    EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_USER + 2u) << "a filter skips other messages";
    EXPECT_EQ(driver.Pump(), 2);
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].msg, WM_USER + 1u);
    EXPECT_EQ(Log()[1].msg, WM_USER + 2u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));

    PostMessageA(w, WM_USER, 0, 0);
    DestroyWindow(w);
    Log().clear();
    driver.Pump();
    EXPECT_TRUE(Log().empty()) << "messages of a destroyed window are dropped";
    EXPECT_FALSE(PostMessageA(w, WM_USER, 0, 0));
}

TEST_F(WindowTest, DestroyingAgainFromDestroyOrCreateIsHarmless)
{
    SetHandler(
        [](HWND h, UINT msg, WPARAM, LPARAM, LRESULT&)
        {
            if (msg == WM_DESTROY) DestroyWindow(h);
            return false;
        });
    HWND w = MakeTopLevel(0, 0, 10, 10);
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_EQ(Of(w, WM_DESTROY).size(), 1u);

    SetHandler(
        [](HWND h, UINT msg, WPARAM, LPARAM, LRESULT&)
        {
            if (msg == WM_CREATE) DestroyWindow(h);
            return false;
        });
    EXPECT_EQ(MakeTopLevel(0, 0, 10, 10), nullptr)
        << "a window that destroys itself while created is not handed out";
}
