// The editor window in a host frame: opening and closing through the VST dispatcher, the window
// class, the redraw timer, the host taking its frame away, and resizing.
#include <gtest/gtest.h>

#include <thread>

#include "gui/IBitmapControl.h"
#include "platform/win32/Win32.h"
#include "tests/gui/EditorTestSupport.h"

namespace
{

std::string ClassOf(HWND hwnd)
{
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string TitleOf(HWND hwnd)
{
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    return title;
}

SIZE SizeOf(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace

TEST(EditorWindow, OpensAsAChildOfTheHostFrameAndPaintsTheBackground)
{
    EditorRig rig;
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_TRUE(rig.editor->IsWindowOpen());
    EXPECT_EQ(GetParent(rig.window), rig.frame);
    EXPECT_EQ(ClassOf(rig.window), "QuovaWndClass");
    EXPECT_EQ(TitleOf(rig.window), "Quova");
    EXPECT_NE(GetWindowLongA(rig.window, GWL_STYLE) & static_cast<LONG>(WS_CHILD), 0);
    EXPECT_EQ(SizeOf(rig.window).cx, kEditorWidth);
    EXPECT_EQ(SizeOf(rig.window).cy, kEditorHeight);
    EXPECT_EQ(GetFocus(), rig.window);
    EXPECT_EQ(rig.driver.TimerInterval(rig.window, 2), 33u);
    EXPECT_EQ(rig.driver.ClassRegistrations("QuovaWndClass"), 1);
    // The first paint copies the background image into the window.
    EXPECT_EQ(rig.Shown(0, 0), kBackgroundColour & 0xFFFFFF);
    EXPECT_EQ(rig.Shown(kEditorWidth - 1, kEditorHeight - 1), kBackgroundColour & 0xFFFFFF);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(rig.window, &update, FALSE)) << "the paint validated the window";
}

TEST(EditorWindow, TheTimerRunsAtTheFramesPerSecond)
{
    {
        EditorRig rig(0); // 0 or less means 30
        ASSERT_NE(rig.Open(), nullptr);
        EXPECT_EQ(rig.editor->GetFramesPerSecond(), 30);
        EXPECT_EQ(rig.driver.TimerInterval(rig.window, 2), 33u);
    }
    {
        EditorRig rig(50);
        ASSERT_NE(rig.Open(), nullptr);
        EXPECT_EQ(rig.driver.TimerInterval(rig.window, 2), 20u);
    }
}

TEST(EditorWindow, TwoEditorsRegisterTheClassOnceAndTheLastCloseRemovesIt)
{
    EditorRig rig;
    EditorTestPlug secondPlug;
    auto* second = new IEditorWindow(&secondPlug, 30, 20, 30);
    secondPlug.AttachEditor(second);
    ASSERT_NE(rig.Open(), nullptr);
    ASSERT_NE(second->OpenEditorWindow(rig.frame), nullptr);
    EXPECT_EQ(IEditorWindow::OpenWindowCount(), 2);
    EXPECT_EQ(rig.driver.ClassRegistrations("QuovaWndClass"), 1);

    rig.Close();
    EXPECT_FALSE(rig.editor->IsWindowOpen());
    EXPECT_FALSE(IsWindow(rig.window));
    EXPECT_EQ(rig.driver.ClassUnregistrations("QuovaWndClass"), 0)
        << "the second window still uses the class";
    second->CloseEditorWindow();
    EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
    EXPECT_EQ(rig.driver.ClassUnregistrations("QuovaWndClass"), 1);
    second->CloseEditorWindow(); // closing again changes nothing
    EXPECT_EQ(rig.driver.ClassUnregistrations("QuovaWndClass"), 1);
}

TEST(EditorWindow, ClosingKeepsTheControlsAndReopeningPaintsThemAgain)
{
    EditorRig rig;
    Swatch* swatch = rig.Add(new Swatch(rig.plug.get(), {10, 10, 20, 20}, EditorTestPlug::kSwitch));
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_EQ(rig.Shown(15, 15), Rgb(swatch->off));
    rig.Close();
    EXPECT_EQ(rig.editor->GetWindowHandle(), nullptr);
    EXPECT_EQ(rig.editor->GetControl(1), swatch);

    swatch->SetValueByUser(1.0); // while closed
    swatch->MarkDrawn();
    swatch->MarkDrawn(); // as if already painted: only the reopening can ask for a paint now
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_NE(rig.window, nullptr);
    rig.Tick();
    EXPECT_EQ(rig.Shown(15, 15), Rgb(swatch->on));
}

TEST(EditorWindow, ReopeningWhileOpenKeepsThePlaceAndSize)
{
    EditorRig rig;
    HWND first = rig.Open();
    ASSERT_NE(first, nullptr);
    SetWindowPos(first, nullptr, 12, 7, 50, 30, SWP_NOZORDER);
    HWND second = rig.Open();
    ASSERT_NE(second, nullptr);
    // The new window is made before the old one closes (an open that fails keeps the old one), so
    // the class stays registered throughout.
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(rig.driver.ClassUnregistrations("QuovaWndClass"), 0);
    RECT r{}, f{};
    GetWindowRect(second, &r);
    GetWindowRect(rig.frame, &f);
    EXPECT_EQ(r.left - f.left, 12);
    EXPECT_EQ(r.top - f.top, 7);
    EXPECT_EQ(SizeOf(second).cx, 50);
    EXPECT_EQ(IEditorWindow::OpenWindowCount(), 1);
}

TEST(EditorWindow, WindowCloseMessageClosesTheEditor)
{
    EditorRig rig;
    ASSERT_NE(rig.Open(), nullptr);
    SendMessageA(rig.window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(rig.editor->IsWindowOpen());
    EXPECT_FALSE(IsWindow(rig.window));
    EXPECT_EQ(rig.driver.ClassUnregistrations("QuovaWndClass"), 1);
}

TEST(EditorWindow, AHostDestroyingItsFrameLeavesTheEditorClosedAndReusable)
{
    EditorRig rig;
    ASSERT_NE(rig.Open(), nullptr);
    DestroyWindow(rig.frame);
    EXPECT_FALSE(rig.editor->IsWindowOpen());
    EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
    rig.editor->MarkAllControlsChanged();
    rig.Tick(3); // no timer and no window left: nothing to do, nothing to crash

    rig.frame = rig.driver.CreateHostFrame(120, 90);
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_EQ(rig.Shown(3, 3), kBackgroundColour & 0xFFFFFF);
    rig.Close();
    EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
}

TEST(EditorWindow, OpeningWithoutAParentFailsAndLeavesNoClassBehind)
{
    EditorRig rig;
    AEffect* effect = rig.plug->GetEffect();
    EXPECT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, nullptr, 0.0f), 0);
    EXPECT_FALSE(rig.editor->IsWindowOpen());
    EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
    EXPECT_EQ(rig.driver.ClassRegistrations("QuovaWndClass"),
              rig.driver.ClassUnregistrations("QuovaWndClass"));
}

TEST(EditorWindow, ResizingGrowsTheWindowTheHostRectangleAndTheDrawing)
{
    EditorRig rig;
    ASSERT_NE(rig.Open(), nullptr);
    const SIZE frameBefore = SizeOf(rig.frame);
    rig.editor->SetEditorSize(kEditorWidth, kEditorHeight - 10);
    EXPECT_EQ(SizeOf(rig.window).cy, kEditorHeight - 10);
    EXPECT_EQ(SizeOf(rig.frame).cy, frameBefore.cy - 10) << "the host frame follows the editor";
    EXPECT_EQ(rig.plug->GetEditRect().bottom, kEditorHeight - 10);
    EXPECT_EQ(rig.editor->Height(), kEditorHeight - 10);

    rig.plug->pluginApi = kApiVST3; // such hosts resize their own frames
    rig.editor->SetEditorSize(kEditorWidth, kEditorHeight);
    EXPECT_EQ(SizeOf(rig.window).cy, kEditorHeight);
    EXPECT_EQ(SizeOf(rig.frame).cy, frameBefore.cy - 10);
    rig.driver.Pump();
    EXPECT_EQ(rig.Shown(5, kEditorHeight - 1), kBackgroundColour & 0xFFFFFF)
        << "the whole editor was repainted";
}

// While the window is open, another thread neither resizes nor paints: debug builds stop there,
// others refuse; once the window is closed, any thread may.
TEST(EditorWindow, AnotherThreadCannotResizeOrPaintWhileTheWindowIsOpen)
{
    EditorRig rig;
    ASSERT_NE(rig.Open(), nullptr);
    const auto onAnotherThread = [](const auto& call) { std::thread(call).join(); };
    EXPECT_DEBUG_DEATH(
        onAnotherThread([&rig] { rig.editor->SetEditorSize(kEditorWidth, kEditorHeight - 10); }),
        "off the editor's thread");
    EXPECT_DEBUG_DEATH(onAnotherThread([&rig] { rig.editor->PaintArea(IRectangle(0, 0, 10, 10)); }),
                       "off the editor's thread");
    EXPECT_EQ(rig.editor->Height(), kEditorHeight);
    EXPECT_EQ(SizeOf(rig.window).cy, kEditorHeight);

    rig.editor->CloseEditorWindow();
    onAnotherThread([&rig] { rig.editor->SetEditorSize(kEditorWidth, kEditorHeight - 10); });
    EXPECT_EQ(rig.editor->Height(), kEditorHeight - 10);
}

TEST(EditorWindow, WebLinksAskFirstAndReportFailure)
{
    EditorRig rig;
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_EQ(rig.editor->FindHostMainWindow(), rig.frame);

    rig.driver.AnswerMessageBox(IDNO);
    EXPECT_FALSE(rig.editor->OpenWebLink("https://example.org", "About", "Open the site?", "No connection"));
    EXPECT_TRUE(rig.driver.ShellCalls().empty()) << "a no opens nothing";
    ASSERT_EQ(rig.driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(rig.driver.MessageBoxes()[0].owner, rig.frame);

    rig.driver.SetOnline(false);
    EXPECT_FALSE(rig.editor->OpenWebLink("https://example.org", "About", nullptr, "No connection"));
    ASSERT_EQ(rig.driver.MessageBoxes().size(), 2u);
    EXPECT_EQ(rig.driver.MessageBoxes()[1].text, "No connection");

    rig.driver.SetOnline(true);
    rig.driver.SetShellExecuteResult(42);
    rig.driver.AnswerMessageBox(IDYES);
    EXPECT_TRUE(rig.editor->OpenWebLink("https://example.org", "About", "Open the site?", "No connection"));
    ASSERT_EQ(rig.driver.ShellCalls().size(), 1u);
    EXPECT_EQ(rig.driver.ShellCalls()[0].operation, "open");
    EXPECT_EQ(rig.driver.ShellCalls()[0].file, "https://example.org");
    rig.driver.SetShellExecuteResult(32); // 32 and below are failures
    EXPECT_FALSE(rig.editor->OpenWebLink("https://example.org", "About", nullptr, nullptr));
    EXPECT_EQ(rig.driver.MessageBoxes().size(), 3u) << "no error text, no box";
}
