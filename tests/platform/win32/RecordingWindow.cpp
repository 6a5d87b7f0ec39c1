#include "RecordingWindow.h"

namespace quova::win32::test
{

namespace
{

Handler& CurrentHandler()
{
    static Handler handler;
    return handler;
}

LRESULT RecorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Log().push_back(Received{hwnd, msg, wParam, lParam});
    LRESULT result = 0;
    if (CurrentHandler() && CurrentHandler()(hwnd, msg, wParam, lParam, result)) return result;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

std::vector<Received>& Log()
{
    static std::vector<Received> log;
    return log;
}

void SetHandler(Handler handler)
{
    CurrentHandler() = std::move(handler);
}

void RegisterRecorder(bool doubleClicks)
{
    Log().clear();
    CurrentHandler() = nullptr;
    WNDCLASSA wc{};
    wc.style = doubleClicks ? CS_DBLCLKS : 0;
    wc.lpfnWndProc = RecorderProc;
    wc.lpszClassName = "Recorder";
    RegisterClassA(&wc);
}

std::vector<Received> Of(HWND hwnd, UINT msg)
{
    std::vector<Received> out;
    for (const Received& r : Log())
        if (r.hwnd == hwnd && r.msg == msg) out.push_back(r);
    return out;
}

HWND MakeTopLevel(int x, int y, int w, int h)
{
    return CreateWindowExA(0, "Recorder", "top", WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

HWND MakeChild(HWND parent, int id, int x, int y, int w, int h)
{
    return CreateWindowExA(0, "Recorder", "child", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
}

} // namespace quova::win32::test
