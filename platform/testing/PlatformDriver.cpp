// The test driver: a thin layer over the window system's input, clock and scripts.
#include "platform/testing/PlatformDriver.h"

#include "platform/win32/Input.h"
#include "platform/win32/Window.h"

#include <functional>

namespace quova::testing
{

namespace
{

constexpr const char* kFrameClass = "QuovaTestHostFrame";

} // namespace

PlatformDriver::PlatformDriver()
{
    win32::ResetWindowSystem();
    win32::UseVirtualClock(true);
}

PlatformDriver::~PlatformDriver()
{
    win32::ResetWindowSystem();
}

HWND PlatformDriver::CreateHostFrame(int width, int height, int screenX, int screenY)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kFrameClass;
    RegisterClassA(&wc); // fails harmlessly when it exists
    return CreateWindowExA(0, kFrameClass, "Host", WS_VISIBLE, screenX, screenY, width, height, nullptr,
                           nullptr, nullptr, nullptr);
}

int PlatformDriver::AdvanceTime(uint32_t ms)
{
    return win32::AdvanceClock(ms);
}

int PlatformDriver::Pump()
{
    return win32::PumpMessages();
}

POINT PlatformDriver::ToScreen(HWND hwnd, int x, int y) const
{
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

void PlatformDriver::Approach(POINT p)
{
    POINT now{};
    GetCursorPos(&now);
    if (now.x != p.x || now.y != p.y) win32::InputMouseMove(p.x, p.y);
}

void PlatformDriver::Pause()
{
    win32::BreakDoubleClick();
}

void PlatformDriver::MouseMove(HWND hwnd, int x, int y)
{
    POINT p = ToScreen(hwnd, x, y);
    win32::InputMouseMove(p.x, p.y);
}

void PlatformDriver::MouseDown(HWND hwnd, int x, int y, MouseButton button)
{
    POINT p = ToScreen(hwnd, x, y);
    win32::InputMouseButton(button, true, p.x, p.y);
}

void PlatformDriver::MouseUp(HWND hwnd, int x, int y, MouseButton button)
{
    POINT p = ToScreen(hwnd, x, y);
    win32::InputMouseButton(button, false, p.x, p.y);
}

void PlatformDriver::Click(HWND hwnd, int x, int y, MouseButton button)
{
    POINT p = ToScreen(hwnd, x, y);
    Approach(p);
    win32::InputMouseButton(button, true, p.x, p.y);
    win32::InputMouseButton(button, false, p.x, p.y);
    Pause();
}

void PlatformDriver::DoubleClick(HWND hwnd, int x, int y)
{
    POINT p = ToScreen(hwnd, x, y);
    Approach(p);
    Pause();
    win32::InputMouseButton(MouseButton::Left, true, p.x, p.y);
    win32::InputMouseButton(MouseButton::Left, false, p.x, p.y);
    win32::InputMouseButton(MouseButton::Left, true, p.x, p.y);
    win32::InputMouseButton(MouseButton::Left, false, p.x, p.y);
    Pause();
}

void PlatformDriver::Drag(HWND hwnd, int x0, int y0, int x1, int y1, int steps, MouseButton button)
{
    POINT start = ToScreen(hwnd, x0, y0);
    POINT end = ToScreen(hwnd, x1, y1);
    if (steps < 1) steps = 1;
    Approach(start);
    win32::InputMouseButton(button, true, start.x, start.y);
    for (int i = 1; i <= steps; ++i)
    {
        int x = start.x + (end.x - start.x) * i / steps;
        int y = start.y + (end.y - start.y) * i / steps;
        win32::InputMouseMove(x, y);
    }
    win32::InputMouseButton(button, false, end.x, end.y);
    Pause();
}

void PlatformDriver::Wheel(HWND hwnd, int x, int y, int notches)
{
    POINT p = ToScreen(hwnd, x, y);
    Approach(p);
    win32::InputMouseWheel(p.x, p.y, notches * WHEEL_DELTA);
}

void PlatformDriver::MouseMoveScreen(int x, int y)
{
    win32::InputMouseMove(x, y);
}

void PlatformDriver::MouseButtonScreen(MouseButton button, bool down, int x, int y)
{
    win32::InputMouseButton(button, down, x, y);
}

void PlatformDriver::KeyDown(int virtualKey)
{
    win32::InputKey(virtualKey, true);
}

void PlatformDriver::KeyUp(int virtualKey)
{
    win32::InputKey(virtualKey, false);
}

void PlatformDriver::PressKey(int virtualKey)
{
    win32::InputKey(virtualKey, true);
    win32::InputKey(virtualKey, false);
}

void PlatformDriver::TypeText(const std::string& text)
{
    win32::InputText(text);
}

void PlatformDriver::TypeChar(unsigned ch)
{
    win32::InputChar(ch);
}

void PlatformDriver::HoldModifiers(bool shift, bool control, bool alt)
{
    auto set = [](int vk, bool down)
    {
        if ((GetKeyState(vk) < 0) != down) win32::InputKey(vk, down);
    };
    set(VK_SHIFT, shift);
    set(VK_CONTROL, control);
    set(VK_MENU, alt);
}

void PlatformDriver::ChooseMenuItem(UINT_PTR id)
{
    win32::ScriptMenuAnswer(MenuAnswer::Id(id));
}

void PlatformDriver::ChooseMenuItem(std::vector<std::string> texts)
{
    win32::ScriptMenuAnswer(MenuAnswer::Texts(std::move(texts)));
}

void PlatformDriver::DismissMenu()
{
    win32::ScriptMenuAnswer(MenuAnswer::Dismiss());
}

void PlatformDriver::AnswerMessageBox(int answer)
{
    win32::ScriptMessageBoxAnswer(answer);
}

void PlatformDriver::RunMessageBox(std::vector<DialogStep> steps)
{
    win32::ScriptMessageBox(std::move(steps));
}

void PlatformDriver::RunDialog(std::vector<DialogStep> steps)
{
    win32::ScriptDialog(std::move(steps));
}

void PlatformDriver::AnswerFileDialog(std::string path)
{
    win32::ScriptFileDialogAnswer(std::move(path));
}

void PlatformDriver::AnswerColor(COLORREF colour)
{
    win32::ScriptColorAnswer(colour);
}

void PlatformDriver::SetOnline(bool online)
{
    win32::ScriptOnline(online);
}

void PlatformDriver::SetShellExecuteResult(intptr_t result)
{
    win32::ScriptShellExecuteResult(result);
}

const std::vector<win32::ShownMenu>& PlatformDriver::Menus() const
{
    return win32::ShownMenus();
}

const std::vector<win32::ShownMessageBox>& PlatformDriver::MessageBoxes() const
{
    return win32::ShownMessageBoxes();
}

const std::vector<win32::ShownDialog>& PlatformDriver::Dialogs() const
{
    return win32::ShownDialogs();
}

const std::vector<win32::ShellCall>& PlatformDriver::ShellCalls() const
{
    return win32::ShellCalls();
}

size_t PlatformDriver::UnusedAnswers() const
{
    return win32::PendingScriptedAnswers();
}

const PixelSurface& PlatformDriver::Surface(HWND hwnd) const
{
    static const PixelSurface empty;
    const PixelSurface* s = win32::WindowSurface(hwnd);
    return s ? *s : empty;
}

uint32_t PlatformDriver::Pixel(HWND hwnd, int x, int y) const
{
    const PixelSurface& s = Surface(hwnd);
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return 0;
    return s.At(x, y);
}

PixelSurface PlatformDriver::Composite(HWND hwnd) const
{
    PixelSurface out;
    const PixelSurface* own = win32::WindowSurface(hwnd);
    if (!own) return out;
    out = *own;
    win32::CompositeWindow(hwnd, RECT{0, 0, out.width, out.height}, out.pixels.data(), out.width);
    return out;
}

UINT PlatformDriver::TimerInterval(HWND hwnd, UINT_PTR id) const
{
    return win32::TimerInterval(hwnd, id);
}

int PlatformDriver::ClassRegistrations(const std::string& name) const
{
    return win32::ClassRegistrations(name);
}

int PlatformDriver::ClassUnregistrations(const std::string& name) const
{
    return win32::ClassUnregistrations(name);
}

} // namespace quova::testing
