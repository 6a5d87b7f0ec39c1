// IEditorWindow: opening and closing the window, the window procedure with its redraw timer,
// painting and resizing. Text entry and menus: IEditorWindowEntry.cpp; dialogs, shell and
// resources: IEditorWindowShell.cpp.
#include "gui/IEditorWindow.h"

#include "framework/IEffectBase.h"
#include "graphics/DibBitmap.h"
#include "gui/IControl.h"
#include "platform/gdi/Gdi.h"
#include "platform/win32/Win32.h"
#include "platform/win32/WindowLayerLock.h"

#include <algorithm>

namespace
{

// Module-wide: editor windows open in the process (the window class exists while it is above 0),
// the editors with an open window, and the frames per second of the window being created, read
// when its timer starts. Touched by the thread that holds the window layer's lock, like the windows.
int gOpenWindows = 0;
double gFramesPerSecond = IGraphics::kDefaultFramesPerSecond;

std::vector<IEditorWindow*>& OpenEditors()
{
    static auto* editors = new std::vector<IEditorWindow*>(); // kept for late closes at process exit
    return *editors;
}

void ForgetOpenEditor(IEditorWindow* editor)
{
    auto& editors = OpenEditors();
    editors.erase(std::remove(editors.begin(), editors.end(), editor), editors.end());
}

// Run by each thread that takes the window layer's lock: it becomes the thread of every open editor,
// as one editor's idle delivers the input, timers and paints of all of them. Each editor moves under
// its plug-in's lock (BindEditorThread), so a change its former thread began is finished first, and
// what other threads posted is applied before the new thread changes anything itself.
void ClaimOpenEditors()
{
    auto& editors = OpenEditors();
    for (size_t i = 0; i < editors.size(); ++i)
        if (editors[i]->MustPost()) editors[i]->BindEditorThread();
}

constexpr int kWheelNotch = 120;

// The key number of a virtual key, or -1 for keys the controls do not get. The codes 97..122 (the
// number pad, '*', '+' and the first function keys) count as the letters A..Z too.
int KeyCodeForVirtualKey(WPARAM vk)
{
    switch (vk)
    {
    case VK_SPACE:
        return 0;
    case VK_UP:
        return 1;
    case VK_DOWN:
        return 2;
    case VK_LEFT:
        return 3;
    case VK_RIGHT:
        return 4;
    default:
        break;
    }
    if (vk >= '0' && vk <= '9') return 5 + static_cast<int>(vk - '0');
    if (vk >= 'A' && vk <= 'Z') return 15 + static_cast<int>(vk - 'A');
    if (vk >= 97 && vk <= 122) return 15 + static_cast<int>(vk - 97);
    return -1;
}

// The messages of the user's pointer and keys: what changes while one is handled is the user's
// edit (IGraphics::InputScope).
bool IsUserInput(UINT msg)
{
    return (msg >= WM_MOUSEMOVE && msg <= WM_MOUSEWHEEL) || msg == WM_MOUSELEAVE ||
           (msg >= WM_KEYDOWN && msg <= WM_SYSKEYUP);
}

// A pointer button held down in the window: the user's gesture goes on.
bool ButtonHeldIn(HWND hwnd)
{
    return GetCapture() == hwnd &&
           (GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 || GetKeyState(VK_MBUTTON) < 0);
}

IEditorWindow* EditorOf(HWND hwnd)
{
    return reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

} // namespace

IEditorWindow::IEditorWindow(IEffectBase* plug, int width, int height, int framesPerSecond)
    : IGraphics(plug, width, height, framesPerSecond), hostMainClass_(128)
{
}

IEditorWindow::~IEditorWindow()
{
    // Changes other threads posted are dropped: the plug-in that owns the editor is going.
    DiscardPostedChanges();
    CloseEditorWindow();
}

int IEditorWindow::OpenWindowCount()
{
    return gOpenWindows;
}

// ---- opening and closing ------------------------------------------------------------------------

bool IEditorWindow::AcquireWindowClass()
{
    if (gOpenWindows++ > 0) return true;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClassName;
    // A class left behind by a window the host destroyed (it could not be unregistered while that
    // window lived) serves as well.
    if (RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return true;
    --gOpenWindows;
    return false;
}

void IEditorWindow::ReleaseWindowClass()
{
    if (gOpenWindows > 0 && --gOpenWindows == 0) UnregisterClassA(kWindowClassName, instance_);
}

void* IEditorWindow::OpenEditorWindow(void* parent)
{
    int x = 0;
    int y = 0;
    int w = width_;
    int h = height_;
    if (window_ != nullptr)
    {
        // Reopen at the same place and size relative to the parent.
        RECT r{};
        GetWindowRect(window_, &r);
        POINT origin{r.left, r.top};
        if (HWND oldParent = GetParent(window_)) ScreenToClient(oldParent, &origin);
        x = origin.x;
        y = origin.y;
        w = r.right - r.left;
        h = r.bottom - r.top;
    }
    // The new window is made before the open one closes: an open that fails (a parent that is not a
    // window) leaves the editor as it was.
    if (!AcquireWindowClass()) return nullptr;
    gFramesPerSecond = framesPerSecond_;
    HWND hwnd = CreateWindowExA(0, kWindowClassName, kWindowTitle, WS_CHILD | WS_VISIBLE, x, y, w, h,
                                static_cast<HWND>(parent), nullptr, instance_, this);
    if (hwnd == nullptr)
    {
        ReleaseWindowClass();
        return nullptr;
    }
    CloseEditorWindow();
    parentWindow_ = static_cast<HWND>(parent);
    window_ = hwnd;
    OpenEditors().push_back(this);
    quova::win32::SetWindowLayerEntryHook(&ClaimOpenEditors);
    // From now on this thread owns the controls; other threads post their changes to it.
    BindEditorThread();
    MarkAllControlsChanged();
    return window_;
}

void IEditorWindow::CloseEditorWindow()
{
    if (window_ == nullptr) return;
    if (editWindow_ != nullptr) DestroyTextEntry();
    HWND hwnd = window_;
    window_ = nullptr;
    ForgetOpenEditor(this);
    DestroyWindow(hwnd);
    ReleaseWindowClass();
    UnbindEditorThread();
}

void IEditorWindow::ForgetDestroyedWindow()
{
    // The child field goes down with the window; only the references are dropped.
    editWindow_ = nullptr;
    editedControl_ = nullptr;
    editedParameter_ = nullptr;
    editOldProc_ = 0;
    if (editFont_ != nullptr)
    {
        DeleteObject(reinterpret_cast<HGDIOBJ>(editFont_));
        editFont_ = nullptr;
    }
    textEntryState_ = kEntryNone;
    window_ = nullptr;
    ForgetOpenEditor(this);
    ReleaseWindowClass();
    UnbindEditorThread();
}

// ---- window procedure -------------------------------------------------------------------------------

LRESULT IEditorWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
    {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* editor = create != nullptr ? static_cast<IEditorWindow*>(create->lpCreateParams) : nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
        SetTimer(hwnd, kTimerId, static_cast<UINT>(1000.0 / gFramesPerSecond), nullptr);
        SetFocus(hwnd);
        return 0;
    }
    IEditorWindow* editor = EditorOf(hwnd);
    if (editor == nullptr || editor->window_ != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return editor->HandleMessage(hwnd, msg, wParam, lParam);
}

IMouseModifiers IEditorWindow::ModifiersOf(WPARAM wParam) const
{
    return IMouseModifiers((wParam & MK_LBUTTON) != 0, (wParam & MK_RBUTTON) != 0, (wParam & MK_SHIFT) != 0,
                           (wParam & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}

LRESULT IEditorWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Input messages are the user's; a timer tick or a paint (also one that runs inside a menu the
    // user opened) is not.
    InputScope input(*this, IsUserInput(msg));
    if (msg == WM_DESTROY)
    {
        // The host destroyed its frame with the editor still open (CloseEditorWindow forgets the
        // window before destroying it, so this is someone else).
        ForgetDestroyedWindow();
        return 0;
    }
    if (editWindow_ != nullptr && textEntryState_ == kEntryEditing)
    {
        if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN)
        {
            textEntryState_ = kEntryCancel;
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (msg)
    {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (editWindow_ != nullptr)
        {
            DestroyTextEntry();
            InvalidateRect(hwnd, nullptr, FALSE);
            UpdateWindow(hwnd);
        }
        SetFocus(hwnd);
        SetCapture(hwnd);
        DispatchMouseDown(x, y, ModifiersOf(wParam));
        return 0;

    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: // the middle press captured the mouse and began an edit: end both
        ReleaseCapture();
        DispatchMouseUp(x, y, ModifiersOf(wParam));
        return 0;

    case WM_LBUTTONDBLCLK:
        if (DispatchDoubleClick(x, y, ModifiersOf(wParam))) SetCapture(hwnd);
        return 0;

    case WM_MOUSEMOVE:
        if ((wParam & (MK_LBUTTON | MK_RBUTTON)) == 0)
        {
            if (DispatchMouseMove(x, y, ModifiersOf(wParam)))
            {
                TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, HOVER_DEFAULT};
                TrackMouseEvent(&track);
            }
        }
        else if (GetCapture() == hwnd && editWindow_ == nullptr)
        {
            DispatchMouseDrag(x, y, ModifiersOf(wParam));
        }
        return 0;

    case WM_MOUSEWHEEL:
    {
        if (editWindow_ != nullptr)
        {
            textEntryState_ = kEntryCancel;
            return 0;
        }
        RECT r{};
        GetWindowRect(hwnd, &r);
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / kWheelNotch;
        DispatchMouseWheel(x - r.left, y - r.top, ModifiersOf(LOWORD(wParam)), notches);
        return 0;
    }

    case WM_MOUSELEAVE:
        DispatchMouseLeave();
        return 0;

    case WM_KEYDOWN:
    {
        // A modifier alone is no key of the editor's. A key without a key code (Escape, Return...)
        // is dispatched as -1: it only closes an open box.
        if (wParam == VK_SHIFT || wParam == VK_CONTROL || wParam == VK_MENU)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        const int key = KeyCodeForVirtualKey(wParam);
        POINT p{0, 0};
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        if (DispatchKeyDown(p.x, p.y, key)) return 0;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    case WM_TIMER:
        if (wParam != kTimerId) return DefWindowProcA(hwnd, msg, wParam, lParam);
        return HandleTimer(hwnd);

    case WM_PAINT:
    {
        RECT r{};
        if (GetUpdateRect(hwnd, &r, FALSE)) PaintArea(IRectangle(r.left, r.top, r.right, r.bottom));
        return 0;
    }

    case WM_CLOSE:
        CloseEditorWindow();
        return 0;

    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return 0;

    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT IEditorWindow::HandleTimer(HWND hwnd)
{
    if (editWindow_ != nullptr)
    {
        if (textEntryState_ == kEntryCancel)
        {
            DestroyTextEntry();
        }
        else if (textEntryState_ == kEntryCommit)
        {
            char text[kEnteredTextMax + 1] = {};
            SendMessageA(editWindow_, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
            {
                InputScope typed(*this, true);
                ApplyEnteredText(editedControl_, editedParameter_, text);
            }
            DestroyTextEntry();
            UpdateWindow(hwnd);
            ReleaseCapture();
        }
        textEntryState_ = kEntryNone;
    }
    IRectangle area;
    std::vector<IRectangle>& parts = changedParts_;
    parts.clear();
    if (CollectChangedArea(&area, &parts))
    {
        // Each control's area joins the window's update region on its own, so that only what changed
        // is painted onto the window and sent; with many (a full repaint) their bounding box does.
        if (parts.size() > kMaxChangedParts) parts.assign(1, area);
        for (const IRectangle& part : parts)
        {
            RECT r{part.left, part.top, part.right, part.bottom};
            InvalidateRect(hwnd, &r, FALSE);
        }
        if (editWindow_ == nullptr)
        {
            UpdateWindow(hwnd);
        }
        else
        {
            // The field stays on top: the control under it is not painted over it.
            if (editedControl_ != nullptr)
            {
                const IRectangle& edited = editedControl_->GetRect();
                RECT e{edited.left, edited.top, edited.right, edited.bottom};
                ValidateRect(hwnd, &e);
            }
            UpdateWindow(hwnd);
            textEntryState_ = kEntryShown;
        }
    }
    // The user's edits reach the host once the gesture is over (a drag tells once, at its end).
    if (plug_ != nullptr && !ButtonHeldIn(hwnd)) plug_->TellHostOfEditorEdits();
    return 0;
}

// ---- painting and size -------------------------------------------------------------------------------

bool IEditorWindow::PresentBackBuffer(const IRectangle& rect)
{
    if (OffEditorThread()) return false;
    if (window_ == nullptr) return false;
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window_, &ps);
    if (dc == nullptr) return false;
    if (drawing_ != nullptr)
    {
        BitBlt(dc, rect.left, rect.top, rect.Width(), rect.Height(), drawing_->DeviceContext(), rect.left,
               rect.top, SRCCOPY);
    }
    EndPaint(window_, &ps);
    return true;
}

void IEditorWindow::SetEditorSize(int width, int height)
{
    if (OffEditorThread()) return;
    if (width == width_ && height == height_) return;
    const int dw = width - width_;
    const int dh = height - height_;
    IGraphics::SetEditorSize(width, height);
    if (window_ == nullptr) return;
    RECT r{};
    GetWindowRect(window_, &r);
    SetWindowPos(window_, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GrowParents(dw, dh);
    InvalidateRect(window_, nullptr, FALSE);
}

void IEditorWindow::GrowParents(int dw, int dh)
{
    if (plug_ != nullptr && (plug_->GetPluginApi() == kApiVST3 || plug_->GetPluginApi() == kApiRTAS)) return;
    const auto isChild = [](HWND hwnd)
    {
        return (GetWindowLongA(hwnd, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0 &&
               (GetWindowLongA(hwnd, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_MDICHILD)) == 0;
    };
    const auto grow = [dw, dh](HWND hwnd)
    {
        RECT r{};
        GetWindowRect(hwnd, &r);
        SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    if (!isChild(window_)) return;
    HWND parent = GetParent(window_);
    if (parent == nullptr) return;
    grow(parent);
    if ((GetWindowLongA(parent, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) == 0) return;
    if (HWND grandparent = GetParent(parent)) grow(grandparent);
}
