#pragma once
// A window class for tests that records every message its windows receive.

#include "platform/testing/PlatformDriver.h"
#include "platform/win32/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace quova::win32::test
{

struct Received
{
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// Messages received by recording windows, oldest first.
std::vector<Received>& Log();
// Optional handler run before recording; return true to answer with `result` instead of the
// default procedure.
using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT& result)>;
void SetHandler(Handler handler);
// Registers the class "Recorder" (CS_DBLCLKS when asked) and clears the log and the handler.
void RegisterRecorder(bool doubleClicks = true);
// Messages of one kind received by hwnd.
std::vector<Received> Of(HWND hwnd, UINT msg);
HWND MakeTopLevel(int x, int y, int w, int h);
HWND MakeChild(HWND parent, int id, int x, int y, int w, int h);

// A fresh window system with the recorder class; the handler is dropped before the windows go.
class WindowFixture : public ::testing::Test
{
protected:
    void SetUp() override { RegisterRecorder(); }
    void TearDown() override { SetHandler(nullptr); }
    quova::testing::PlatformDriver driver;
};

} // namespace quova::win32::test
